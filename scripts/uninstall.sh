#!/usr/bin/env bash
# Removes what make install put under PREFIX (inside DESTDIR when given): uninstall.sh PREFIX
# [DESTDIR]. The list of files comes from installing the same build into a scratch folder, so it
# matches the install rules even when the build folder's own list is from another prefix. User
# files (settings, language copies in ~/.config/quillfen) are not touched; the file managers'
# entries of the calling user are removed.
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=${1:?usage: uninstall.sh PREFIX [DESTDIR]}
destdir=${2:-}
build=build/package
if [ ! -f "$build/CMakeCache.txt" ]; then
  echo "uninstall.sh: no $build; run make install first" >&2
  exit 1
fi
# The file managers' entries belong to each user; those of the user who runs this (through sudo,
# the one who called sudo) go first, while the program that removes them is still there.
program="$destdir$prefix/bin/quillfen"
if [ -z "$destdir" ] && [ -x "$program" ]; then
  if [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
    sudo -H -u "$SUDO_USER" "$program" --remove-shell-entries || true
  else
    "$program" --remove-shell-entries || true
  fi
  echo "removed the file-manager entries of ${SUDO_USER:-$(id -un)}; other users remove" \
    "theirs with quillfen --remove-shell-entries"
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cmake --preset package -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
DESTDIR="$scratch" cmake --install "$build" >/dev/null
target="$destdir$prefix"
(cd "$scratch$prefix" && find . -type f -printf '%P\n') | while IFS= read -r file; do
  if [ -e "$target/$file" ] || [ -L "$target/$file" ]; then
    rm -f -- "$target/$file"
    echo "removed $target/$file"
  fi
done
# The program's own folders go when empty; shared folders such as share/applications stay.
for folder in share/quillfen/Language share/quillfen share/doc/quillfen lib/quillfen/modules \
    lib/quillfen; do
  rmdir --ignore-fail-on-non-empty -- "$target/$folder" 2>/dev/null || true
done
