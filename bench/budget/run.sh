#!/usr/bin/env bash
# tavrel-gif --max-size against the best file each peer makes within the same size, on the
# five photo530 pictures (530 x 530 frames, 0.8 s each), at 150 kB, 300 kB and 600 kB.
#   bench/budget/run.sh [BUILD_DIR [TESTDATA_DIR]]     (or PICTURES=... for other pictures)
# Each peer searches its own knob for the largest file that fits (the best it can do there):
#   gifski -Q 1..100; gifsicle -O3 --lossy=N with --colors 256, 128, 64 and 32 (its input is
#   ImageMagick's 256-colour GIF of the pictures); ImageMagick -colors 2..256 with and
#   without dithering.
# Then every file that fits is judged by frame-quality: mean BA3 and mean SSIMULACRA, lower
# is better. Goals: ours at most the budget and at least 90% of it (or the --quality high
# file when that is smaller), both means below the lowest any peer reaches in that budget,
# and a --max-size run at most 2.5 times one --quality high run (hyperfine, same run).
# PEERS (default "gifski gifsicle magick-plain magick-dither") narrows the peers for a quicker
# run; BUDGETS (default "150000 300000 600000") the budgets.
# Needs ImageMagick, gifsicle, hyperfine, the frame-quality tool and gifski (on PATH, in
# GIFSKI or in /tmp/gifski: npm install gifski there); takes about ten minutes.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(realpath "${1:-$root/build}")
data=$(realpath "${2:-$root/../shared/testdata}")
quality_tool="$data/../tools/frame-quality"
cli="$build/app/tavrel-gif"
read -r -a budgets <<<"${BUDGETS:-150000 300000 600000}"
peers=" ${PEERS:-gifski gifsicle magick-plain magick-dither} "
read -r -a pictures <<<"${PICTURES:-$(echo "$data"/photo530/p{1,2,3,4,5}.png)}"

for program in convert gifsicle hyperfine; do
  command -v "$program" >/dev/null || { echo "$program is needed" >&2; exit 1; }
done
[ -x "$cli" ] || { echo "build tavrel-gif first ($cli)" >&2; exit 1; }
gifski=${GIFSKI:-$(command -v gifski || echo /tmp/gifski/node_modules/gifski/bin/debian/gifski)}
[ -x "$gifski" ] || { echo "gifski is needed (GIFSKI=...)" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
size() { stat -c %s "$1"; }

# Largest knob value in LOW..HIGH whose file fits: KNOB_TO_FILE writes $scratch/try.gif.
# Sizes grow with the knob (for gifsicle's lossiness, pass the knob negated).
best_fitting() { # BUDGET LOW HIGH COMMAND -> prints the knob, or nothing when none fits
  local budget=$1 low=$2 high=$3 command=$4 middle
  "$command" "$low"
  [ "$(size "$scratch/try.gif")" -le "$budget" ] || return 0
  while [ $((high - low)) -gt 1 ]; do
    middle=$(((low + high) / 2))
    "$command" "$middle"
    if [ "$(size "$scratch/try.gif")" -le "$budget" ]; then low=$middle; else high=$middle; fi
  done
  "$command" "$high"
  if [ "$(size "$scratch/try.gif")" -le "$budget" ]; then echo "$high"; else echo "$low"; fi
}

convert -delay 80 -loop 0 "${pictures[@]}" "$scratch/input.gif"
gifski_at() { "$gifski" -q -Q "$1" --fps 1.25 -W 530 -H 530 -o "$scratch/try.gif" "${pictures[@]}"; }
gifsicle_at() { # the knob is -lossiness
  gifsicle -O3 --lossy=$((-$1)) --colors "$colours" "$scratch/input.gif" -o "$scratch/try.gif"
}
magick_plain_at() { convert -delay 80 -loop 0 "${pictures[@]}" +dither -colors "$1" "$scratch/try.gif"; }
magick_dither_at() { convert -delay 80 -loop 0 "${pictures[@]}" -dither FloydSteinberg -colors "$1" "$scratch/try.gif"; }

judge() { # NAME GIF -> one row
  local line
  line=$("$quality_tool" "$2" "${pictures[@]}" | tail -1)
  awk -v name="$1" -v bytes="$(size "$2")" '{ printf "  %-28s %10d  %7.3f  %8.4f\n", name, bytes, $3, $6 }' <<<"$line"
}

"$cli" --quality high -o "$scratch/high.gif" "${pictures[@]}"
echo "--quality high alone: $(size "$scratch/high.gif") bytes"
for budget in "${budgets[@]}"; do
  echo
  echo "budget $budget bytes          file bytes      BA3  SSIMULACRA"
  "$cli" --max-size "$budget" -o "$scratch/ours.gif" "${pictures[@]}"
  ours=$(size "$scratch/ours.gif")
  judge "tavrel-gif --max-size" "$scratch/ours.gif"
  if [ "$ours" -gt "$budget" ]; then echo "  FAIL: over the budget"; fi
  if [ "$ours" -lt $((budget * 9 / 10)) ] && ! cmp -s "$scratch/ours.gif" "$scratch/high.gif"; then
    echo "  FAIL: below 90% of the budget"
  fi
  if [[ $peers == *" gifski "* ]]; then
    knob=$(best_fitting "$budget" 1 100 gifski_at)
    if [ -n "$knob" ]; then gifski_at "$knob"; judge "gifski -Q $knob" "$scratch/try.gif"; fi
  fi
  if [[ $peers == *" gifsicle "* ]]; then
    for colours in 256 128 64 32; do
      knob=$(best_fitting "$budget" -400 0 gifsicle_at)
      if [ -n "$knob" ]; then
        gifsicle_at "$knob"; judge "gifsicle --colors $colours --lossy=$((-knob))" "$scratch/try.gif"
      fi
    done
  fi
  if [[ $peers == *" magick-plain "* ]]; then
    knob=$(best_fitting "$budget" 2 256 magick_plain_at)
    if [ -n "$knob" ]; then magick_plain_at "$knob"; judge "ImageMagick +dither -colors $knob" "$scratch/try.gif"; fi
  fi
  if [[ $peers == *" magick-dither "* ]]; then
    knob=$(best_fitting "$budget" 2 256 magick_dither_at)
    if [ -n "$knob" ]; then magick_dither_at "$knob"; judge "ImageMagick dither -colors $knob" "$scratch/try.gif"; fi
  fi
done

echo
quoted=$(printf '%q ' "${pictures[@]}")
hyperfine --warmup 1 --runs "${RUNS:-5}" -N \
  "$cli --quality high -o $scratch/t-high.gif $quoted" \
  "$cli --max-size 300k -o $scratch/t-300k.gif $quoted" \
  "$cli --max-size 150k -o $scratch/t-150k.gif $quoted"
