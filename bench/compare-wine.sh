#!/usr/bin/env bash
# Times quillfen-cli.exe under Wine beside the Linux quillfen-cli on the corpora of make-corpus.sh:
# the name walk, a content search and the duplicate search, plus the start of a Windows program
# that does nothing (`wine cmd /c exit`) and of quillfen-cli.exe printing its help, so the part of
# the difference that is Wine's own start-up can be told from the rest.
#
# Usage: bench/compare-wine.sh [--corpus DIR] [--runs N] [--results DIR] [--no-build]
#   QUILLFEN_CLI and QUILLFEN_CLI_EXE override the two programs (release builds by default:
#   build/release/bin/quillfen-cli and build/windows-release/bin/quillfen-cli.exe).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/.." && pwd)"
corpus=/tmp/quillfen-bench
runs=5
results=""
build=1
while [ $# -gt 0 ]; do
  case "$1" in
    --corpus) corpus="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    --results) results="$2"; shift 2 ;;
    --no-build) build=0; shift ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
done

# Patterns like *.txt are the programs' own, never the shell's.
set -f

for tool in hyperfine wine wineserver python3; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 2; }
done

linux_cli="${QUILLFEN_CLI:-$repo/build/release/bin/quillfen-cli}"
windows_cli="${QUILLFEN_CLI_EXE:-$repo/build/windows-release/bin/quillfen-cli.exe}"
export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
if [ "$build" -eq 1 ] && [ -z "${QUILLFEN_CLI:-}" ]; then
  (cd "$repo" && cmake --preset release >/dev/null &&
    cmake --build --preset release -j2 --target quillfen-cli >/dev/null)
fi
if [ "$build" -eq 1 ] && [ -z "${QUILLFEN_CLI_EXE:-}" ]; then
  (cd "$repo" && cmake --preset windows-release >/dev/null &&
    cmake --build --preset windows-release -j2 --target quillfen-cli >/dev/null)
fi
[ -x "$linux_cli" ] || { echo "no quillfen-cli at $linux_cli" >&2; exit 2; }
[ -f "$windows_cli" ] || { echo "no quillfen-cli.exe at $windows_cli" >&2; exit 2; }

"$here/make-corpus.sh" "$corpus"
corpus="$(cd "$corpus" && pwd)"
# shellcheck source=/dev/null
. "$corpus/corpus.env"
results="${results:-$corpus/results-wine}"
mkdir -p "$results"

# The release preset's own prefix, quiet. One Wine server is kept for the whole run, as a
# running desktop session has one: the timings then hold each program's start, not the server's.
export WINEPREFIX="$repo/build/windows-release/wineprefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$(dirname "$WINEPREFIX")"
wineserver -p </dev/null >/dev/null 2>&1 || true
wine cmd /c exit </dev/null >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true' EXIT

# Wine's Z: is the Linux root. hyperfine splits its commands as a shell would, so the Windows
# paths in them are single-quoted to keep their backslashes.
dos() { printf 'Z:%s' "${1//\//\\}"; }
dosq() { printf "'%s'" "$(dos "$1")"; }

T="$corpus/names"
C="$corpus/content"
D="$corpus/dupes"
literal=PaymentGatewayTimeout
checks="$results/checks.txt"
: >"$checks"
say() { printf '%s\n' "$*" | tee -a "$checks"; }

warm() {
  find "$1" >/dev/null
  find "$1" -type f -size +0 -exec cat {} + >/dev/null
}

