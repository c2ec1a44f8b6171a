#!/usr/bin/env bash
# Builds Kalvor and runs every test: once as built, once under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

"$root/scripts/setup.sh" test

cmake -S "$root" -B "$root/build-test" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALVOR_WERROR=ON
cmake --build "$root/build-test" -j "$jobs"
(cd "$root/build-test" && ctest --output-on-failure -j "$jobs")

cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKALVOR_WERROR=ON \
      -DKALVOR_SANITIZE=ON
cmake --build "$root/build-asan" -j "$jobs"
(cd "$root/build-asan" && ctest --output-on-failure -j "$jobs")
