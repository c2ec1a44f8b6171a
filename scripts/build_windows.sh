#!/usr/bin/env bash
# Builds the Windows program and its installer on Debian, with MinGW-w64 and NSIS:
#   build-windows/kalvor.exe                  one static program, no DLL beside it
#   build-windows/kalvor-2.2.0-setup.exe      the installer (Italian; /S for a silent install)
#   build-windows/tests/...                   the unit tests and the window test, run by
#                                             scripts/test_windows.sh under Wine
# Installs the cross tools first when they are missing. Extra arguments go to CMake's
# configure step of the preset "windows" (scripts/test.sh passes
# -DCMAKE_COMPILE_WARNING_AS_ERROR=ON).
# Usage: scripts/build_windows.sh [CMAKE-OPTION...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-windows

"$root/scripts/setup.sh" windows

cd "$root"
cmake --preset windows "$@"
cmake --build --preset windows -j "$(nproc)"

for file in kalvor.exe "kalvor-$(sed -n 's/^project(Kalvor VERSION \([0-9.]*\).*/\1/p' \
    "$root/CMakeLists.txt")-setup.exe"; do
    [ -f "$build/$file" ] || { echo "$0: $build/$file was not built" >&2; exit 1; }
    printf '%-28s %9d bytes\n' "build-windows/$file" "$(stat -c %s "$build/$file")"
done