# The same rows from both programs (paths turned back into Linux paths); the order is reported.
check() {
  local name="$1" linux_arguments="$2" windows_arguments="$3"
  # shellcheck disable=SC2086
  "$linux_cli" $linux_arguments >"$results/$name.linux.txt" || true
  # shellcheck disable=SC2086
  wine "$windows_cli" $windows_arguments 2>/dev/null |
    sed -e 's/^Z://' -e 's/\r$//' | tr '\\' '/' >"$results/$name.wine.txt" || true
  if cmp -s "$results/$name.linux.txt" "$results/$name.wine.txt"; then
    say "  OK    $name ($(wc -l <"$results/$name.linux.txt") rows, same order)"
  elif cmp -s <(sort "$results/$name.linux.txt") <(sort "$results/$name.wine.txt"); then
    say "  OK    $name ($(wc -l <"$results/$name.linux.txt") rows, in another order)"
  else
    say "  DIFF  $name: $(wc -l <"$results/$name.linux.txt") vs $(wc -l <"$results/$name.wine.txt") rows"
  fi
}

bench() {
  local name="$1" tree="$2"
  shift 2
  [ -n "$tree" ] && warm "$tree"
  hyperfine -N --warmup 2 --runs "$runs" --style basic \
    --export-markdown "$results/$name.md" --export-json "$results/$name.json" "$@"
}

say "load before the timings: $(cut -d' ' -f1-3 /proc/loadavg)"
check names "find --in $T --name *.txt --format paths --quiet" "find --in $(dos "$T") --name *.txt --format paths --quiet"
check content "find --in $C --text $literal --match-case --encodings ansi --format paths --quiet" \
  "find --in $(dos "$C") --text $literal --match-case --encodings ansi --format paths --quiet"
check dupes "dupes $D/reference.bin --in $D --format paths --quiet" "dupes $(dos "$D/reference.bin") --in $(dos "$D") --format paths --quiet"

bench start "" -n "wine cmd /c exit" "wine cmd /c exit" \
  -n "wine quillfen-cli.exe --help" "wine $windows_cli --help" \
  -n "quillfen-cli --help" "$linux_cli --help"
bench names "$T" -n linux "$linux_cli find --in $T --name '*.txt' --format paths --quiet" \
  -n wine "wine $windows_cli find --in $(dosq "$T") --name '*.txt' --format paths --quiet"
bench content "$C" \
  -n linux "$linux_cli find --in $C --text $literal --match-case --encodings ansi --format paths --quiet" \
  -n wine "wine $windows_cli find --in $(dosq "$C") --text $literal --match-case --encodings ansi --format paths --quiet"
bench dupes "$D" -n linux "$linux_cli dupes $D/reference.bin --in $D --format paths --quiet" \
  -n wine "wine $windows_cli dupes $(dosq "$D/reference.bin") --in $(dosq "$D") --format paths --quiet"
say "load after the timings: $(cut -d' ' -f1-3 /proc/loadavg)"

# One table of fastest runs in ms: the difference between the two programs, and how much of it
# is start-up (quillfen-cli.exe printing its help under Wine, less the Linux program doing so).
python3 - "$results" <<'PY' | tee "$results/summary.md"
import json, sys
folder = sys.argv[1]
def fastest(group):
    data = json.load(open("%s/%s.json" % (folder, group)))["results"]
    return {r["command"]: min(r["times"]) * 1000 for r in data}
start = fastest("start")
extra_start = start["wine quillfen-cli.exe --help"] - start["quillfen-cli --help"]
print("| search | Linux (ms) | Wine (ms) | difference (ms) | of it start-up (ms) | share |")
print("|---|---:|---:|---:|---:|---:|")
for group in ("names", "content", "dupes"):
    times = fastest(group)
    linux, wine = times["linux"], times["wine"]
    difference = wine - linux
    print("| %s | %.1f | %.1f | %.1f | %.1f | %.0f%% |" % (
        group, linux, wine, difference, extra_start, 100 * extra_start / difference))
print()
print("Start-up, fastest run (ms): `wine cmd /c exit` %.1f, `wine quillfen-cli.exe --help` %.1f,"
      " `quillfen-cli --help` %.1f." % (start["wine cmd /c exit"],
                                         start["wine quillfen-cli.exe --help"],
                                         start["quillfen-cli --help"]))
PY
