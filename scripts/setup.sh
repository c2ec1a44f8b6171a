#!/usr/bin/env bash
# Installs what Kalvor needs from Debian's packages, skipping what is already there.
# Usage: scripts/setup.sh [build|test|windows]
#   build    what builds and starts the Linux program
#   test     that, and what every test needs (the Windows stage included)
#   windows  only the cross tools that build the Windows program and its installer
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins qt6-translations-l10n libqt6test6 fonts-liberation2
          libfontconfig-dev libgtest-dev libbenchmark-dev xvfb xauth xdotool imagemagick)
# The tests' independent reference computes with exact rationals and MPFR.
packages+=(libgmp-dev libmpfr-dev)
if [ "${1:-build}" = test ]; then
    packages+=(clang libclang-rt-14-dev at-spi2-core dbus dbus-x11 python3 python3-gi gir1.2-atspi-2.0
               desktop-file-utils appstream binutils-mingw-w64-x86-64 file dpkg-dev
               qt6-gtk-platformtheme
               git debhelper lintian devscripts)
fi
windows=(cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 nsis googletest)
if [ "${1:-build}" = test ]; then
    # The Windows program, its tests under Wine and its installer.
    packages+=("${windows[@]}" wine wine64)
elif [ "${1:-build}" = windows ]; then
    packages=("${windows[@]}")
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo_cmd apt-get update -q
    $sudo_cmd apt-get install -y -q -o DPkg::Lock::Timeout=900 "${missing[@]}"
fi
