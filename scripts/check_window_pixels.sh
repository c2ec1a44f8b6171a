#!/usr/bin/env bash
# Checks that Kalvor's window looks as designed whatever the desktop around it: pixel for pixel
# the committed screenshot at start (tests/real_window/start_window.png), then, after one
# calculation typed in with the keyboard, the other one (calculated_window.png). Each run
# starts the program on a private virtual display: plain, under GTK's dark Adwaita theme
# (Debian's qt6-gtk-platformtheme), with QT_STYLE_OVERRIDE and with -style naming another
# style. Screenshots are taken until one matches, since the caret in the material list blinks.
# Also checks that start-up loaded no image plugin: the window's pictures need no decoder.
# Never hangs, ends what it started.
# Usage: scripts/check_window_pixels.sh BINARY
# On a mismatch the distinct screenshots taken are kept in build-pixels/ for a look (and, when
# the window is meant to change, for a new reference).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -ne 1 ]; then
    echo "usage: $0 BINARY" >&2
    exit 2
fi
binary=$1
references=$root/tests/real_window
keep=$root/build-pixels
title="Kalvor 2.2"
seconds=6 # the caret blinks about twice a second
# One run a line: its name | its environment | the program's arguments.
runs=(
    "designed||"
    "GTK dark theme|QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark|"
    "QT_STYLE_OVERRIDE=Windows|QT_STYLE_OVERRIDE=Windows|"
    "-style Windows||-style Windows"
)

for tool in Xvfb xdotool import compare; do
    command -v "$tool" >/dev/null || { echo "$0: $tool is missing (scripts/setup.sh)" >&2; exit 1; }
done
[ -x "$binary" ] || { echo "$0: $binary is not an executable" >&2; exit 1; }
for reference in start_window calculated_window; do
    [ -f "$references/$reference.png" ] ||
        { echo "$0: no reference screenshot $references/$reference.png" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
stop_program() {
    [ -n "$app_pid" ] || return 0
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    app_pid=""
}
cleanup() {
    stop_program
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=lib/xvfb.sh
source "$root/scripts/lib/xvfb.sh"
start_xvfb "$work" || exit 1
mkdir -m 700 "$work/runtime"

# The number of pixels that differ from the reference, or "size" when the sizes differ.
differing() {
    compare -metric AE "$1" "$2" null: 2>&1 || true
}

# matches WINDOW REFERENCE.png SECONDS RUN: takes screenshots until one is the reference.
matches() {
    local reference=$references/$2 end=$((SECONDS + $3)) shots=0 shot sum
    rm -f "$work"/shot-*.png
    while [ "$SECONDS" -lt "$end" ]; do
        shots=$((shots + 1))
        shot=$work/shot-$shots.png
        timeout 20 import -window "$1" "$shot"
        if [ "$(differing "$shot" "$reference")" = 0 ]; then
            echo "$4: the window matches $2 (screenshot $shots)"
            return 0
        fi
        sleep 0.15
    done
    rm -rf "$keep"
    mkdir -p "$keep"
    echo "$0: $4: no screenshot of the window matched $2 in $3 s" >&2
    for shot in "$work"/shot-*.png; do
        sum=$(md5sum <"$shot" | cut -c1-12)
        [ -e "$keep/$sum.png" ] && continue
        cp "$shot" "$keep/$sum.png"
        compare "$shot" "$reference" "$keep/$sum-diff.png" 2>/dev/null || true
        echo "  $keep/$sum.png: $(differing "$shot" "$reference") pixels differ" >&2
    done
    return 1
}

for run in "${runs[@]}"; do
    IFS='|' read -r name environment arguments <<<"$run"
    read -ra environment <<<"$environment"
    read -ra arguments <<<"$arguments"
    # Qt's plugin log shows whether start-up loaded an image decoder (it should need none),
    # and that the GTK theme really was in force.
    env XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb QT_DEBUG_PLUGINS=1 \
        "${environment[@]}" "$binary" "${arguments[@]}" >"$work/app.log" 2>&1 &
    app_pid=$!
    window=$(wait_for_window "$title" "$work/app.log") || exit 1
    matches "$window" start_window.png "$seconds" "$name" || exit 1
    if grep 'imageformats/.*loaded library' "$work/app.log" >&2; then
        echo "$0: $name: start-up loaded an image plugin" >&2
        exit 1
    fi
    if [[ " ${environment[*]} " == *" QT_QPA_PLATFORMTHEME=gtk3 "* ]] &&
        ! grep -q 'platformthemes/libqgtk3.so.*loaded library' "$work/app.log"; then
        echo "$0: $name: the GTK platform theme did not load (scripts/setup.sh test)" >&2
        exit 1
    fi

    # Round bar of carbon steel, 50 x 1000, 3 pieces at 2,5 per kg (tests/real_window/drive.py).
    xdotool windowfocus --sync "$window"
    xdotool key --delay 40 Down Down Down Down Down Down Down Tab Down Down Tab
    for typed in 50 1000 3 2.5; do
        xdotool type --delay 40 "$typed"
        xdotool key --delay 40 Tab
    done
    xdotool key space
    matches "$window" calculated_window.png $((seconds + 4)) "$name" || exit 1
    stop_program
done
