#!/bin/sh
# Renders the fixed-size icons from vantrel.svg (needs rsvg-convert from
# librsvg2-bin). The PNGs are kept in the repository so a build needs no
# SVG support.
set -e
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" vantrel.svg -o "vantrel-$size.png"
done
