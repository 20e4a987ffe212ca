#!/usr/bin/env bash
# Packs a portable copy of Quillfen into one zip archive: the programs (without their debugging
# information), the language tables in Language/ and the licence, all at the archive's root with no
# folder around them, so that the archive unpacks into any folder as a program folder and an update
# can lay it over one. Executables keep mode 0755. Folders get no entries of their own (only files
# are what an update replaces). With SOURCE_DATE_EPOCH set, every entry carries that time, so the
# same programs make the same archive.
#   portable-zip.sh [--strip STRIP_TOOL] OUTPUT.zip LICENSE LANGUAGE_FOLDER PROGRAM...
set -euo pipefail
strip_tool=
if [ "${1:-}" = "--strip" ]; then
  strip_tool=${2:?usage: portable-zip.sh [--strip STRIP_TOOL] OUTPUT LICENSE LANGUAGE PROGRAM...}
  shift 2
fi
[ $# -ge 4 ] || {
  echo "usage: portable-zip.sh [--strip STRIP_TOOL] OUTPUT.zip LICENSE LANGUAGE_FOLDER PROGRAM..." >&2
  exit 2
}
output=$(realpath -m "$1")
license=$2
language=$3
shift 3

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/Language"
for program in "$@"; do
  [ -f "$program" ] || { echo "portable-zip.sh: no program $program" >&2; exit 1; }
  name=$(basename "$program")
  if [ -n "$strip_tool" ]; then
    "$strip_tool" --strip-all -o "$stage/$name" "$program"
  else
    cp "$program" "$stage/$name"
  fi
  chmod 0755 "$stage/$name"
done
tables=("$language"/*.ini)
[ -f "${tables[0]}" ] || { echo "portable-zip.sh: no language tables in $language" >&2; exit 1; }
cp "${tables[@]}" "$stage/Language/"
cp "$license" "$stage/LICENSE"
chmod 0644 "$stage/LICENSE" "$stage"/Language/*.ini
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
fi

mkdir -p "$(dirname "$output")"
rm -f "$output"
# -X leaves out the extra fields of owner and times, -D the folders' entries; sorted for a
# steady order.
(cd "$stage" && find . -type f -printf '%P\n' | LC_ALL=C sort | zip -q -X -D -9 "$output" -@)
echo "$output"
