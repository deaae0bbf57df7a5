#!/usr/bin/env bash
# Makes the PNG sizes of the program's icon from icons/tavrin.svg (rsvg-convert, Debian's
# librsvg2-bin); the PNGs are committed beside it, so a build needs neither.
set -euo pipefail
cd "$(dirname "$0")/icons"
for size in 16 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" tavrin.svg -o "tavrin-${size}.png"
done
