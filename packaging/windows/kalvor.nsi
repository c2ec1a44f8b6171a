; The Windows installer of Kalvor, in Italian. Installs kalvor.exe for all users under
; Program Files\Kalvor, adds the Start-menu shortcut "Kalvor" and registers the uninstaller.
; Silent with /S (the uninstaller too); /D=C:\another\folder picks the folder of a first
; install; later ones go where the first went, replacing the program in place. Neither the
; installer nor the uninstaller touches a Kalvor that is running: they ask to close it, and
; silent they change nothing and end with exit code 2.
;
; Built by CMake (target kalvor_setup):
;   makensis -DKALVOR_EXE=path\kalvor.exe -DKALVOR_ICON=kalvor.ico -DKALVOR_VERSION=2.2.0
;            -DKALVOR_OUTFILE=kalvor-2.2.0-setup.exe kalvor.nsi

Unicode true
; kalvor.exe is a 64-bit program: so is its installer, which then writes to the 64-bit
; Program Files and the 64-bit view of the registry with no redirection.
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!include "MUI2.nsh"

!define PRODUCT "Kalvor"
!define PUBLISHER "Example S.r.l."
!define WEBSITE "https://www.example.com"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kalvor"
!define UNINSTALLER "disinstalla.exe"
; The class of Kalvor's window (ui/win32/control_ids.h).
!define WINDOW_CLASS "Kalvor.Form1"

Name "${PRODUCT} ${KALVOR_VERSION}"
OutFile "${KALVOR_OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; One copy: an upgrade goes to the folder of the installed one.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
BrandingText "${PRODUCT} ${KALVOR_VERSION}"
; A file that cannot be replaced stops the install: never a new version over an old program.
AllowSkipFiles off
; NSIS has one "completed" text, shown under the last page's heading, for the installer and
; the uninstaller alike: each sets its own in its .onInit.
Var completed
CompletedText "$completed"

VIProductVersion "${KALVOR_VERSION}.0"
VIAddVersionKey /LANG=1040 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1040 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1040 "FileDescription" "Installazione di ${PRODUCT}"
VIAddVersionKey /LANG=1040 "FileVersion" "${KALVOR_VERSION}"
VIAddVersionKey /LANG=1040 "ProductVersion" "${KALVOR_VERSION}"
VIAddVersionKey /LANG=1040 "LegalCopyright" "© ${PUBLISHER}"

!define MUI_ICON "${KALVOR_ICON}"
!define MUI_UNICON "${KALVOR_ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\kalvor.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Avvia ${PRODUCT}"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Italian"

; A Kalvor is running when its window is open anywhere, or when the installed kalvor.exe
; cannot be opened for writing (Windows keeps a running program's file locked). Until it is
; closed the user can retry or give up; a silent run gives up at once. Either way nothing has
; been changed yet.
!macro WAIT_UNTIL_CLOSED UN
Function ${UN}WaitUntilClosed
    retry:
    FindWindow $0 "${WINDOW_CLASS}"
    IntCmp $0 0 0 running running
    IfFileExists "$INSTDIR\kalvor.exe" 0 closed
    ClearErrors
    FileOpen $0 "$INSTDIR\kalvor.exe" a
    IfErrors running
    FileClose $0
    Goto closed
    running:
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "${PRODUCT} è in esecuzione: chiuderlo e riprovare." /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Abort
    closed:
FunctionEnd
!macroend
!insertmacro WAIT_UNTIL_CLOSED ""
!insertmacro WAIT_UNTIL_CLOSED "un."

Function .onInit
    StrCpy $completed "Installazione completata"
FunctionEnd

Function un.onInit
    StrCpy $completed "Disinstallazione completata"
FunctionEnd

Section "Kalvor"
    Call WaitUntilClosed
    ; The shortcut goes to the Start menu of every user.
    SetShellVarContext all
    ; Installed before into another folder (/D): that copy goes, so one copy stays.
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    StrCmp $1 "" same_folder
    StrCmp $1 "$INSTDIR" same_folder
    Delete "$1\kalvor.exe"
    Delete "$1\${UNINSTALLER}"
    RMDir "$1"
    same_folder:
    SetOutPath "$INSTDIR"
    File "/oname=kalvor.exe" "${KALVOR_EXE}"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\kalvor.exe" "" "$INSTDIR\kalvor.exe" 0 \
        SW_SHOWNORMAL "" "Peso teorico e costo dei metalli"

    ; What "Installed apps" shows, and how it removes the program.
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${KALVOR_VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kalvor.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${WEBSITE}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ; In KiB, for the size column.
    SectionGetSize 0 $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
    Call un.WaitUntilClosed
    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    Delete "$INSTDIR\kalvor.exe"
    ; This runs from a copy of the uninstaller; the process that started the copy may hold
    ; the original a moment longer (seen under load), so its removal is tried for 5 s.
    StrCpy $1 0
    delete_uninstaller:
    ClearErrors
    Delete "$INSTDIR\${UNINSTALLER}"
    IfErrors 0 uninstaller_deleted
    IntOp $1 $1 + 1
    Sleep 250
    IntCmp $1 20 uninstaller_deleted delete_uninstaller uninstaller_deleted
    uninstaller_deleted:
    ; Removed only when empty: files a user put there stay.
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
