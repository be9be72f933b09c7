#!/usr/bin/env bash
# Crossfades against gifski: size, speed and fidelity of a looping slide show with fades.
#   bench/fade/run.sh [BUILD_DIR [TESTDATA_DIR]]
# The five photo530 pictures, each held 0.8 s and then faded into the next in 0.5 s (the last
# into the first). Ours: tavrel-gif --quality high --fade 50. gifski -Q 90 gets the very same
# animation as PNG frames at 20 per second: each picture repeated for its 0.8 s (gifski merges
# the repeats) and the 10 blended frames of each fade, made independently of our code by
# ImageMagick with the rule round((1 - w) a + w b), w = i / 11.
# Fidelity: each GIF is composed frame by frame (ImageMagick -coalesce); every 5 hundredths
# of a second of the loop compares the frame shown then with the frame that should be shown;
# BA3 (butteraugli 3-norm) and SSIMULACRA are averaged over the loop's time (lower is better).
# Goals: bytes at most half of gifski's, both means at most gifski's, at least 5 times faster.
# Needs ImageMagick, hyperfine, butteraugli_main and ssimulacra_main (libjxl-devtools) and
# gifski (GIFSKI, on PATH or in /tmp/gifski). RUNS sets hyperfine's runs (default 3).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(realpath "${1:-$root/build}")
data=$(realpath "${2:-$root/../shared/testdata}")
runs=${RUNS:-3}
for program in convert identify hyperfine butteraugli_main ssimulacra_main; do
  command -v "$program" >/dev/null || { echo "$program is needed" >&2; exit 1; }
done
gifski=${GIFSKI:-$(command -v gifski || echo /tmp/gifski/node_modules/gifski/bin/debian/gifski)}
[ -x "$gifski" ] || { echo "gifski is needed (GIFSKI=path)" >&2; exit 1; }
cli="$build/app/tavrel-gif"
[ -x "$cli" ] || { echo "build tavrel-gif first" >&2; exit 1; }

held=80 fade=50 step=5
steps=$(( (fade + step / 2) / step ))
slots_held=$(( held / step ))
pictures=("$data"/photo530/p{1,2,3,4,5}.png)
count=${#pictures[@]}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/expected" "$scratch/frames"

# The expected frames, one per 5 hundredths of a second of the loop: slot_<n>.png.
slot=0
for ((p = 0; p < count; ++p)); do
  from=${pictures[p]} to=${pictures[(p + 1) % count]}
  convert "$from" -alpha off -depth 8 PNG24:"$scratch/expected/held_$p.png"
  for ((s = 0; s < slots_held; ++s, ++slot)); do
    ln -s "held_$p.png" "$scratch/expected/slot_$(printf %03d $slot).png"
  done
  for ((i = 1; i <= steps; ++i, ++slot)); do
    convert "$from" "$to" -alpha off \
      -fx "floor((u * 255 * ($steps + 1 - $i) + v * 255 * $i) / ($steps + 1) + 0.5) / 255" \
      -depth 8 PNG24:"$scratch/expected/slot_$(printf %03d $slot).png" &
    ((i % 2)) || wait  # two at a time
  done
done
wait
slots=$slot
for ((n = 0; n < slots; ++n)); do
  cp "$scratch/expected/slot_$(printf %03d $n).png" "$scratch/frames/$(printf %03d $n).png"
done

hyperfine --runs "$runs" --warmup 1 --export-json "$scratch/times.json" \
  -n tavrel-gif "$(printf '%q ' "$cli" --quality high --fade "$fade" -o "$scratch/ours.gif" "${pictures[@]}")" \
  -n gifski "$(printf '%q ' "$gifski" -q -Q 90 --fps 20 -W 530 -H 530 -o "$scratch/gifski.gif" "$scratch"/frames/*.png)" >&2

# Time-weighted mean BA3 and SSIMULACRA of one GIF against the expected slots.
weighted_quality() {
  local gif=$1 dir="$scratch/$(basename "$1" .gif)"
  mkdir -p "$dir"
  convert "$gif" -coalesce PNG24:"$dir/f%d.png"
  mapfile -t delays < <(identify -format '%T\n' "$gif")
  local total=0 frame=0 end=${delays[0]} pairs=()
  for d in "${delays[@]}"; do total=$((total + d)); done
  [ "$total" -eq $((slots * step)) ] || echo "$gif: the loop lasts $total, not $((slots * step)) hundredths" >&2
  # The frame shown in the middle of each slot, paired with the slot's expected frame.
  for ((n = 0; n < slots; ++n)); do
    local middle=$((n * step * 2 + step))  # in half hundredths
    while ((middle >= 2 * end && frame + 1 < ${#delays[@]})); do
      frame=$((frame + 1)); end=$((end + delays[frame]))
    done
    pairs+=("$frame $(readlink -f "$scratch/expected/slot_$(printf %03d $n).png")")
  done
  printf '%s\n' "${pairs[@]}" | sort | uniq -c | while read -r weight f ref; do
    echo "$weight $dir/f$f.png $ref"
  done | xargs -P 2 -L 1 bash -c '
    ba=$(butteraugli_main "$2" "$1" 2>/dev/null | sed -n "s/^3-norm: //p")
    sm=$(ssimulacra_main "$2" "$1" 2>/dev/null | tail -1)
    echo "$0 $ba $sm"' >"$dir/scores"
  awk -v name="$(basename "$gif" .gif)" -v bytes="$(stat -c %s "$gif")" -v frames="${#delays[@]}" '
    { w += $1; ba += $1 * $2; sm += $1 * $3 }
    END { printf "%-10s %10d bytes %4d frames  BA3 %.3f  SSIMULACRA %.4f\n", name, bytes, frames, ba / w, sm / w }' \
    "$dir/scores"
}

weighted_quality "$scratch/ours.gif"
weighted_quality "$scratch/gifski.gif"
python3 - "$scratch/times.json" <<'PY'
import json, sys
r = {x["command"]: x["mean"] for x in json.load(open(sys.argv[1]))["results"]}
print(f"time: tavrel-gif {r['tavrel-gif']:.3f} s, gifski {r['gifski']:.3f} s, {r['gifski'] / r['tavrel-gif']:.1f}x faster")
PY
