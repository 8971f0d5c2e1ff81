#!/usr/bin/env bash
# Writes the PNG icons of both programs at the sizes of the hicolor icon theme
# from their SVG sources (needs rsvg-convert: apt-get install librsvg2-bin).
# The PNGs are committed; run this after changing an SVG.
set -euo pipefail
cd "$(dirname "$0")/.."
sizes="16 22 24 32 48 64 128 256"
for pair in app/resources:org.editboot.EditBoot hexview/resources:org.editboot.HexView; do
  dir=${pair%%:*}
  id=${pair##*:}
  for size in $sizes; do
    mkdir -p "$dir/icons/${size}x${size}"
    rsvg-convert -w "$size" -h "$size" -o "$dir/icons/${size}x${size}/$id.png" "$dir/$id.svg"
  done
done
