#!/usr/bin/env bash
# Makes the five sample pictures from ImageMagick's built-in patterns with fixed seeds, so
# nothing here comes from outside. Run from anywhere; the pictures land beside this script.
# Needs ImageMagick 6 (convert). Other ImageMagick versions may give slightly other pixels.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

size=480x360
# PNG files without time stamps, so a rerun gives the same bytes.
png=(-strip -define png:exclude-chunk=date,time)
jpeg=(-strip -sampling-factor 4:2:0 -quality 88)

# 1: soft plasma clouds.
convert -seed 4021 -size "$size" plasma:fractal -blur 0x6 -modulate 100,160 \
  "${jpeg[@]}" 1-clouds.jpg

# 2: a sunset: warm vertical gradient, a sun and dark hills.
convert -size "$size" gradient:'#1b1464-#ff7e33' \
  -fill '#ffd23f' -draw 'circle 240,250 240,190' \
  -fill '#2b1a3d' -draw 'ellipse 110,380 220,120 0,360' \
  -fill '#3d2250' -draw 'ellipse 380,390 200,110 0,360' \
  "${png[@]}" 2-sunset.png

# 3: a rainbow swirl: hue runs left to right, then the middle is twisted.
convert -size 360x480 gradient: -rotate 90 \
  \( -size "$size" xc:'gray(80%)' \) \( -size "$size" xc:'gray(50%)' \) \
  -set colorspace HSL -combine -colorspace sRGB -swirl 240 \
  "${jpeg[@]}" 3-swirl.jpg

# 4: coloured discs on a teal ground.
convert -size "$size" xc:'#0f6e73' \
  -fill '#f25f5c' -draw 'circle 120,120 120,40' \
  -fill '#ffe066' -draw 'circle 250,200 250,110' \
  -fill '#70c1b3' -draw 'circle 370,110 370,50' \
  -fill '#b388eb' -draw 'circle 380,280 380,220' \
  -fill '#f7f7ff' -draw 'circle 110,290 110,250' \
  "${png[@]}" 4-discs.png

# 5: a second plasma, sharper and cooler, for a different palette.
convert -seed 77 -size "$size" plasma:blue-green -blur 0x2 -modulate 100,140,80 \
  "${jpeg[@]}" 5-lagoon.jpg
