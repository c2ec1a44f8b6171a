#!/usr/bin/env bash
# Tests the Windows build under Wine, in a fresh Wine prefix on a virtual display:
#   0. kalvor.exe is one file: it imports only DLLs that Windows has, and holds its manifest;
#   1. the unit tests of the number services, the calculation and the window description, built
#      with MinGW (number texts must match the Linux build to the character);
#   2. the window test: it starts kalvor.exe and drives it with the keyboard, the mouse and
#      other programs' messages, and replays the reference's cases (tests/win32/cases.txt);
#   3. the installer: a silent install for all users, its files, the Start-menu shortcut and
#      the uninstall entry; the installed program shows its window, and while it runs a silent
#      upgrade (an installer of a higher version, built here) and a silent uninstall refuse and
#      change nothing; through its pages the upgrade asks to close it, then replaces it in place
#      and its last page starts it; /D moves the one copy, and the next install goes there; a
#      silent uninstall leaves nothing behind;
#   4. the window on a screen of 144 DPI is half as large again.
# One line per check; stops with a non-zero status at the first failure.
# Usage: scripts/test_windows.sh [BUILD_DIR]      (default build-windows, made by build_windows.sh)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-windows}" && pwd)
version=$(sed -n 's/^project(Kalvor VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
setup="$build/kalvor-$version-setup.exe"
title="Kalvor ${version%.*}"
publisher="Example S.r.l."
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kalvor'

pass() { echo "ok   $*"; }
fail() {
    echo "FAIL $*" >&2
    exit 1
}

for needed in wine xdotool Xvfb; do
    command -v "$needed" >/dev/null || fail "$needed is missing (bash scripts/setup.sh test)"
done
for file in "$build/kalvor.exe" "$setup"; do
    [ -f "$file" ] || fail "$file is missing (bash scripts/build_windows.sh)"
done

# shellcheck source=lib/wine.sh
source "$root/scripts/lib/wine.sh"
start_xvfb "$work" || fail "Xvfb did not start"

start=$SECONDS
timeout 120 wineboot -i >"$work/wineboot.log" 2>&1 ||
    { cat "$work/wineboot.log" >&2; fail "wineboot -i"; }
timeout 60 wineserver -w
# With no window manager, Wine waits about 2 s after each closed message box for one.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
timeout 60 wineserver -w
pass "fresh Wine prefix ($(wine --version)) on display $DISPLAY in $((SECONDS - start)) s"

# --- 0. the program file ----------------------------------------------------------------------
# One file and no DLL beside it: every DLL it imports must be one that Windows itself has.
system32=$(winepath -u 'C:\windows\system32' | tr -d '\r')
imports=$(x86_64-w64-mingw32-objdump -p "$build/kalvor.exe" | sed -n 's/^\s*DLL Name: //p')
for dll in $imports; do
    [ -n "$(find "$system32" -maxdepth 1 -iname "$dll")" ] ||
        fail "kalvor.exe imports $dll, which Windows does not have"
done
pass "kalvor.exe, $(stat -c %s "$build/kalvor.exe") bytes, imports only system DLLs:" \
    "${imports//$'\n'/ }"
# The manifest is stored as plain UTF-8 in the resources.
manifest=$(strings -a "$build/kalvor.exe")
for expected in 'PerMonitorV2' 'Microsoft.Windows.Common-Controls" version="6.0.0.0'; do
    grep -qF "$expected" <<<"$manifest" || fail "kalvor.exe: its manifest lacks $expected"
done
pass "kalvor.exe: manifest with per-monitor DPI awareness v2 and common controls 6"

# --- 1. unit tests ----------------------------------------------------------------------------
# ctest runs each test program through Wine, the build's emulator.
if ! ctest --test-dir "$build" --output-on-failure --no-tests=error -j "$(nproc)" \
    -E '^test_win32_window$' >"$work/ctest.log" 2>&1; then
    cat "$work/ctest.log" >&2
    fail "unit tests under Wine"
fi
pass "unit tests under Wine: $(grep -o '[0-9]*% tests passed.*' "$work/ctest.log")"

# --- 2. the window, driven ----------------------------------------------------------------------
if [ -f "$root/tests/win32/CMakeLists.txt" ]; then
    if ! ctest --test-dir "$build" --verbose --no-tests=error -R '^test_win32_window$' \
        >"$work/window.log" 2>&1; then
        cat "$work/window.log" >&2
        fail "window test"
    fi
    pass "window test: $(tr -d '\r' <"$work/window.log" | grep -aoE '[0-9]+ passed, [0-9]+ failed' | tail -n 1)"
fi

# --- 3. the installer ---------------------------------------------------------------------------
unix_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }
registry() { # value name -> the value's data, or nothing when the key or value is missing
    wine reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}

