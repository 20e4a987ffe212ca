#!/usr/bin/env bash
# Generates the window benchmarks' tree: 500 folders of 2,000 empty files (1,000,500 entries), so
# a search for everything fills a result list with a million rows.
#
#   bench/make-window-tree.sh [--force] [--folders K] DIR
#
# --folders K makes K folders instead of 500 (the index benchmark's smaller trees).
# Names are fixed (folder-NNN/WORD-NNNN.EXT, eight extensions, so the rows show a few types and
# sorting by name, type or folder has work to do). A finished tree is left alone unless --force is
# given.
set -euo pipefail

force=0
folders=500
while [ $# -gt 1 ]; do
  case "$1" in
    --force) force=1; shift ;;
    --folders) folders="$2"; shift 2 ;;
    *) break ;;
  esac
done
[ $# -eq 1 ] || { echo "usage: $0 [--force] [--folders K] DIR" >&2; exit 2; }
root="$1"
version=1
# A tree of another size is another tree: its marker says so.
[ "$folders" -eq 500 ] || version="1 folders=$folders"

if [ "$force" -eq 0 ] && [ -f "$root/tree.version" ] && grep -qx "$version" "$root/tree.version"; then
  echo "window tree already present in $root (use --force to rebuild)"
  exit 0
fi
command -v python3 >/dev/null || { echo "python3 is required" >&2; exit 2; }
rm -rf "$root"
mkdir -p "$root"

python3 - "$root" "$folders" <<'PY'
import os
import sys

root, folders = sys.argv[1], int(sys.argv[2])
WORDS = ["report", "draft", "notes", "image", "backup", "index", "summary", "invoice"]
EXTENSIONS = ["txt", "log", "dat", "cpp", "png", "pdf", "zip", "ini"]
for folder in range(folders):
    path = os.path.join(root, "folder-%03d" % folder)
    os.mkdir(path)
    for number in range(2000):
        name = "%s-%04d.%s" % (WORDS[(number * 7 + folder) % len(WORDS)], (number * 389 + folder) % 10000,
                               EXTENSIONS[(number + folder) % len(EXTENSIONS)])
        os.close(os.open(os.path.join(path, name), os.O_CREAT | os.O_WRONLY, 0o644))
PY
echo "$version" >"$root/tree.version"
echo "window tree ready in $root"
