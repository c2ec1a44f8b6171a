#!/usr/bin/env bash
# Start-up benchmark of the Windows program under Wine, run by hand: how long kalvor.exe takes
# from exec to its window being mapped and painted on a virtual display, against a bare Win32
# window of the same size as the baseline, run alternately in the same batch. A second bare
# window carries kalvor.exe's manifest: the difference between the two is the cost of loading
# the visual styles (common controls 6 and the theme library). A third adds 29 plain static
# controls, as many windows as kalvor.exe shows at start: what having that many windows costs
# before any of Kalvor's own work. Prints a Markdown table for the README.
#
# Usage: scripts/bench_startup_windows.sh [RUNS]    (RUNS measured runs of each, default 20)
# Environment:
#   BUILD_DIR   the Windows build (default build-windows/, made by scripts/build_windows.sh)
#   WARMUP      runs of each program discarded first, to warm the caches (default 3)
#   PIN_CPU     a CPU number: Wine's server, its desktop and the programs all run on that one
#               CPU (default: wherever the kernel puts them). Each window call is a round trip
#               to Wine's server; a program the kernel starts on another CPU than the server
#               pays two wake-ups across CPUs per call (on a virtual machine some 15 times what
#               a call costs on one CPU) until the scheduler brings the two together, 100 to
#               200 ms later. Pinned, the figures measure the programs rather than that placement.
# Both programs run in one fresh Wine prefix whose server is kept running between runs, as on
# a desktop where Wine is already up; the meter (bench/startup/measure.c) is the one the Linux
# benchmark uses, timing the Wine process from its exec.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-20}
warmup=${WARMUP:-3}
build=${BUILD_DIR:-$root/build-windows}
for number in "$runs" "$warmup"; do
    [[ $number =~ ^[0-9]+$ ]] || { echo "usage: $0 [RUNS]" >&2; exit 2; }
done
[ "$runs" -ge 1 ] || { echo "$0: RUNS must be at least 1" >&2; exit 2; }
pin=()
if [ -n "${PIN_CPU:-}" ]; then
    [[ $PIN_CPU =~ ^[0-9]+$ ]] || { echo "$0: PIN_CPU must be a CPU number" >&2; exit 2; }
    pin=(taskset -c "$PIN_CPU")
fi

[ -f "$build/kalvor.exe" ] ||
    { echo "$0: no $build/kalvor.exe (scripts/build_windows.sh)" >&2; exit 1; }
cmake --build "$build" --target bare_window_win32 bare_window_win32_styled \
    bare_window_win32_controls >&2
declare -A program=(
    [kalvor]=$build/kalvor.exe
    [bare]=$build/bench/bare_window_win32.exe
    [styled]=$build/bench/bare_window_win32_styled.exe
    [controls]=$build/bench/bare_window_win32_controls.exe
)
cmake -S "$root/bench/startup" -B "$build/harness" -G Ninja -DCMAKE_BUILD_TYPE=Release >&2
cmake --build "$build/harness" --target measure >&2
measure=$build/harness/measure

# shellcheck source=lib/wine.sh
source "$root/scripts/lib/wine.sh"
start_xvfb "$work" -noreset -br || exit 1
"${pin[@]}" wineboot -i >"$work/wineboot.log" 2>&1
wineserver -w
"${pin[@]}" wineserver -p # stays up between runs

one_run() { # name binary file
    if ! "$measure" --timeout-ms 60000 --settle-ms 100 -- "${pin[@]}" wine "$2" >>"$3" 2>>"$work/$1.log"; then
        echo "$0: measuring $1 failed:" >&2
        cat "$work/$1.log" >&2
        exit 1
    fi
    # The meter kills the program; Wine's server and desktop process then clean up after it,
    # which would slow whichever program came next.
    sleep 1
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
echo "Measuring $runs runs of each (after $warmup warm-up runs each) on $DISPLAY ..." >&2
for ((i = 1; i <= warmup + runs; i++)); do
    suffix=txt
    [ "$i" -le "$warmup" ] && suffix=warm
    # Cycle through eight orders (each program first twice, and after each other program), so
    # that a drift in the machine's load, and whatever one program leaves behind for the next,
    # falls on all four alike.
    case $((i % 8)) in
    0) order=(bare styled controls kalvor) ;;
    1) order=(styled controls kalvor bare) ;;
    2) order=(controls kalvor bare styled) ;;
    3) order=(kalvor bare styled controls) ;;
    4) order=(kalvor controls styled bare) ;;
    5) order=(bare kalvor controls styled) ;;
    6) order=(styled bare kalvor controls) ;;
    *) order=(controls styled bare kalvor) ;;
    esac
    for name in "${order[@]}"; do
        one_run "$name" "${program[$name]}" "$work/$name.$suffix"
    done
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

for name in bare styled controls; do
    grep -q -v 'title="Bare 2.2"' "$work/$name.txt" && { echo "$0: $name window: wrong window" >&2; exit 1; }
done
grep -q -v 'title="Kalvor 2.2"' "$work/kalvor.txt" && { echo "$0: Kalvor: wrong window" >&2; exit 1; }

field() { grep -o "\b$2=[0-9-]*" "$1" | cut -d= -f2; }
median() {
    sort -n | awk '{ v[NR] = $1 } END {
        if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
row() { # label key divisor decimals
    local b s c k
    b=$(field "$work/bare.txt" "$2" | median)
    s=$(field "$work/styled.txt" "$2" | median)
    c=$(field "$work/controls.txt" "$2" | median)
    k=$(field "$work/kalvor.txt" "$2" | median)
    awk -v label="$1" -v b="$b" -v s="$s" -v c="$c" -v k="$k" -v d="$3" -v p="$4" 'BEGIN {
        printf "| %s | %.*f | %.*f (%.2f×) | %.*f (%.2f×) | %.*f | %.2f× |\n",
            label, p, b / d, p, s / d, s / b, p, c / d, c / b, p, k / d, k / b }'
}

echo
echo "Start-up under $(wine --version) on Xvfb (1024×768×24), median of $runs runs each after"
echo "$warmup warm-up runs, in eight rotating orders; load average $load_before before, $load_after after;"
if [ -n "${PIN_CPU:-}" ]; then
    echo "Wine's server, its desktop and the programs on CPU $PIN_CPU only."
else
    echo "Wine's server, its desktop and the programs on any CPU."
fi
echo "Window sizes: bare $(grep -o 'size=[0-9x]*' "$work/bare.txt" | sort -u | cut -d= -f2 | tr '\n' ' ')," \
    "Kalvor $(grep -o 'size=[0-9x]*' "$work/kalvor.txt" | sort -u | cut -d= -f2 | tr '\n' ' ')"
echo
echo "| median | bare Win32 window | the same with Kalvor's manifest | and 29 static controls | kalvor.exe | kalvor.exe / bare |"
echo "|---|---:|---:|---:|---:|---:|"
row "exec → window mapped (ms)" mapped_us 1000 1
row "exec → window painted (ms)" painted_us 1000 1
row "peak memory of the Wine process, VmHWM (MiB)" vmhwm_kb 1024 1
row "CPU time of the Wine process (ms)" cpu_us 1000 1
