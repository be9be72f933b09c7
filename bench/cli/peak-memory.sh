#!/usr/bin/env bash
# Peak memory of tavrel-gif for 20 pictures of 1920 x 1080 (the five test photos four
# times over): the maximum resident set size that /usr/bin/time reports. Target: under
# 100 MB, which holds only when the pictures are taken one at a time.
#   bench/cli/peak-memory.sh [TAVREL_GIF [TESTDATA_DIR]]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
tool=$(realpath "${1:-$root/build/app/tavrel-gif}")
data=$(realpath "${2:-$root/../shared/testdata}")
[ -x "$tool" ] || { echo "no tavrel-gif at $tool (build it first)" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

photos=()
for _ in 1 2 3 4; do
  for n in 1 2 3 4 5; do photos+=("$data/photo1080/p$n.jpg"); done
done

/usr/bin/time -v "$tool" -o "$scratch/twenty.gif" "${photos[@]}" 2>"$scratch/time.txt"
kilobytes=$(sed -n 's/^\s*Maximum resident set size (kbytes): //p' "$scratch/time.txt")
elapsed=$(sed -n 's/^\s*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$scratch/time.txt")
megabytes=$(( (kilobytes + 1023) / 1024 ))
echo "tavrel-gif, ${#photos[@]} pictures of 1920 x 1080: peak resident memory ${megabytes} MB" \
  "(${kilobytes} kB), ${elapsed} wall clock; target under 100 MB"
[ "$kilobytes" -lt $((100 * 1000 * 1000 / 1024)) ]
