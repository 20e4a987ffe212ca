#!/usr/bin/env bash
# Builds and runs every test: the debug build with warnings as errors, then the unit tests again
# under the address and undefined-behaviour sanitizers, then the Windows build's tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
for preset in dev asan; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2
  ctest --preset "$preset"
done
./scripts/windows-build.sh
ctest --preset windows
