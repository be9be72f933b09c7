#!/usr/bin/env bash
# Frame quality, size and speed of our frames against gifski, ffmpeg and ImageMagick, on the
# five photo530 pictures (530 x 530 frames), and on the five 1920 x 1080 photos with
# --fit contain.
#   bench/quality/run.sh [BUILD_DIR [TESTDATA_DIR]]
# BUILD_DIR defaults to build, TESTDATA_DIR to ../shared/testdata. Ours is tavrel-gif when it
# has --quality, else bench_quality (the same frame maker); bench_quality also saves the
# fitted frames every tool starts from and is compared with. gifski is looked for on PATH,
# in GIFSKI and in /tmp/gifski (npm install gifski there).
# Reads: BA3 (butteraugli 3-norm) and SSIMULACRA per frame and their means, lower is better
# for both; bytes of the whole GIF, lower is better; mean time of a run (hyperfine).
# Needs ImageMagick, ffmpeg, hyperfine, python3 and butteraugli_main / ssimulacra_main
# (Debian: imagemagick ffmpeg hyperfine python3 libjxl-devtools); not run in CI.
# Goals for --quality high on photo530: mean BA3 and mean SSIMULACRA at most gifski -Q 90's,
# no frame's BA3 above 1.2 times gifski's, no more bytes, at least 3 times faster; for
# --dither: mean BA3 and SSIMULACRA below ffmpeg's Floyd-Steinberg.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(realpath "${1:-$root/build}")
data=$(realpath "${2:-$root/../shared/testdata}")
quality_tool="$data/../tools/frame-quality"
runs=${RUNS:-5}

for program in convert ffmpeg hyperfine python3 butteraugli_main ssimulacra_main; do
  command -v "$program" >/dev/null || { echo "$program is needed" >&2; exit 1; }
done
gifski=${GIFSKI:-$(command -v gifski || echo /tmp/gifski/node_modules/gifski/bin/debian/gifski)}
[ -x "$gifski" ] || gifski=""
[ -x "$build/bench/bench_quality" ] || { echo "build bench_quality first" >&2; exit 1; }

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
  local dir="$scratch/${name%% *}"
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
  # ffmpeg: a palette of each frame's own (stats_mode=single, new=1), Floyd-Steinberg.
  names+=(ffmpeg)
  commands+=("$(printf '%q ' ffmpeg -v error -y -framerate 1.25 -start_number 1 -i "$dir/ref/f%d.png" \
    -lavfi 'split[a][b];[a]palettegen=stats_mode=single[p];[b][p]paletteuse=new=1:dither=floyd_steinberg' \
    "$dir/ffmpeg.gif")")
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
    ba3 = [float(x) for x in re.findall(r"BA3 ([0-9.]+)  SSIMULACRA", text)]
    ssim = [float(x) for x in re.findall(r"SSIMULACRA ([0-9.]+)  blur", text)]
    size = int(re.search(r"over \d+ frames, (\d+) bytes", text).group(1))
    rows[n] = (ba3, ssim, size, times[n])
labels = {"plain": "tavrel-gif (default)", "dither": "tavrel-gif --dither",
          "high": "tavrel-gif --quality high", "gifski": "gifski -Q 90",
          "ffmpeg": "ffmpeg (Floyd-Steinberg, per frame)", "imagemagick": "ImageMagick, no dither"}
mean = lambda v: sum(v) / len(v)
print(f"\n{title} (lower is better in every column)")
print("| tool | mean BA3 | BA3 per frame | mean SSIMULACRA | bytes | time |\n|---|---|---|---|---|---|")
for n, (ba3, ssim, size, t) in rows.items():
    print(f"| {labels[n]} | {mean(ba3):.3f} | {' '.join(f'{f:.2f}' for f in ba3)} | "
          f"{mean(ssim):.4f} | {size:,} | {t*1000:.0f} ms |")
if title.startswith("photo530"):
    ba3, ssim, size, t = rows["high"]
    checks = []
    if "gifski" in rows:
        gba3, gssim, gsize, gt = rows["gifski"]
        checks += [("high: mean BA3 <= gifski's", mean(ba3) <= mean(gba3)),
                   ("high: mean SSIMULACRA <= gifski's", mean(ssim) <= mean(gssim)),
                   ("high: no frame's BA3 above 1.2 x gifski's",
                    all(a <= 1.2 * b for a, b in zip(ba3, gba3))),
                   ("high: bytes <= gifski's", size <= gsize),
                   (f"high: 3x faster than gifski ({gt / t:.1f}x)", gt / t >= 3)]
    dba3, dssim = rows["dither"][:2]
    fba3, fssim = rows["ffmpeg"][:2]
    checks += [("dither: mean BA3 below ffmpeg's", mean(dba3) < mean(fba3)),
               ("dither: mean SSIMULACRA below ffmpeg's", mean(dssim) < mean(fssim))]
    for text, ok in checks:
        print(f"{'PASS' if ok else 'FAIL'}: {text}")
PY
}

run_set "photo530 (530 x 530, stretch)" stretch "$data"/photo530/p{1,2,3,4,5}.png
run_set "photo1080 (1920 x 1080 JPEG, contain)" contain "$data"/photo1080/p{1,2,3,4,5}.jpg
