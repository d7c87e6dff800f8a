#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer (warnings are errors), and runs every test: unit
# and offscreen GUI tests, the command-line checks and a short run of each
# fuzzer over its corpus. Fails first when a C++ file is not in the
# formatter's layout.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
kz_install_missing "${KZ_BUILD_PACKAGES[@]}" "${KZ_TEST_PACKAGES[@]}"
jobs=$(nproc)

# Every C++ file in the layout of .clang-format, before anything is built.
bash scripts/format.sh

fuzz_dir=""
if command -v clang++ >/dev/null 2>&1; then
    cmake -S . -B build-fuzz -G Ninja -DKZ_FUZZ_ONLY=ON -DCMAKE_CXX_COMPILER=clang++
    cmake --build build-fuzz -j "$jobs"
    fuzz_dir="$PWD/build-fuzz"
else
    echo "clang++ not found: the fuzz smoke runs are left out"
fi

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKZ_SANITIZE=ON -DKZ_WERROR=ON \
    -DKZ_FUZZ_DIR="$fuzz_dir"
cmake --build build-test -j "$jobs"
ctest --test-dir build-test --output-on-failure -j "$jobs"
