#!/usr/bin/env bash
# Remakes res/windows/quillfen.ico from the icon the Qt program draws (ProgramIcon), at the sizes
# Windows asks for: 16 and 32 in lists and title bars, 48 in Explorer, 256 for large views.
# Needs Qt 6 development files and ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck disable=SC2046
g++ -std=c++20 -fPIC -O1 -Isrc $(pkg-config --cflags Qt6Gui) scripts/RenderProgramIcon.cpp \
    src/ui/qt/ProgramIcon.cpp -o "$work/render" $(pkg-config --libs Qt6Gui)
QT_QPA_PLATFORM=offscreen "$work/render" "$work" 16 32 48 256
convert "$work/icon-16.png" "$work/icon-32.png" "$work/icon-48.png" "$work/icon-256.png" \
    res/windows/quillfen.ico
echo "wrote res/windows/quillfen.ico"
