#!/bin/sh
# Renders the program icon resources/quillora.svg into the PNG sizes of the
# hicolor theme (resources/icons/<n>x<n>/quillora.png), which the program embeds
# and the package installs. Run it after changing the SVG; needs rsvg-convert
# (Debian package librsvg2-bin).
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
svg="$here/resources/quillora.svg"
for n in 16 22 24 32 48 64 128 256; do
    out="$here/resources/icons/${n}x${n}"
    mkdir -p "$out"
    rsvg-convert -w "$n" -h "$n" "$svg" -o "$out/quillora.png"
done
