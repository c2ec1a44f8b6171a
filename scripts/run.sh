#!/usr/bin/env bash
# Builds Kalvor and starts it. Without a display it starts it on a virtual display instead,
# saves a screenshot in the build folder, says where, and ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"

"$root/scripts/setup.sh" build
cd "$root"
cmake --preset release
cmake --build --preset release

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$build/app/kalvor"
fi
echo "No display: starting Kalvor on a virtual display for a screenshot."
"$root/scripts/screenshot.sh" "$build/app/kalvor" "$build/kalvor.png" >/dev/null
echo "Screenshot saved: $build/kalvor.png"
