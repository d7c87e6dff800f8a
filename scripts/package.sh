#!/usr/bin/env bash
# Builds the Debian package: installs what is missing, builds Release with the
# launcher for the CD, runs cpack, and prints the .deb's path.
#
#   scripts/package.sh [BUILD_DIR]      (default: build-package)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
kz_install_missing "${KZ_BUILD_PACKAGES[@]}" "${KZ_PACKAGE_PACKAGES[@]}"

build=${1:-build-package}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKZ_BUILD_TESTS=OFF \
    -DKZ_BUILD_BENCH=OFF -DKZ_BUILD_LAUNCHER=ON >/dev/null
cmake --build "$build" -j "$(nproc)"
# A package without the launcher would save CDs that do not start.
[ -f "$build/bin/AutoRun.exe" ] || {
    echo "package.sh: $build/bin/AutoRun.exe was not built (mingw-w64 missing?)" >&2
    exit 1
}
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/kazanoro_*.deb | head -n 1)
realpath "$deb"
