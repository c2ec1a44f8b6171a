#!/usr/bin/env bash
# Start-up benchmark, run by hand: how long Kalvor takes from exec to its window being mapped and
# painted on a virtual display, and its peak memory, against the fair floor: a Qt Widgets window
# of the same size that shows one line of text (any program with text pays for fontconfig and a
# first font). An empty Qt window is measured too, for reference. The three programs take turns
# in one batch, each round in a rotated order, so that a change in the machine's load falls on
# all alike. Prints a Markdown table for the README, with the load average.
#
# Usage: scripts/bench_startup.sh [RUNS]      (RUNS measured runs of each program, default 30)
# Environment:
#   BUILD_DIR   where Kalvor and the benchmark's own programs are built (default build-startup/)
#   KALVOR_BIN  measure this Kalvor binary instead of building one
#   WARMUP      runs of each program discarded first, to warm the caches (default 3)
#   SETTLE_MS   wait after the first paint before the peak memory is read (default 300)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-30}
warmup=${WARMUP:-3}
settle=${SETTLE_MS:-300}
build=${BUILD_DIR:-$root/build-startup}
for number in "$runs" "$warmup" "$settle"; do
    [[ $number =~ ^[0-9]+$ ]] || { echo "usage: $0 [RUNS]" >&2; exit 2; }
done
[ "$runs" -ge 1 ] || { echo "$0: RUNS must be at least 1" >&2; exit 2; }

# What building and measuring need, from Debian's packages; only the missing ones are installed.
packages=(cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins fonts-liberation2 xvfb
          libx11-dev libxcb1-dev libxdamage-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}" >&2
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo_cmd apt-get update -q >&2
    $sudo_cmd apt-get install -y -q -o DPkg::Lock::Timeout=900 --no-install-recommends \
        "${missing[@]}" >&2
fi

# Kalvor as it ships: Release, no tests.
if [ -n "${KALVOR_BIN:-}" ]; then
    kalvor=$KALVOR_BIN
else
    (cd "$root" && cmake --preset release -B "$build/kalvor") >&2
    cmake --build "$build/kalvor" --target kalvor >&2
    kalvor=$build/kalvor/app/kalvor
fi
[ -x "$kalvor" ] || { echo "$0: $kalvor is not an executable" >&2; exit 1; }
cmake -S "$root/bench/startup" -B "$build/harness" -G Ninja -DCMAKE_BUILD_TYPE=Release >&2
cmake --build "$build/harness" >&2
bare=$build/harness/bare_window
text=$build/harness/text_window
measure=$build/harness/measure

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
    fi
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# One server for every run. -noreset keeps it from resetting each time its last client leaves,
# which would make every run pay for a fresh server; -br gives a plain black screen, so an
# unpainted window is easy to tell from a painted one.
# shellcheck source=lib/xvfb.sh
source "$root/scripts/lib/xvfb.sh"
start_xvfb "$work" -noreset -br || exit 1
display=${DISPLAY#:}
# The same quiet, private environment for every program.
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb
unset QT_DEBUG_PLUGINS QT_LOGGING_RULES QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS

one_run() { # name binary file -> appends the meter's line to file; the log to $work/name.log
    local out=$3
    if ! "$measure" --settle-ms "$settle" -- "$2" >>"$out" 2>>"$work/$1.log"; then
        echo "$0: measuring $1 failed:" >&2
        cat "$work/$1.log" >&2
        exit 1
    fi
}

programs=(text kalvor bare)
declare -A binary=([text]=$text [kalvor]=$kalvor [bare]=$bare)
declare -A title=([text]="Text 2.2" [kalvor]="Kalvor 2.2" [bare]="Bare 2.2")
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
echo "Measuring $runs runs of each (after $warmup warm-up runs each) on $DISPLAY ..." >&2
for ((i = 1; i <= warmup + runs; i++)); do
    suffix=txt
    [ "$i" -le "$warmup" ] && suffix=warm
    # Each round starts with the next program, so each goes first, second and third alike.
    for ((k = 0; k < ${#programs[@]}; k++)); do
        name=${programs[$(((i + k) % ${#programs[@]}))]}
        one_run "$name" "${binary[$name]}" "$work/$name.$suffix"
    done
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# Check that each program showed the window it should have: a stray window would be timed
# instead without anyone noticing.
for name in "${programs[@]}"; do
    if grep -q -v "title=\"${title[$name]}\"" "$work/$name.txt"; then
        echo "$0: $name: wrong window" >&2
        exit 1
    fi
done

field() { # file key -> one value a line
    grep -o "\b$2=[0-9-]*" "$1" | cut -d= -f2
}
median() { # values on stdin -> their median
    sort -n | awk '{ v[NR] = $1 } END {
        if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
row() { # label key divisor decimals target
    local t k b
    t=$(field "$work/text.txt" "$2" | median)
    k=$(field "$work/kalvor.txt" "$2" | median)
    b=$(field "$work/bare.txt" "$2" | median)
    awk -v label="$1" -v t="$t" -v k="$k" -v b="$b" -v d="$3" -v p="$4" -v target="$5" 'BEGIN {
        ratio = k / t
        verdict = target == "" ? "" : (ratio <= target ? "≤ " target "×: met" : "≤ " target "×: missed")
        printf "| %s | %.*f | %.*f | %.2f× | %s | %.*f | %.2f× |\n", label, p, t / d, p, k / d,
               ratio, verdict, p, b / d, k / b }'
}

echo
echo "Start-up on Xvfb (1024×768×24), median of $runs runs each after $warmup warm-up runs, the"
echo "three programs alternating; $(nproc) cores, load average $load_before before, $load_after after."
echo
echo "| median | window with one line of text | Kalvor | Kalvor / text | target | empty window | Kalvor / empty |"
echo "|---|---:|---:|---:|---|---:|---:|"
row "exec → window mapped (ms)" mapped_us 1000 1 ""
row "exec → window painted (ms)" painted_us 1000 1 1.10
row "peak memory, VmHWM (MiB)" vmhwm_kb 1024 1 1.12
row "CPU time, all threads (ms)" cpu_us 1000 1 ""
echo
echo "Start-up is exec → painted; the targets are judged against the window with one line of text."
echo "Mapped is for reference only: the small windows do part of Qt's first-show work after their"
echo "window is mapped, Kalvor before. CPU time is the least disturbed by other work on the machine;"
echo "the wall-clock figures are not, so mind the load average."
