#!/usr/bin/env bash
# Times tavrel-gif against ImageMagick doing the same job in the same hyperfine run: five
# 1920 x 1080 JPEG photos to one looping GIF of 530 x 530 frames, 0.8 s each, at most 256
# colours, no dithering. The target is tavrel-gif at least 5 times faster.
#   bench/cli/compare-imagemagick.sh [TAVREL_GIF [TESTDATA_DIR]]
# TAVREL_GIF defaults to build/app/tavrel-gif, TESTDATA_DIR to ../shared/testdata.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
tool=$(realpath "${1:-$root/build/app/tavrel-gif}")
data=$(realpath "${2:-$root/../shared/testdata}")

for program in hyperfine convert python3; do
  command -v "$program" >/dev/null || { echo "$program is needed" >&2; exit 1; }
done
[ -x "$tool" ] || { echo "no tavrel-gif at $tool (build it first)" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

photos=""
for n in 1 2 3 4 5; do photos+=" $(printf '%q' "$data/photo1080/p$n.jpg")"; done
ours="$(printf '%q' "$tool") -o $scratch/tavrel.gif$photos"
theirs="convert -delay 80 -loop 0$photos -resize '530x530!' -colors 256 +dither $scratch/magick.gif"

hyperfine --warmup 2 --runs "${RUNS:-10}" --export-json "$scratch/times.json" \
  -n tavrel-gif "$ours" -n imagemagick "$theirs"

python3 - "$scratch/times.json" <<'PY'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
ours, theirs = results["tavrel-gif"]["mean"], results["imagemagick"]["mean"]
ratio = theirs / ours
print(f"tavrel-gif {ours * 1000:.0f} ms, ImageMagick {theirs * 1000:.0f} ms: "
      f"tavrel-gif is {ratio:.1f} times faster (target: at least 5)")
sys.exit(0 if ratio >= 5 else 1)
PY
