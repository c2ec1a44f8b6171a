# shellcheck shell=bash
# Sourced by the scripts that run the Windows program under Wine.
#
# Gives a scratch folder $work holding a fresh 64-bit Wine prefix, and start_xvfb from xvfb.sh.
# On exit it ends the program in $program_pid (if the script set it), the Wine server and Xvfb,
# and removes the folder, keeping the script's exit status.
work=$(mktemp -d)
xvfb_pid=""
program_pid=""
export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all
# No Mono and no Gecko: Kalvor needs neither, and a fresh prefix would ask to download them.
export WINEDLLOVERRIDES="mscoree,mshtml="
wine_cleanup() {
    local status=$?
    set +e
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
    exit "$status"
}
trap wine_cleanup EXIT
trap 'exit 130' INT TERM

# shellcheck source=lib/xvfb.sh
source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"
