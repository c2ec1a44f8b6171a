#!/usr/bin/env bash
# Screenshot of the Windows program under Wine, after the same calculation as the Linux
# screenshot in the README: carbon steel, a round bar 50 x 1000 mm, 3 pieces at 2,5 €/kg.
# Runs in a fresh Wine prefix on a private virtual display, typed with the keyboard as a person
# would; every wait has a time limit.
# Usage: scripts/screenshot_windows.sh [KALVOR.EXE [OUT.png]]
#        (default build-windows/kalvor.exe and build-windows/kalvor-wine.png)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:-$root/build-windows/kalvor.exe}
out=${2:-$root/build-windows/kalvor-wine.png}
title="Kalvor 2.2"
for tool in wine Xvfb xdotool import; do
    command -v "$tool" >/dev/null || { echo "$0: $tool is missing (scripts/setup.sh test)" >&2; exit 1; }
done
[ -f "$exe" ] || { echo "$0: no $exe (scripts/build_windows.sh)" >&2; exit 1; }

# shellcheck source=lib/wine.sh
source "$root/scripts/lib/wine.sh"
start_xvfb "$work" || exit 1
wineboot -i >"$work/wineboot.log" 2>&1
wineserver -w

wine "$exe" >"$work/kalvor.log" 2>&1 &
window=$(wait_for_window "$title" "$work/kalvor.log" 60) || exit 1
xdotool windowfocus --sync "$window"
sleep 1
keys() { xdotool key --delay 60 "$@"; sleep 0.3; }
# The material list has the focus at start; "Acciaio al carbonio" is the seventh material,
# "Barra tonda" the second shape.
keys Down Down Down Down Down Down Down Tab
keys Down Down Tab
xdotool type --delay 60 50
keys Tab
xdotool type --delay 60 1000
keys Tab
xdotool type --delay 60 3
keys Tab
xdotool type --delay 60 2,5
keys Return
sleep 1
import -window "$window" "$out"
echo "$out"
