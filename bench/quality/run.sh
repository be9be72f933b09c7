#!/usr/bin/env bash
# Frame quality, size and speed of our frames against gifski and ImageMagick, on the five
# photo530 pictures (530 x 530 frames), and on the five 1920 x 1080 photos with --fit contain.
#   bench/quality/run.sh [BUILD_DIR [TESTDATA_DIR]]
# BUILD_DIR defaults to build, TESTDATA_DIR to ../shared/testdata. Ours is tavrel-gif when it
# has --quality, else bench_quality (the same frame maker). gifski is looked for on PATH, in
# GIFSKI, and in /tmp/gifski (npm install gifski there); without it the issue's figures for
# gifski 1.7.1 -Q 90 are printed instead. Needs ImageMagick, ffmpeg, hyperfine, python3.
# Goal for --quality high on photo530: mean blur-PSNR >= 42.0 dB, no frame more than 0.5 dB
# below gifski's, at most 640,000 bytes, at least 3 times faster than gifski in the same run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(realpath "${1:-$root/build}")
data=$(realpath "${2:-$root/../shared/testdata}")
quality_tool="$data/../tools/frame-quality"
runs=${RUNS:-5}

for program in convert ffmpeg hyperfine python3; do
  command -v "$program" >/dev/null || { echo "$program is needed" >&2; exit 1; }
done
gifski=${GIFSKI:-$(command -v gifski || echo /tmp/gifski/node_modules/gifski/bin/debian/gifski)}
[ -x "$gifski" ] || gifski=""

cli="$build/app/tavrel-gif"
if [ -x "$cli" ] && "$cli" --help 2>&1 | grep -q -- '--quality'; then
  ours() { # MODE FIT OUT PICTURES...
    local mode=$1 fit=$2 out=$3; shift 3
    local options=(--fit "$fit")
    [ "$mode" = dither ] && options+=(--dither)
    [ "$mode" = high ] && options+=(--quality high)
    printf '%q ' "$cli" "${options[@]}" -o "$out" "$@"
  }
else
  cli="$build/bench/bench_quality"
  [ -x "$cli" ] || { echo "build tavrel-gif or bench_quality first" >&2; exit 1; }
  ours() {
    local mode=$1 fit=$2 out=$3; shift 3
    printf '%q ' "$cli" --quality "$mode" --fit "$fit" "$out" "$@"
  }
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# One picture set: NAME FIT PICTURES... (the references are our own fitted frames).
run_set() {
  local name=$1 fit=$2; shift 2
  local dir="$scratch/$name"
  mkdir -p "$dir/ref"
  "$build/bench/bench_quality" --fit "$fit" --save-frames "$dir/ref" "$dir/ref.gif" "$@" >/dev/null
  local refs=("$dir"/ref/f{1,2,3,4,5}.png)
  local names=() commands=()
  for mode in plain dither high; do
    names+=("$mode"); commands+=("$(ours "$mode" "$fit" "$dir/$mode.gif" "$@")")
  done
  # The peers get the fitted frames, so that they do the same job from there.
  if [ -n "$gifski" ]; then
    names+=(gifski); commands+=("$(printf '%q ' "$gifski" -q -Q 90 -W 530 -H 530 -o "$dir/gifski.gif" "${refs[@]}")")
  fi
  names+=(imagemagick)
  commands+=("$(printf '%q ' convert -delay 80 -loop 0 "${refs[@]}" +dither -colors 256 "$dir/imagemagick.gif")")

  local hyper=()
  for i in "${!names[@]}"; do hyper+=(-n "${names[$i]}" "${commands[$i]}"); done
  hyperfine -N --warmup 1 --runs "$runs" --export-json "$dir/times.json" "${hyper[@]}" >/dev/null
  for n in "${names[@]}"; do
    "$quality_tool" "$dir/$n.gif" "${refs[@]}" > "$dir/$n.quality"
  done
  python3 - "$dir" "$name" "${names[@]}" <<'PY'
import json, re, sys
d, title, names = sys.argv[1], sys.argv[2], sys.argv[3:]
times = {r["command"]: r["mean"] for r in json.load(open(f"{d}/times.json"))["results"]}
rows = {}
for n in names:
    text = open(f"{d}/{n}.quality").read()
    frames = [float(x) for x in re.findall(r"blur-PSNR ([0-9.]+)  PSNR", text)]
    mean, size = re.search(r"mean blur-PSNR ([0-9.]+) over \d+ frames, (\d+) bytes", text).groups()
    rows[n] = (float(mean), frames, int(size), times[n])
if "gifski" not in rows:
    rows["gifski (issue's figures)"] = (41.71, [40.04, 36.16, 50.98, 41.81, 39.55], 639995, 0.550)
labels = {"plain": "tavrel-gif (default)", "dither": "tavrel-gif --dither",
          "high": "tavrel-gif --quality high", "imagemagick": "ImageMagick, no dither"}
print(f"\n{title}\n| tool | mean blur-PSNR (dB) | per frame | bytes | time |\n|---|---|---|---|---|")
for n, (mean, frames, size, t) in rows.items():
    print(f"| {labels.get(n, n)} | {mean:.2f} | {' '.join(f'{f:.2f}' for f in frames)} | {size:,} | {t*1000:.0f} ms |")
if title.startswith("photo530"):
    peer = rows.get("gifski") or rows["gifski (issue's figures)"]
    mean, frames, size, t = rows["high"]
    checks = [("mean blur-PSNR >= 42.0", mean >= 42.0),
              ("no frame > 0.5 dB below gifski", all(a >= b - 0.5 for a, b in zip(frames, peer[1]))),
              ("at most 640,000 bytes", size <= 640000),
              (f"3x faster than gifski ({peer[3] / t:.1f}x)", peer[3] / t >= 3)]
    for text, ok in checks:
        print(f"{'PASS' if ok else 'FAIL'}: {text}")
PY
}

run_set "photo530 (530 x 530, stretch)" stretch "$data"/photo530/p{1,2,3,4,5}.png
run_set "photo1080 (1920 x 1080 JPEG, contain)" contain "$data"/photo1080/p{1,2,3,4,5}.jpg
