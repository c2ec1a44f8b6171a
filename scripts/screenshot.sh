#!/usr/bin/env bash
# Starts a program on a private virtual display, waits for the Kalvor window, saves a
# screenshot of that window and ends both. Works headless, as root too, and never hangs:
# every wait has a time limit.
# Usage: scripts/screenshot.sh BINARY OUT.png
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 BINARY OUT.png" >&2
    exit 2
fi
binary=$1
out=$2
title="Kalvor 2.2"

for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || { echo "$0: $tool is missing (scripts/setup.sh)" >&2; exit 1; }
done
[ -x "$binary" ] || { echo "$0: $binary is not an executable" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
# Ends a process we started: politely first, by force if it is still there after two seconds.
running() { # an ended child stays a zombie until it is reaped: that counts as ended
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null) && [ "${state#Z}" = "$state" ]
}
stop() {
    [ -n "$1" ] || return 0
    kill "$1" 2>/dev/null || true
    for _ in $(seq 20); do
        running "$1" || break
        sleep 0.1
    done
    running "$1" && kill -KILL "$1" 2>/dev/null
    wait "$1" 2>/dev/null || true
}
cleanup() {
    stop "$app_pid"
    stop "$xvfb_pid"
    rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=lib/xvfb.sh
source "$(dirname "$0")/lib/xvfb.sh"
start_xvfb "$work" || exit 1

"$binary" >"$work/app.log" 2>&1 &
app_pid=$!

window=$(wait_for_window "$title" "$work/app.log") || exit 1
sleep 1 # let the first paint land
timeout 20 import -window "$window" "$out"
echo "$out"
