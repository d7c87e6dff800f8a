#!/usr/bin/env bash
# How long a disc image of a CD folder takes: kazanoro-cli iso side by side
# with xorriso writing the same folder with Joliet and Rock Ridge, and cp -r
# of the folder as the floor (every byte read and written once). Run by hand,
# on a Release build:
#
#   bench/bench_disc_image.sh build/bin/kazanoro-cli [MEGABYTES] [RUNS]
#
# The folder (200 MB by default: a 120 MB file, and 400 files of 200 KB with
# Japanese names in 20 subfolders) and everything written go to a temporary
# folder beside the current one, removed at the end. Each command runs RUNS
# times (3) after one warm-up, its written data reaching the disk (sync)
# before the clock stops; the best time counts.
set -euo pipefail
cli=$(realpath "$1")
megabytes=${2-200}
runs=${3-3}
command -v xorriso >/dev/null || {
    echo "xorriso is not installed" >&2
    exit 1
}

work=$(mktemp -d "$PWD/bench-disc-image.XXXXXX")
trap 'rm -rf "$work"' EXIT
src="$work/CD"
mkdir -p "$src"
small=$((megabytes * 2 / 5 * 1024 / 200)) # files of 200 KB, 2/5 of the whole
head -c $((megabytes * 3 / 5))M /dev/urandom >"$src/大きな資料.bin"
for d in $(seq 1 20); do
    mkdir -p "$src/フォルダ$d"
    for f in $(seq 1 $((small / 20))); do
        head -c 200K /dev/urandom >"$src/フォルダ$d/ファイル$f.dat"
    done
done
printf '[autorun]\r\nOPEN=AutoRun.exe\r\n' >"$src/Autorun.inf"
echo "folder: $(du -sh "$src" | cut -f1), $(find "$src" -type f | wc -l) files"

# best_of NAME COMMAND...: runs the command after removing $work/out, prints
# the best wall time in seconds.
best_of() {
    local name=$1 best="" t0 t1 elapsed
    shift
    for i in $(seq 0 "$runs"); do
        rm -rf "$work/out"
        mkdir "$work/out"
        sync
        t0=$(date +%s.%N)
        "$@" >/dev/null 2>&1
        sync
        t1=$(date +%s.%N)
        elapsed=$(awk "BEGIN { print $t1 - $t0 }")
        # Run 0 warms the caches and does not count.
        if [ "$i" -gt 0 ] && { [ -z "$best" ] || awk "BEGIN { exit !($elapsed < $best) }"; }; then
            best=$elapsed
        fi
    done
    awk -v n="$name" -v t="$best" -v mb="$megabytes" \
        'BEGIN { printf "%-14s %6.2f s  %6.0f MB/s\n", n, t, mb / t }'
}

best_of "kazanoro-cli" "$cli" iso "$src" "$work/out/cd.iso" --label BENCH
best_of "xorriso" xorriso -as mkisofs -J -R -V BENCH -o "$work/out/cd.iso" "$src"
best_of "cp -r" cp -r "$src" "$work/out/copy"
