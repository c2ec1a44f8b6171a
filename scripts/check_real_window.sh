#!/usr/bin/env bash
# Drives the real Kalvor window from outside: starts it on a private virtual display with
# accessibility on, walks the road of one calculation with the keyboard (xdotool) and reads the
# window back through AT-SPI (tests/real_window/drive.py). Works headless and as root, never
# hangs (every wait has a time limit) and ends everything it started.
# Usage: scripts/check_real_window.sh BINARY [SCREENSHOT.png]
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
self="$here/$(basename "${BASH_SOURCE[0]}")"
root=$(dirname "$here")
driver="$root/tests/real_window/drive.py"
python=/usr/bin/python3 # the interpreter that has gi and the AT-SPI bindings
limit=180               # seconds for the whole check, the last line of defence against a hang

# Inside the D-Bus session (see the end of this file): the accessibility bus, Kalvor, the driver.
if [ "${1:-}" = --in-session ]; then
    shift
    binary=$1
    shot=${2:-}
    log=$3
    app_pid=""
    launcher_pid=""
    cleanup_session() {
        [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
        [ -n "$launcher_pid" ] && kill "$launcher_pid" 2>/dev/null || true
        wait 2>/dev/null || true
    }
    trap cleanup_session EXIT

    # Qt finds the accessibility bus by asking the session bus for org.a11y.Bus. Asking first
    # here starts the bus launcher by D-Bus activation and waits until it answers, so Kalvor
    # never starts before the bus is there. Should activation fail, start the launcher directly.
    a11y_address() {
        timeout 15 dbus-send --session --print-reply=literal --reply-timeout=10000 \
            --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress 2>>"$log"
    }
    if ! address=$(a11y_address); then
        echo "D-Bus activation of org.a11y.Bus failed; starting the launcher" >>"$log"
        /usr/libexec/at-spi-bus-launcher >>"$log" 2>&1 &
        launcher_pid=$!
        for _ in $(seq 50); do
            address=$(a11y_address) && break
            sleep 0.2
        done
    fi
    [ -n "${address// /}" ] || { echo "no accessibility bus" >&4; exit 1; }
    echo "accessibility bus: ${address// /}" >>"$log"

    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$binary" >>"$log" 2>&1 &
    app_pid=$!
    driver_args=(--pid "$app_pid")
    [ -n "$shot" ] && driver_args+=(--screenshot "$shot")
    # The buses and Kalvor write to the log; the driver's lines go to the caller (fds 3, 4).
    "$python" "$driver" "${driver_args[@]}" >&3 2>&4
    kill -0 "$app_pid" 2>/dev/null || { echo "Kalvor ended during the check" >&4; exit 1; }
    exit 0
fi

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 BINARY [SCREENSHOT.png]" >&2
    exit 2
fi
binary=$(realpath "$1")
shot=""
[ $# -eq 2 ] && shot=$(realpath "$2")
[ -x "$binary" ] || { echo "$0: $binary is not an executable" >&2; exit 1; }
needed=(Xvfb xdotool dbus-run-session dbus-send)
[ -n "$shot" ] && needed+=(import)
for tool in "${needed[@]}"; do
    command -v "$tool" >/dev/null ||
        { echo "$0: $tool is missing (scripts/setup.sh test)" >&2; exit 1; }
done
"$python" -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null ||
    { echo "$0: $python lacks gi with Atspi 2.0 (scripts/setup.sh test)" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=""
session_pid=""
cleanup() {
    # timeout leads its own process group, which holds the session bus, the accessibility bus
    # and Kalvor: ending the group ends them all, also those left over by an interrupted run.
    [ -n "$session_pid" ] && kill -TERM -- "-$session_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# shellcheck source=lib/xvfb.sh
source "$here/lib/xvfb.sh"
start_xvfb "$work" || exit 1

# A session bus of our own, so that nothing of the caller's desktop (or its absence) matters.
unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS
status=0
timeout --kill-after=5 "$limit" \
    dbus-run-session -- bash "$self" --in-session "$binary" "$shot" "$work/app.log" \
    3>&1 4>&2 >>"$work/app.log" 2>&1 &
session_pid=$!
wait "$session_pid" || status=$?
if [ "$status" -ne 0 ]; then
    [ "$status" -eq 124 ] && echo "$0: the check took longer than $limit s" >&2
    echo "--- the session bus, the accessibility bus and Kalvor said:" >&2
    cat "$work/app.log" >&2
fi
exit "$status"
