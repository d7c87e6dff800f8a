#!/usr/bin/env bash
# Renders the application icon's PNG sizes from the SVG (librsvg2-bin). The
# PNGs are committed, so a build needs no SVG renderer; run this after
# changing the drawing.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
    mkdir -p "$size"
    rsvg-convert -w "$size" -h "$size" org.kazanoro.Kazanoro.svg -o "$size/org.kazanoro.Kazanoro.png"
done
