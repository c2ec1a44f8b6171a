#!/usr/bin/env bash
# Checks that the window Kalvor shows at start is, pixel for pixel, the committed screenshot
# (tests/real_window/start_window.png): starts the program on a private virtual display and
# takes screenshots of its window until one matches. Several are needed because the caret in
# the material list blinks; the committed one shows it. Also checks that start-up loaded no
# image plugin: the window's pictures need no decoder. Never hangs, ends what it started.
# Usage: scripts/check_window_pixels.sh BINARY [REFERENCE.png]
# On a mismatch the distinct screenshots taken are kept in build-pixels/ for a look (and, when
# the window is meant to change, for a new reference).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 BINARY [REFERENCE.png]" >&2
    exit 2
fi
binary=$1
reference=${2:-$root/tests/real_window/start_window.png}
keep=$root/build-pixels
title="Kalvor 2.2"
seconds=6 # the caret blinks about twice a second

for tool in Xvfb xdotool import compare; do
    command -v "$tool" >/dev/null || { echo "$0: $tool is missing (scripts/setup.sh)" >&2; exit 1; }
done
[ -x "$binary" ] || { echo "$0: $binary is not an executable" >&2; exit 1; }
[ -f "$reference" ] || { echo "$0: no reference screenshot $reference" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
    for pid in "$app_pid" "$xvfb_pid"; do
        [ -n "$pid" ] || continue
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=lib/xvfb.sh
source "$root/scripts/lib/xvfb.sh"
start_xvfb "$work" || exit 1
mkdir -m 700 "$work/runtime"
# Qt's plugin log shows whether start-up loaded an image decoder: it should need none.
XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb QT_DEBUG_PLUGINS=1 "$binary" >"$work/app.log" 2>&1 &
app_pid=$!

window=$(wait_for_window "$title" "$work/app.log") || exit 1

# The number of pixels that differ from the reference, or "size" when the sizes differ.
differing() {
    compare -metric AE "$1" "$reference" null: 2>&1 || true
}

end=$((SECONDS + seconds))
shots=0
while [ "$SECONDS" -lt "$end" ]; do
    shots=$((shots + 1))
    shot=$work/shot-$shots.png
    timeout 20 import -window "$window" "$shot"
    if [ "$(differing "$shot")" = 0 ]; then
        echo "the window matches $(basename "$reference") (screenshot $shots)"
        if grep 'imageformats/.*loaded library' "$work/app.log" >&2; then
            echo "$0: start-up loaded an image plugin" >&2
            exit 1
        fi
        exit 0
    fi
    sleep 0.15
done

rm -rf "$keep"
mkdir -p "$keep"
echo "$0: no screenshot of the window matched $reference in $seconds s" >&2
for shot in "$work"/shot-*.png; do
    sum=$(md5sum <"$shot" | cut -c1-12)
    [ -e "$keep/$sum.png" ] && continue
    cp "$shot" "$keep/$sum.png"
    compare "$shot" "$reference" "$keep/$sum-diff.png" 2>/dev/null || true
    echo "  $keep/$sum.png: $(differing "$shot") pixels differ" >&2
done
exit 1
