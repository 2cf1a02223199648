#!/usr/bin/env bash
# Installs what the build needs (Debian 12) and builds Marlox into build/:
# everything, or only the targets named (scripts/setup.sh marlox).
# Safe to run again: it installs only what is missing and rebuilds only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build clang-format
    qt6-base-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n qt6-qpa-plugins
    libicu-dev fonts-dejavu-core libbenchmark-dev clang-14 libclang-rt-14-dev
    xvfb xauth xdotool x11-utils util-linux iproute2
    desktop-file-utils appstream mandoc lintian dpkg-dev)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ ! -f build/build.ninja ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARLOX_BUILD_BENCH=ON
fi
# Warnings are errors, in a build/ made before this line too.
grep -q '^CMAKE_COMPILE_WARNING_AS_ERROR:BOOL=ON' build/CMakeCache.txt ||
    cmake -S . -B build -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
if (($#)); then
    cmake --build build --target "$@"
else
    cmake --build build
fi
