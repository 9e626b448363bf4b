#!/usr/bin/env bash
# Draws the program's icon with the program itself: the surface of resources/icon/icon-frame.dat
# and icon-grid.dat in slot 1, cut out of the page as a vector picture, then the PNG sizes.
# scripts/make-icon.sh [BUILD_DIR]   (default: build; the icon files are rewritten in place)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
icon=$root/resources/icon
id=com.fernwick.Kavlo
"$root/scripts/install-deps.sh" librsvg2-bin

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A path file with the pair in slot 1 and nothing else: 31 lines, CR LF.
{
    printf '%s\r\n' / "$icon" '*.dat' "$icon/icon-frame.dat" '' '' '' '' ''
    printf '%s\r\n' / "$icon" '*.dat' "$icon/icon-grid.dat" '' '' '' '' ''
    printf '%s\r\n' / "$icon" '*.txt' '' '' '' '' '' '' '' 0 3 0
} >"$work/Kavlo.pth"

# The graph's frame in page millimetres, a square around it.
"$build/app/kavlo" render --home "$work/home" --pth "$work/Kavlo.pth" --device metafile \
    --select 23,6,89,72 -o "$icon/$id.svg"
for size in 48 128 256; do
    rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio \
        -o "$work/$size.png" "$icon/$id.svg"
    mv "$work/$size.png" "$icon/$id-$size.png"
done
