#!/usr/bin/env bash
# Remakes res/windows/quillfen.ico from the program icon res/linux/org.quillfen.Quillfen.svg, at
# the sizes Windows asks for: 16 and 32 in lists and title bars, 48 in Explorer, 256 for large
# views. Needs Qt 6 development files with the SVG image plugin, and ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck disable=SC2046
g++ -std=c++20 -fPIC -O1 $(pkg-config --cflags Qt6Gui) tools/render_icon.cpp -o "$work/render" \
    $(pkg-config --libs Qt6Gui)
"$work/render" res/linux/org.quillfen.Quillfen.svg "$work" 16 32 48 256
convert "$work/icon-16.png" "$work/icon-32.png" "$work/icon-48.png" "$work/icon-256.png" \
    res/windows/quillfen.ico
echo "wrote res/windows/quillfen.ico"
