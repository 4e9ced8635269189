#!/usr/bin/env bash
# Renders the icon's PNG sizes from the SVG (kept in the repository, so that building the
# program needs no SVG renderer). Run after changing the SVG; needs rsvg-convert (librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" de.orlanda.sonvira.svg -o "de.orlanda.sonvira-$size.png"
done
