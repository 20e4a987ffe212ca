#!/usr/bin/env bash
# Runs the Win32 search window's benchmark (bench/windows/window_bench.cpp) under Wine on an X
# server of its own (Xvfb), over a tree of a million empty files on the Wine prefix's C: drive,
# reached as Windows reaches it rather than through Wine's Z: view of the Linux root.
#
# Usage: bench/window-bench-wine.sh [--runs N] [--no-build] [--results FILE]
#   Builds window_bench.exe with the windows-release preset unless --no-build is given; the prefix
#   is build/windows-release/wineprefix-window, its tree C:\quillfen-window-tree (made by
#   bench/make-window-tree.sh on first use, about 1 GiB of file system metadata).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/.." && pwd)"
runs=3
build=1
results="$repo/build/windows-release/window-bench.txt"
inside=0
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs="$2"; shift 2 ;;
    --no-build) build=0; shift ;;
    --results) results="$2"; shift 2 ;;
    --inside-display) inside=1; shift ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
done

bench_exe="$repo/build/windows-release/bin/window_bench.exe"
# A prefix of its own: Wine starts one desktop process per prefix, and a window can open only when
# that process was started with a display.
export WINEPREFIX="$repo/build/windows-release/wineprefix-window" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ "$inside" -eq 0 ]; then
  for tool in wine wineserver Xvfb python3; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 2; }
  done
  if [ "$build" -eq 1 ]; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
    (cd "$repo" && cmake --preset windows-release >/dev/null &&
      cmake --build --preset windows-release -j2 --target window_bench >/dev/null)
  fi
  [ -f "$bench_exe" ] || { echo "no window_bench.exe at $bench_exe" >&2; exit 2; }
  exec "$repo/tests/windows/ui/with_display.sh" "$(command -v Xvfb)" "$0" --inside-display \
    --runs "$runs" --results "$results"
fi

mkdir -p "$(dirname "$WINEPREFIX")" "$(dirname "$results")"
# One Wine server for the whole run, as a desktop session has one; its prefix is made on first use.
wineserver -p </dev/null >/dev/null 2>&1 || true
trap 'wineserver -k 2>/dev/null || true' EXIT
wine cmd /c exit </dev/null >/dev/null 2>&1
# Xvfb has no window manager, and Wine waits up to 2 s for one whenever a window it leaves to the
# window manager goes away; windows Wine manages itself go at once, as on Windows.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
"$here/make-window-tree.sh" "$WINEPREFIX/drive_c/quillfen-window-tree"
# The first walk reads the tree into the page cache; the runs after it are what is measured.
find "$WINEPREFIX/drive_c/quillfen-window-tree" >/dev/null

{
  echo "window_bench.exe C:\\quillfen-window-tree, $runs runs, $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
  for run in $(seq "$runs"); do
    echo "--- run $run"
    wine "$bench_exe" 'C:\quillfen-window-tree' | tr -d '\r'
  done
  echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
} | tee "$results"
