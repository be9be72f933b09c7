#!/usr/bin/env bash
# Makes the colour-profile test pictures in this folder: a flat green that is (40, 200, 60) in
# sRGB, stored in other colour spaces and tagged with their profiles (ImageMagick and the ICC
# profiles of Debian's ghostscript package). Prints each picture's colour as ImageMagick's
# colour-managed conversion to sRGB gives it: the values the tests expect.
set -euo pipefail
cd "$(dirname "$0")"
icc=/usr/share/color/icc/ghostscript
green() { convert -size 16x16 xc:'rgb(40,200,60)' -profile "$icc/srgb.icc" "$@"; }

green -profile "$icc/a98.icc" -quality 95 adobe-rgb.jpg
green -profile "$icc/rommrgb.icc" -quality 95 prophoto.jpg
green -profile "$icc/ps_cmyk.icc" -quality 95 cmyk-profile.jpg
green -profile "$icc/srgb.icc" -quality 95 srgb-profile.jpg
green -profile "$icc/a98.icc" -define png:color-type=2 -depth 8 adobe-rgb-iccp.png
# Linear light marked by a gamma chunk of 1.0 only (no profile, no sRGB chunk).
convert -size 16x16 xc:'rgb(40,200,60)' -colorspace RGB -depth 8 -set gamma 1.0 \
    -define png:exclude-chunk=sRGB,iCCP,cHRM,bKGD,tIME,tEXt,zTXt -define png:color-type=2 linear-gamma.png

for f in adobe-rgb.jpg prophoto.jpg cmyk-profile.jpg srgb-profile.jpg adobe-rgb-iccp.png; do
  echo "$f: $(convert "$f" -profile "$icc/srgb.icc" -depth 8 -format '%[pixel:p{8,8}]' info:)"
done
