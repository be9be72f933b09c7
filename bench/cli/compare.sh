#!/usr/bin/env bash
# tavrel-gif against its peers and the decode floor, all ratios from one run:
#  1. five 1920 x 1080 JPEGs: tavrel-gif vs ImageMagick (target: at least 8 times faster)
#     and vs djpeg decoding the same five to /dev/null (target: at most 1.6 times);
#  2. five 7680 x 4320 JPEGs (quality 90, made here from the 1080 set): tavrel-gif vs
#     ffmpeg doing the same job (target: faster), tavrel-gif's peak memory (<= 300 MB);
#  3. 25 and 100 pictures of 1920 x 1080: time linear in the count, peak memory <= 80 MB.
#   bench/cli/compare.sh [TAVREL_GIF [TESTDATA_DIR]]      (RUNS=10 by default)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
tool=$(realpath "${1:-$root/build/app/tavrel-gif}")
data=$(realpath "${2:-$root/../shared/testdata}")
runs=${RUNS:-10}
for program in hyperfine convert djpeg ffmpeg python3 /usr/bin/time; do
  command -v "$program" >/dev/null || { echo "$program is needed" >&2; exit 1; }
done
[ -x "$tool" ] || { echo "no tavrel-gif at $tool (build it first)" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

photos=()
for n in 1 2 3 4 5; do photos+=("$data/photo1080/p$n.jpg"); done
quoted=$(printf ' %q' "${photos[@]}")

echo "== five 1920 x 1080 JPEGs"
hyperfine --warmup 2 --runs "$runs" --export-json "$scratch/small.json" \
  -n tavrel-gif "$tool -o $scratch/t.gif$quoted" \
  -n imagemagick "convert -delay 80 -loop 0$quoted -resize '530x530!' +dither -colors 256 $scratch/m.gif" \
  -n djpeg "for f in$quoted; do djpeg \"\$f\" >/dev/null; done"

echo "== five 7680 x 4320 JPEGs (quality 90)"
for n in 1 2 3 4 5; do
  convert "$data/photo1080/p$n.jpg" -resize '7680x4320!' -quality 90 "$scratch/f$n.jpg"
done
big=$(printf " $scratch/f%d.jpg" 1 2 3 4 5)
hyperfine --warmup 1 --runs "$(( (runs + 1) / 2 ))" --export-json "$scratch/big.json" \
  -n tavrel-gif "$tool -o $scratch/tb.gif$big" \
  -n ffmpeg "ffmpeg -loglevel error -y -framerate 1.25 -i $scratch/f%d.jpg -vf 'scale=530:530:flags=area,split[a][b];[a]palettegen=stats_mode=single[p];[b][p]paletteuse=new=1:dither=none' -loop 0 $scratch/fb.gif"

peak() {  # peak resident memory in MB of the shell command given
  /usr/bin/time -f %M sh -c "exec $1" 2>"$scratch/rss" >/dev/null
  echo $(( ($(tail -1 "$scratch/rss") + 1023) / 1024 ))
}
many() { for _ in $(seq $(( $1 / 5 ))); do printf '%s' "$quoted"; done; }
echo "== peak memory"
echo "tavrel-gif, five 7680 x 4320: $(peak "$tool -o $scratch/tb.gif$big") MB (target <= 300)"
for count in 25 100; do
  echo "tavrel-gif, $count x 1920 x 1080: $(peak "$tool -o $scratch/n.gif$(many $count)") MB (target <= 80)"
done
hyperfine --warmup 1 --runs "$(( (runs + 1) / 2 ))" --export-json "$scratch/many.json" \
  -n 25 "$tool -o $scratch/n.gif$(many 25)" -n 100 "$tool -o $scratch/n.gif$(many 100)"

python3 - "$scratch" <<'PY'
import json, sys
def means(name):
    return {r["command"]: r["mean"] for r in json.load(open(f"{sys.argv[1]}/{name}.json"))["results"]}
s, b, m = means("small"), means("big"), means("many")
print(f"five 1080p: tavrel-gif {s['tavrel-gif']*1000:.0f} ms, ImageMagick {s['imagemagick']*1000:.0f} ms "
      f"({s['imagemagick']/s['tavrel-gif']:.1f}x faster, target >= 8), djpeg {s['djpeg']*1000:.0f} ms "
      f"(tavrel-gif = {s['tavrel-gif']/s['djpeg']:.2f}x djpeg, target <= 1.6)")
print(f"five 4320p: tavrel-gif {b['tavrel-gif']*1000:.0f} ms, ffmpeg {b['ffmpeg']*1000:.0f} ms "
      f"({b['ffmpeg']/b['tavrel-gif']:.2f}x faster, target > 1)")
print(f"25 pictures {m['25']*1000:.0f} ms, 100 pictures {m['100']*1000:.0f} ms "
      f"(ratio {m['100']/m['25']:.2f}, linear = 4)")
PY
