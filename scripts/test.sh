#!/usr/bin/env bash
# Builds Kalvor and runs every test:
#   1. the unit and window tests, warnings as errors;
#   2. the same tests under AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. the fuzz target for about a minute, under the same sanitizers (clang's libFuzzer),
#      comparing every answer with an independent reference; its coverage must reach a floor;
#   4. 100000 presses of CALCOLA in a Release build under LeakSanitizer, printing the memory;
#   5. the real window on a virtual display: the window at start compared pixel for pixel with
#      the committed screenshot, then driven with the keyboard and read back through
#      accessibility;
#   6. the committed pictures, drawn again by scripts/make_pictures.py;
#   7. the Debian package, built twice from two clones and compared byte for byte, with lintian
#      and hardening-check;
#   8. what Kalvor delivers: desktop file, metainfo, Windows resources, the Debian package
#      installed with apt, started and removed.
#   9. the Windows program and its installer, built with MinGW-w64 and tested under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
fuzz_seconds=${KALVOR_FUZZ_SECONDS:-60}

"$root/scripts/setup.sh" test

stage() { printf '\n=== %s\n' "$*"; }

stage "build and test"
cd "$root"
cmake --preset test
cmake --build --preset test -j "$jobs"
ctest --preset test -j "$jobs"

stage "build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

stage "fuzz the number services and CALCOLA against the reference for ${fuzz_seconds} s"
cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs"
# New finds go to a scratch folder; the committed corpus is only read. libFuzzer replays the
# corpus first, then fuzzes; the edges it covers must not fall below the committed floor.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
if ! "$root/build-fuzz/tests/fuzz/fuzz_calcola" -max_total_time="$fuzz_seconds" \
        -artifact_prefix="$root/build-fuzz/" "$scratch" "$root/tests/fuzz/corpus" \
        >"$scratch/fuzz.log" 2>&1; then
    cat "$scratch/fuzz.log"
    echo "The fuzz target failed; the input that broke it is in $root/build-fuzz/crash-*." >&2
    exit 1
fi
tail -n 2 "$scratch/fuzz.log"
replayed=$(grep -m1 'INITED cov:' "$scratch/fuzz.log" | sed 's/.*cov: \([0-9]*\).*/\1/')
edges=$(grep 'cov:' "$scratch/fuzz.log" | tail -n 1 | sed 's/.*cov: \([0-9]*\).*/\1/')
floor=$(cat "$root/tests/fuzz/edge_floor")
echo "edges covered: ${replayed} replaying the corpus, ${edges} after fuzzing; floor ${floor}"
if [ "$edges" -lt "$floor" ]; then
    echo "Coverage fell below the floor in tests/fuzz/edge_floor." >&2
    exit 1
fi

stage "soak: 100000 presses of CALCOLA in the Release build under LeakSanitizer"
cmake --preset soak
cmake --build --preset soak -j "$jobs"
"$root/build-soak/tests/soak_window" 100000

stage "the real window at start and after a calculation, pixel for pixel, also under GTK dark"
"$root/scripts/check_window_pixels.sh" "$root/build-test/app/kalvor"

stage "the real window, driven from outside and read through accessibility"
"$root/scripts/check_real_window.sh" "$root/build-test/app/kalvor"

stage "the pictures: scripts/make_pictures.py draws the committed files"
"$root/scripts/check_pictures.sh"

stage "the Debian package: built twice and compared, lintian, hardening-check"
"$root/scripts/check_debian_package.sh" "$root/build-deb"

stage "delivery: desktop file, metainfo, Windows resources, Debian package"
"$root/scripts/check_packaging.sh" "$root/build-test" "$root/build-deb"

stage "the Windows program and its installer: built with MinGW-w64, tested under Wine"
"$root/scripts/build_windows.sh" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
"$root/scripts/test_windows.sh" "$root/build-windows"
