#!/usr/bin/env bash
# Cross-compiles the Windows build into build/windows/bin. Wine, which runs its tests, keeps its
# prefix inside the build folder and stays quiet; the presets set the same for CMake's own runs.
set -euo pipefail
cd "$(dirname "$0")/.."
export WINEPREFIX="$PWD/build/windows/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree="
cmake --preset windows >/dev/null
cmake --build --preset windows -j2