timeout 120 wine "$setup" /S >"$work/setup.log" 2>&1 ||
    { cat "$work/setup.log" >&2; fail "silent install"; }
timeout 60 wineserver -w
program_files=$(unix_path 'C:\Program Files')
install_dir="$program_files/Kalvor"
start_menu=$(unix_path 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs')
pass "silent install: $(basename "$setup") /S"

cmp -s "$build/kalvor.exe" "$install_dir/kalvor.exe" ||
    fail "installed: Program Files\\Kalvor\\kalvor.exe"
[ -f "$install_dir/disinstalla.exe" ] || fail "installed: Program Files\\Kalvor\\disinstalla.exe"
pass "installed: Program Files\\Kalvor\\kalvor.exe and disinstalla.exe"

shortcut="$start_menu/Kalvor.lnk"
[ -f "$shortcut" ] || fail "Start menu: Kalvor.lnk missing (all users)"
# The link's target path is stored in ANSI or UTF-16, depending on the writer.
lnk_error="Start menu: Kalvor.lnk does not point at the installed kalvor.exe"
python3 - "$shortcut" <<'PY' || fail "$lnk_error"
import sys
data = open(sys.argv[1], 'rb').read().lower()
target = 'program files\\kalvor\\kalvor.exe'
sys.exit(0 if target.encode() in data or target.encode('utf-16-le') in data else 1)
PY
pass "Start menu: Kalvor.lnk for all users, pointing at Program Files\\Kalvor\\kalvor.exe"

expect_value() { # name expected
    local got
    got=$(registry "$1")
    [ "$got" = "$2" ] || fail "uninstall entry: $1 is \"$got\", expected \"$2\""
}
expect_value DisplayName Kalvor
expect_value DisplayVersion "$version"
expect_value Publisher "$publisher"
expect_value DisplayIcon 'C:\Program Files\Kalvor\kalvor.exe,0'
expect_value UninstallString '"C:\Program Files\Kalvor\disinstalla.exe"'
expect_value QuietUninstallString '"C:\Program Files\Kalvor\disinstalla.exe" /S'
pass "uninstall entry: Kalvor $version, $publisher, icon and uninstaller"

# A later version to upgrade to: the same program with a few bytes more, so that a replaced file
# shows, in an installer built the way CMake builds the first.
next="${version%.*}.$((${version##*.} + 1))"
next_exe="$work/kalvor-$next.exe"
next_setup="$work/kalvor-$next-setup.exe"
{ cat "$build/kalvor.exe"; printf 'Kalvor %s' "$next"; } >"$next_exe"
makensis -V1 -DKALVOR_EXE="$next_exe" -DKALVOR_ICON="$root/ui/resources/kalvor.ico" \
    -DKALVOR_VERSION="$next" -DKALVOR_OUTFILE="$next_setup" "$root/packaging/windows/kalvor.nsi" \
    >"$work/makensis.log" 2>&1 || { cat "$work/makensis.log" >&2; fail "makensis, version $next"; }

start_program() { # Windows path of kalvor.exe; sets program_pid and window
    wine "$1" >"$work/kalvor.log" 2>&1 &
    program_pid=$!
    window=$(timeout 60 xdotool search --sync --name "^$title\$" 2>/dev/null | head -n 1) ||
        { cat "$work/kalvor.log" >&2; fail "$1: no window \"$title\" within 60 s"; }
    kill -0 "$program_pid" 2>/dev/null || fail "$1 ended on its own"
}
# Closed as a person closes it: the window's close message ends the program.
close_program() {
    wine taskkill /im kalvor.exe >/dev/null 2>&1 || true
    for _ in $(seq 100); do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$program_pid" 2>/dev/null && fail "kalvor.exe did not end when its window was closed"
    program_pid=""
}
# The uninstaller copies itself away and runs from there: wait until that copy has ended.
uninstall() { # Windows folder [argument...]
    local folder=$1
    shift
    timeout 120 wine "$folder\\disinstalla.exe" "$@" >"$work/uninstall.log" 2>&1 ||
        { cat "$work/uninstall.log" >&2; fail "uninstall $*"; }
    for _ in $(seq 600); do
        [ -n "$(prefix_processes 'Au_\.exe')" ] || return 0
        sleep 0.1
    done
    fail "the uninstaller's copy did not end within 60 s"
}
# The processes of this Wine prefix whose command line matches: other prefixes may be running.
prefix_processes() { # pattern
    local pid
    for pid in $(pgrep -f "$1"); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
            echo "$pid"
    done
    return 0
}
entries() { # how many uninstall entries name Kalvor
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' 2>/dev/null |
        grep -ci 'kalvor' || true
}

start_program 'C:\Program Files\Kalvor\kalvor.exe'
pass "installed kalvor.exe shows its window \"$title\" (X window $window)"

# A running program is never half-replaced: silent, the upgrade and the uninstaller refuse with
# a non-zero status and leave everything as it was.
status=0
timeout 120 wine "$next_setup" /S >"$work/setup.log" 2>&1 || status=$?
[ "$status" -ne 0 ] || fail "an upgrade over the running kalvor.exe ended with status 0"
uninstall 'C:\Program Files\Kalvor' /S
cmp -s "$build/kalvor.exe" "$install_dir/kalvor.exe" ||
    fail "with kalvor.exe running, the upgrade replaced it"
for file in "$install_dir/disinstalla.exe" "$shortcut"; do
    [ -f "$file" ] || fail "with kalvor.exe running, the uninstaller removed $file"
done
expect_value DisplayVersion "$version"
pass "with kalvor.exe running, a silent upgrade (status $status) and a silent uninstall" \
    "change nothing"

# Through its pages the installer asks to close the program first, and tries again on
# "Riprova": the upgrade then replaces it where it is, and the last page starts it.
wine "$next_setup" >"$work/setup.log" 2>&1 &
installer=$(timeout 60 xdotool search --sync --name "Kalvor $next" 2>/dev/null | head -n 1) ||
    fail "the installer of $next shows no window"
xdotool windowfocus --sync "$installer" key Return # "Installa" on the folder page
box=""
for _ in $(seq 150); do
    box=$(xdotool search --name "Kalvor $next" | grep -vx "$installer" | head -n 1) &&
        [ -n "$box" ] && break
    sleep 0.2
done
[ -n "$box" ] || fail "with kalvor.exe running, the installer did not ask to close it"
cmp -s "$build/kalvor.exe" "$install_dir/kalvor.exe" ||
    fail "with kalvor.exe running, the installer replaced it before asking"
close_program
pass "installed kalvor.exe ends when its window is closed"
xdotool windowfocus --sync "$box" key Return # "Riprova"
for _ in $(seq 120); do
    [ "$(registry DisplayVersion)" = "$next" ] && break
    sleep 0.5
done
[ "$(registry DisplayVersion)" = "$next" ] || fail "upgrade: still version $version after Riprova"
# The finish page follows by itself, later on a busy machine: "Fine" (with "Avvia Kalvor"
# checked) is pressed until the program shows; before that page Enter does nothing.
window=""
for _ in $(seq 15); do
    sleep 2
    xdotool windowfocus --sync "$installer" key Return 2>/dev/null || true
    window=$(timeout 4 xdotool search --sync --name "^$title\$" 2>/dev/null | head -n 1) &&
        [ -n "$window" ] && break
done
[ -n "$window" ] || fail "the installer's last page did not start Kalvor"
program_pid=$(prefix_processes 'kalvor\.exe' | head -n 1)
[ -n "$program_pid" ] || fail "the installer's last page did not start kalvor.exe"
cmp -s "$next_exe" "$install_dir/kalvor.exe" || fail "upgrade: kalvor.exe was not replaced"
[ "$(entries)" = 1 ] || fail "upgrade: $(entries) uninstall entries, expected 1"
close_program
timeout 60 wineserver -w
pass "upgrade to $next through the pages: asked to close kalvor.exe, then on \"Riprova\" replaced" \
    "it in place with one uninstall entry; its last page (\"Avvia Kalvor\") started it"

# /D moves the one copy into another folder; a later install without /D goes there too.
other='C:\Kalvor'
other_dir=$(unix_path "$other")
timeout 120 wine "$setup" /S "/D=$other" >"$work/setup.log" 2>&1 ||
    { cat "$work/setup.log" >&2; fail "silent install with /D=$other"; }
cmp -s "$build/kalvor.exe" "$other_dir/kalvor.exe" || fail "/D=$other: kalvor.exe not there"
[ ! -e "$install_dir" ] || fail "/D=$other: the copy in Program Files\\Kalvor is left"
timeout 120 wine "$next_setup" /S >"$work/setup.log" 2>&1 ||
    { cat "$work/setup.log" >&2; fail "silent install after /D=$other"; }
cmp -s "$next_exe" "$other_dir/kalvor.exe" || fail "a second install did not go to $other"
[ ! -e "$install_dir" ] || fail "a second install went to Program Files\\Kalvor"
expect_value UninstallString "\"$other\\disinstalla.exe\""
[ "$(entries)" = 1 ] || fail "after /D: $(entries) uninstall entries, expected 1"
pass "/D=$other moves the one copy there, and the next install goes there too"

uninstall "$other" /S
timeout 60 wineserver -w
for folder in "$install_dir" "$other_dir"; do
    [ ! -e "$folder" ] ||
        fail "after uninstall: left in $folder: $(find "$folder" -mindepth 1 -printf '%P ')"
done
[ ! -e "$shortcut" ] || fail "after uninstall: Kalvor.lnk left in the Start menu"
[ "$(entries)" = 0 ] || fail "after uninstall: the uninstall entry is left"
pass "silent uninstall: no folder, no shortcut, no uninstall entry left"

# --- 4. another DPI -----------------------------------------------------------------------------
# The layout is in pixels at 96 DPI, scaled to the screen's DPI: at 144 DPI, 442 x 488 becomes
# 663 x 732.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
# Measured as X sees it: a window Wine leaves to a window manager has no frame of Wine's own.
wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1
timeout 60 wineserver -w # the setting is read when Wine starts
wine "$build/kalvor.exe" >"$work/kalvor.log" 2>&1 &
program_pid=$!
# Measured once the window is on the screen, with a moment for X to report its last size.
window=$(timeout 60 xdotool search --sync --onlyvisible --name "^$title\$" 2>/dev/null |
    head -n 1) ||
    { cat "$work/kalvor.log" >&2; fail "kalvor.exe at 144 DPI: no window \"$title\" within 60 s"; }
for _ in $(seq 50); do
    size=$(xdotool getwindowgeometry "$window" | sed -n 's/^ *Geometry: //p')
    [ "$size" != 663x732 ] || break
    sleep 0.2
done
[ "$size" = 663x732 ] || fail "kalvor.exe at 144 DPI: the window is $size, expected 663x732"
pass "kalvor.exe at 144 DPI: the window is 663x732"
