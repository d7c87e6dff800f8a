#!/usr/bin/env bash
# Checks that every C++ file is in the layout of .clang-format (exit 1 and the
# differences when one is not); with --fix, puts them into it.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(find src tools launcher tests bench fuzz -name '*.cpp' -o -name '*.h' | sort)
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
else
    clang-format --dry-run --Werror "${files[@]}"
fi
