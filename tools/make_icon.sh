#!/usr/bin/env bash
# Draws the application icon (a teal gauge ring on a dark disc) and packs
# it as resources/app.ico with every size from 16 to 256 pixels.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
# ImageMagick 6 closes stroked arcs with a chord, so the arc is drawn as
# short round-capped segments instead.
arc=$(awk 'BEGIN { pi = atan2(0, -1)
  for (a = -90; a < 150; a += 4) {
    b = a + 4; if (b > 150) b = 150
    printf "line %.1f,%.1f %.1f,%.1f ", 128 + 86*cos(a*pi/180), 128 + 86*sin(a*pi/180),
                                       128 + 86*cos(b*pi/180), 128 + 86*sin(b*pi/180) } }')
trap 'rm -rf "$tmp"' EXIT

convert -size 256x256 xc:none \
  -fill '#212121' -stroke none -draw 'circle 128,128 128,8' \
  -fill none -stroke '#3a3a3a' -strokewidth 28 -draw 'circle 128,128 128,42' \
  -stroke '#009688' -strokewidth 28 -draw "stroke-linecap round $arc" \
  -stroke '#ffffff' -strokewidth 14 -draw 'line 128,128 170,86' \
  -fill '#ffffff' -stroke none -draw 'circle 128,128 128,142' \
  "$tmp/master.png"

files=()
for s in 16 20 24 32 40 48 64 96 128 256; do
  convert "$tmp/master.png" -resize ${s}x${s} "$tmp/icon-$s.png"
  files+=("$tmp/icon-$s.png")
done
convert "${files[@]}" "$here/resources/app.ico"
echo "wrote $here/resources/app.ico"
