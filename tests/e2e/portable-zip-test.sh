#!/usr/bin/env bash
# Packs a build's programs with scripts/portable-zip.sh, as a release packs its portable archives,
# and checks the archive as a user meets it: exactly the programs, the language tables and the
# licence at its root, the programs executable; unpacked into a fresh folder whose path has a
# blank, quillfen-cli answers --version with the build's version and its licence, finds the files
# of a small tree, and keeps its settings beside itself (a portable copy). The Windows programs
# run under Wine.
#   portable-zip-test.sh linux BIN_FOLDER VERSION
#   portable-zip-test.sh windows BIN_FOLDER VERSION WINE
set -euo pipefail
usage="usage: portable-zip-test.sh linux|windows BIN_FOLDER VERSION [WINE]"
system=${1:?$usage}
bin=$(cd "${2:?$usage}" && pwd)
version=${3:?$usage}
source=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

home=$scratch/home
mkdir -p "$home" "$scratch/tree/sub"
printf 'a' >"$scratch/tree/a.txt"
printf 'b' >"$scratch/tree/sub/b.txt"
printf 'c' >"$scratch/tree/c.log"
case "$system" in
  linux)
    # The modules that quillfen-cli loads on first use lie beside the programs.
    programs=(quillfen quillfen-cli libquillfen-icu.so libquillfen-mime.so)
    strip_tool=strip
    run() { env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/.config" \
      XDG_CACHE_HOME="$home/.cache" LANG=C.UTF-8 QUILLFEN_UPDATE_BASE= "$@"; }
    native_path() { echo "$1"; }
    ;;
  windows)
    wine=${4:?$usage}
    command -v "$wine" >/dev/null || { echo "skipped: no $wine"; exit 77; }
    programs=(quillfen.exe quillfen-cli.exe)
    strip_tool=x86_64-w64-mingw32-strip
    # A busy Wine now and then fails to start a process's DLLs before any of its code runs (exit
    # code 0x42 in the low byte); such a start did nothing and is tried again.
    run() {
      local status
      for _ in 1 2 3; do
        status=0
        "$wine" "$@" || status=$?
        [ "$status" -ne 66 ] && return "$status"
      done
      return "$status"
    }
    native_path() { winepath -w "$1" 2>/dev/null; }
    ;;
  *) echo "$usage" >&2; exit 2 ;;
esac

archive=$scratch/portable.zip
inputs=()
for program in "${programs[@]}"; do inputs+=("$bin/$program"); done
"$source/scripts/portable-zip.sh" --strip "$strip_tool" "$archive" "$source/LICENSE" \
  "$bin/Language" "${inputs[@]}" >/dev/null

expected_entries=$( (printf '%s\n' LICENSE "${programs[@]}"
  cd "$bin" && printf '%s\n' Language/*.ini) | LC_ALL=C sort)
entries=$(zipinfo -1 "$archive" | LC_ALL=C sort)
[ "$entries" = "$expected_entries" ] || fail "the archive holds: $entries"
for program in "${programs[@]}"; do
  mode=$(zipinfo "$archive" "$program" | awk 'NR==1 {print $1}')
  [ "$mode" = "-rwxr-xr-x" ] || fail "$program is stored with mode $mode"
done

folder="$scratch/any folder/Quillfen copy"
mkdir -p "$folder"
unzip -q "$archive" -d "$folder"
cli=$folder/${programs[1]}
answer=$(run "$cli" --version | tr -d '\r' || true)
[ "$answer" = "$(printf 'quillfen-cli %s\nLicense: MIT' "$version")" ] ||
  fail "quillfen-cli --version answered: $answer"

found=$(run "$cli" find --in "$(native_path "$scratch/tree")" --name '*.txt' --sort name \
  --format paths --quiet | tr -d '\r' || true)
expected=$(printf '%s\n' "$(native_path "$scratch/tree/a.txt")" \
  "$(native_path "$scratch/tree/sub/b.txt")")
[ "$found" = "$expected" ] || fail "quillfen-cli found: $found, expected $expected"

# The type column and a text in the Windows code page need the modules, found beside the copy.
if [ "$system" = linux ]; then
  printf 'gr\xfc\xdfe' >"$scratch/tree/ansi.txt"
  problems=$(run "$cli" find --in "$scratch/tree" --name '*.txt' --format tsv 2>&1 >/dev/null || true)
  [ -z "$problems" ] || fail "the unpacked copy lacks its modules: $problems"
  found=$(run "$cli" find --in "$scratch/tree" --text 'GRÜßE' --format paths 2>&1 || true)
  [ "$found" = "$scratch/tree/ansi.txt" ] || fail "the search in code page 1252 gave: $found"
fi

# A portable copy keeps its settings file (user.computer.ini) beside the programs; the command
# line, which leaves the settings as it finds them, names that file in its help.
help=$(run "$cli" find --help | tr -d '\r' || true)
settings=$(sed -n 's/^ *\[Config\] of //p' <<<"$help")
folder_native=$(native_path "$folder")
case "$settings" in
  "$folder_native"[/\\]*.ini) [[ "${settings:${#folder_native}+1}" != *[/\\]* ]] ||
    fail "the settings file is not beside the programs: $settings" ;;
  *) fail "the settings file is not beside the programs: $settings" ;;
esac
[ "$failures" -eq 0 ] && echo "the portable $system archive unpacks and runs from $folder"
exit $((failures > 0))
