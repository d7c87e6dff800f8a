#!/usr/bin/env bash
# Installs what is missing, builds the editor and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
kz_install_missing "${KZ_BUILD_PACKAGES[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKZ_BUILD_TESTS=OFF -DKZ_BUILD_BENCH=OFF
cmake --build build -j "$(nproc)"
exec build/bin/kazanoro
