; The Windows installer of Kalvor, in Italian. Installs kalvor.exe for all users under
; Program Files\Kalvor, adds the Start-menu shortcut "Kalvor" and registers the uninstaller.
; Silent with /S (the uninstaller too); /D=C:\another\folder picks the folder.
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

Name "${PRODUCT} ${KALVOR_VERSION}"
OutFile "${KALVOR_OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
BrandingText "${PRODUCT} ${KALVOR_VERSION}"

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
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Italian"

Section "Kalvor"
    ; The shortcut goes to the Start menu of every user.
    SetShellVarContext all
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
    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    Delete "$INSTDIR\kalvor.exe"
    Delete "$INSTDIR\${UNINSTALLER}"
    ; Removed only when empty: files a user put there stay.
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
