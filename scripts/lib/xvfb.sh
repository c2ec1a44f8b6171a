# shellcheck shell=bash
# Sourced by the scripts that need a virtual display.
#
# start_xvfb WORKDIR [XVFB-OPTIONS...]
#   Starts Xvfb on a display it picks itself (it writes the number to a descriptor once it
#   accepts connections) and waits at most 10 s for it. Sets xvfb_pid and exports DISPLAY;
#   returns non-zero, with Xvfb's log on stderr, when it does not start. The caller stops
#   Xvfb (kill "$xvfb_pid") in its own clean-up.
start_xvfb() {
    local work=$1
    shift
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp "$@" \
        3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    local _
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ ! -s "$work/display" ]; then
        cat "$work/xvfb.log" >&2
        echo "Xvfb did not start" >&2
        return 1
    fi
    DISPLAY=":$(head -n 1 "$work/display")"
    export DISPLAY
}

# wait_for_window TITLE LOG [SECONDS]
#   Prints the id of the first visible window titled TITLE once it is mapped (xdotool's --sync
#   waits for that), waiting at most SECONDS (20) so that a program that never shows one cannot
#   hang the caller; returns non-zero, with the program's LOG on stderr, when none appears.
wait_for_window() {
    local window
    window=$(timeout "${3:-20}" xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1)
    if [ -z "$window" ]; then
        echo "no window titled \"$1\" appeared" >&2
        cat "$2" >&2
        return 1
    fi
    echo "$window"
}
