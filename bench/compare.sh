#!/usr/bin/env bash
# Side-by-side timings of quillfen-cli against the usual command-line tools, on the corpora that
# bench/make-corpus.sh generates, plus checks that every tool reports the same files and a
# peak-memory measurement.
#
#   bench/compare.sh [--corpus DIR] [--runs N] [--results DIR] [--no-build | --commit REV]
#                    [--skip-massif] [--cold]
#
#   --corpus DIR    corpus folder (default /tmp/quillfen-bench; generated when missing)
#   --runs N        timed runs per command (default 10); every command also gets warm-up runs
#   --results DIR   where the markdown/JSON exports and summary.md go (default CORPUS/results,
#                   CORPUS/results-cold with --cold)
#   --no-build      use the binary as it is (QUILLFEN_CLI overrides its path)
#   --commit REV    build REV from a snapshot (git archive) in /tmp instead of the working tree,
#                   which others may be editing while the benchmark runs
#   --skip-massif   skip the heap profiles, which take about a minute under valgrind
#   --cold          drop the page cache before every timed run (root only; otherwise the script
#                   says so and times warm), and time the peers at 2 to 32 threads
#
# Without --cold all timings are taken with a warm page cache: the point is the cost of the walk
# and the search, not of the disk. With it, the point is how busy the searches keep the disk.
# The peer tools come from ./scripts/install-deps.sh --bench.
set -euo pipefail
# One locale everywhere: it also makes English the program's language, whose ANSI code page
# (Windows-1252) the non-ASCII literal is planted in. A LanguageID or AnsiCodePage in the
# settings file beside the benchmarked program would still override it.
export LC_ALL=C.UTF-8

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/.." && pwd)"
corpus=/tmp/quillfen-bench
runs=10
results=""
build=1
massif=1
commit=""
cold=0
while [ $# -gt 0 ]; do
  case "$1" in
    --corpus) corpus="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    --results) results="$2"; shift 2 ;;
    --no-build) build=0; shift ;;
    --commit) commit="$2"; shift 2 ;;
    --skip-massif) massif=0; shift ;;
    --cold) cold=1; shift ;;
    -h|--help) sed -n 2,22p "$0"; exit 0 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done

missing=()
for tool in hyperfine find fdfind rg jdupes cmp python3; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "missing: ${missing[*]} -- run ./scripts/install-deps.sh --bench" >&2
  exit 2
fi

source_dir="$repo"
if [ -n "$commit" ]; then
  sha="$(git -C "$repo" rev-parse --short "$commit^{commit}")"
  source_dir="${TMPDIR:-/tmp}/quillfen-bench-src-$sha"
  if [ ! -f "$source_dir/CMakePresets.json" ]; then
    mkdir -p "$source_dir"
    git -C "$repo" archive "$sha" | tar -x -C "$source_dir"
  fi
fi
quillfen="${QUILLFEN_CLI:-$source_dir/build/release/bin/quillfen-cli}"
if [ "$build" -eq 1 ] && [ -z "${QUILLFEN_CLI:-}" ]; then
  if ! (cd "$source_dir" && cmake --preset release >/dev/null && cmake --build --preset release -j2 --target quillfen-cli >/dev/null); then
    echo "the release build failed; --commit HEAD benchmarks the last commit instead" >&2
    exit 2
  fi
fi
[ -x "$quillfen" ] || { echo "no quillfen-cli at $quillfen" >&2; exit 2; }

"$here/make-corpus.sh" "$corpus"
corpus="$(cd "$corpus" && pwd)"
# shellcheck source=/dev/null
. "$corpus/corpus.env"
if [ "$cold" -eq 1 ]; then
  results="${results:-$corpus/results-cold}"
else
  results="${results:-$corpus/results}"
fi
mkdir -p "$results"

T="$corpus/names"
C="$corpus/content"
L="$corpus/content-large"
D="$corpus/dupes"
REF="$REFERENCE"
N="$REFERENCE_SIZE"
Q="$quillfen"
checks="$results/checks.txt"
: >"$checks"

say() { printf '%s\n' "$*" | tee -a "$checks"; }

# Reading every file once brings a tree into the page cache; listing every folder brings the
# directory blocks and inodes in as well. Each timing group warms its own tree right before it
# runs: a kernel that reclaims pages it has not seen used for a while (DAMON's pageout scheme
# does so after about a minute on some machines) would otherwise leave a group reading from disk.
warm() {
  local tree
  for tree in "$@"; do
    find "$tree" >/dev/null
    find "$tree" -type f -size +0 -exec cat {} + >/dev/null
  done
}

# How much of a tree's file data is in the page cache, when util-linux's fincore is there.
resident() {
  command -v fincore >/dev/null || return 0
  { find "$1" -type f -size +0 -print0 | xargs -0 -r fincore -b -n -o RES,SIZE 2>/dev/null || true; } |
    awk -v tree="$1" '{ r += $1; s += int(($2 + 4095) / 4096) * 4096 } END { if (s) printf "  %s: %.0f of %.0f MiB in the page cache\n", tree, r / 1048576, s / 1048576 }'
}

# hyperfine with the shell left out (-N): these commands start in a few milliseconds, and a shell
# would add a millisecond of noise to each.
bench() {
  local name="$1" tree="$2"
  shift 2
  warm "$tree"
  resident "$tree" | tee -a "$checks"
  hyperfine -N --warmup 2 --runs "$runs" --style basic \
    --export-markdown "$results/$name.md" --export-json "$results/$name.json" "$@"
}

# Compares two files of paths and reports the verdict; $3 describes the comparison.
same_rows() {
  if cmp -s "$1" "$2"; then
    say "  OK    $3 ($(wc -l <"$1") rows)"
  else
    say "  DIFF  $3: $(wc -l <"$1") vs $(wc -l <"$2") rows; first differences:"
    diff "$1" "$2" | head -5 | tee -a "$checks"
  fi
}

# Other work on the machine shows up directly in these timings; say so rather than hide it.
load="$(cut -d' ' -f1 /proc/loadavg)"
if python3 -c "import sys; sys.exit(0 if float('$load') > 0.5 else 1)"; then
  echo "warning: load average $load before the run; timings will be noisy" | tee -a "$checks"
fi

echo "warming the page cache"
warm "$T" "$C" "$L" "$D"

say "== checks"
q_find() { "$Q" find "$@" --format paths --quiet || true; }

# Name walk: the same rows in the same order as find, which lists in directory order too.
q_find --in "$T" --name '*.txt' >"$results/names.quillfen"
find "$T" -mindepth 1 -iname '*.txt' >"$results/names.find"
if cmp -s "$results/names.quillfen" "$results/names.find"; then
  say "  OK    name walk: quillfen rows = find -iname rows, same order ($(wc -l <"$results/names.find") rows)"
else
  say "  DIFF  name walk: quillfen rows differ from find -iname in order or content"
  same_rows <(sort "$results/names.quillfen") <(sort "$results/names.find") "name walk, sorted"
fi

# Content: the file lists against ripgrep's and against what the generator planted.
q_find --in "$C" --text "$LITERAL" --match-case --encodings ansi | sort >"$results/cs.quillfen"
{ rg -F -a -l -s --no-mmap "$LITERAL" "$C" || true; } | sort >"$results/cs.rg"
same_rows "$results/cs.quillfen" "$results/cs.rg" "content, case-sensitive ANSI vs rg -s"
same_rows "$results/cs.quillfen" "$corpus/expected-exact.txt" "content, case-sensitive ANSI vs planted"

q_find --in "$C" --text "$LITERAL" --encodings ansi | sort >"$results/ci.quillfen"
{ rg -F -a -l -i --no-mmap "$LITERAL" "$C" || true; } | sort >"$results/ci.rg"
same_rows "$results/ci.quillfen" "$results/ci.rg" "content, case-insensitive ANSI vs rg -i"
sort "$corpus/expected-exact.txt" "$corpus/expected-other-case.txt" >"$results/ci.expected"
same_rows "$results/ci.quillfen" "$results/ci.expected" "content, case-insensitive ANSI vs planted"

# The UTF-16LE form of an ASCII literal is each byte followed by a zero byte; rg finds that with
# a byte-oriented pattern.
utf16_pattern="(?-u)$(printf '%s' "$LITERAL" | sed 's/./&\\x00/g')"
q_find --in "$C" --text "$LITERAL" --match-case | sort >"$results/all.quillfen"
{ rg -F -a -l -s --no-mmap "$LITERAL" "$C" || true; rg -a -l -s --no-mmap "$utf16_pattern" "$C" || true; } | sort -u >"$results/all.rg"
same_rows "$results/all.quillfen" "$results/all.rg" "content, three encodings vs rg (ANSI + UTF-16LE)"
sort "$corpus/expected-exact.txt" "$corpus/expected-utf16.txt" >"$results/all.expected"
same_rows "$results/all.quillfen" "$results/all.expected" "content, three encodings vs planted"

# The non-ASCII literal: Windows-1252 is the ANSI code page of the English language that LC_ALL
# below gives the program.
q_find --in "$C" --text "$NON_ASCII_LITERAL" --match-case | sort >"$results/non-ascii.quillfen"
same_rows "$results/non-ascii.quillfen" "$corpus/expected-non-ascii.txt" "content, non-ASCII literal, three encodings vs planted"
q_find --in "$C" --text "$NON_ASCII_LITERAL" | sort >"$results/non-ascii-ci.quillfen"
same_rows "$results/non-ascii-ci.quillfen" "$corpus/expected-non-ascii.txt" "content, non-ASCII literal, three encodings, any case vs planted"
q_find --in "$C" --text "$NON_ASCII_LITERAL" --match-case --encodings ansi | sort >"$results/non-ascii-ansi.quillfen"
same_rows "$results/non-ascii-ansi.quillfen" "$corpus/expected-non-ascii-1252.txt" "content, non-ASCII literal, ANSI (Windows-1252) vs planted"

# Duplicates: the identical files, never the reference itself.
"$Q" dupes "$REF" --in "$D" --format paths --quiet | sort >"$results/dupes.quillfen" || true
find "$D" -type f -size "${N}c" -exec cmp -s "$REF" {} \; -print | { grep -vxF "$REF" || true; } | sort >"$results/dupes.cmp"
jdupes -r -q "$D" | awk -v ref="$REF" '
  /^$/ { if (hit) { for (i = 1; i <= n; i++) if (set[i] != ref) print set[i] } n = 0; hit = 0; next }
  { set[++n] = $0; if ($0 == ref) hit = 1 }
  END { if (hit) for (i = 1; i <= n; i++) if (set[i] != ref) print set[i] }' | sort >"$results/dupes.jdupes"
same_rows "$results/dupes.quillfen" "$results/dupes.cmp" "duplicates vs find/cmp"
same_rows "$results/dupes.quillfen" "$results/dupes.jdupes" "duplicates vs jdupes (reference's set)"
same_rows "$results/dupes.quillfen" "$corpus/expected-dupes.txt" "duplicates vs planted"

# Cold timings: every run starts with an empty page cache, as after a reboot or on a tree not
# touched for long. The peers are timed at several thread counts, and each bar is judged against
# the best of them.
if [ "$cold" -eq 1 ]; then
  drop="$results/drop-caches"
  printf '#!/bin/sh\nsync\necho 3 > /proc/sys/vm/drop_caches\n' >"$drop"
  chmod +x "$drop"
  if [ "$(id -u)" -eq 0 ] && "$drop" 2>/dev/null; then
    prepare=(--prepare "$drop")
    cache="cold cache, dropped before every run"
  else
    prepare=()
    cache="warm cache: only root may drop the page cache, so these runs are NOT cold"
    echo "warning: --cold needs root to drop the page cache; timing the cold groups warm" | tee -a "$checks"
  fi
  threads=(2 4 8 16 32)
  echo
  say "== timings ($runs runs each, $cache, $(nproc) cores, load: $(uptime | sed 's/.*load average: //'))"
  cold_bench() {
    local name="$1"
    shift
    hyperfine -N --runs "$runs" --style basic "${prepare[@]}" \
      --export-markdown "$results/$name.md" --export-json "$results/$name.json" "$@"
  }
  fd_commands=()
  rg_commands=()
  for n in "${threads[@]}"; do
    fd_commands+=("fdfind -u -j$n -g *.txt $T")
    rg_commands+=("rg -j$n -F -a -l -s $LITERAL $C")
  done
  cold_bench cold-names "$Q find --in $T --name *.txt --format paths --quiet" "find $T -name *.txt" \
    "${fd_commands[@]}"
  # What reading the files alone costs on this disk, with no matching and in no order: a floor
  # that no content search can go below.
  floor_commands=()
  floor="$(dirname "$Q")/floor-parallel-read"
  if [ -x "$floor" ]; then
    floor_commands=("$floor 16 16384 $C" "$floor 32 16384 $C")
  fi
  cold_bench cold-content \
    "$Q find --in $C --text $LITERAL --match-case --encodings ansi --format paths --quiet" \
    "${rg_commands[@]}" "${floor_commands[@]}"
  cold_bench cold-dupes "$Q dupes $REF --in $D --format paths --quiet" \
    "find $D -type f -size ${N}c -exec cmp -s $REF {} ; -print"
  say "load after the timings: $(uptime | sed 's/.*load average: //')"

  echo
  echo "== bars"
  python3 - "$results" <<'PY' | tee "$results/bars.md"
import json
import os
import sys

results = sys.argv[1]

def runs(name):
    with open(os.path.join(results, name + ".json")) as f:
        return json.load(f)["results"]

# Judged on the fastest run of each command, the medians beside; against a peer timed at several
# thread counts, against its best count.
print("| bar | quillfen (min) | limit (min) | ratio (min) | verdict | quillfen (median) "
      "| limit (median) | ratio (median) | verdict (median) |")
print("|---|---:|---:|---|---|---:|---:|---|---|")
def bar(label, name, factor, peers, peer_text):
    results_ = runs(name)
    cells = []
    verdicts = []
    for key in ("min", "median"):
        ours = results_[0][key]
        best = min(results_[i][key] for i in peers)
        words = results_[min(peers, key=lambda i: results_[i][key])]["command"].split()
        which = [words[0]] + [word for word in words if word.startswith("-j")]
        limit = factor * best
        verdicts.append("met" if ours <= limit else "NOT met")
        cells.append(f"{ours * 1000:.1f} ms | {limit * 1000:.1f} ms | {ours / best:.2f}x {peer_text} "
                     f"({' '.join(which)})")
    print(f"| {label} | {cells[0]} | **{verdicts[0]}** | {cells[1]} | {verdicts[1]} |")

bar("cold name walk <= 0.9x best fdfind -u -jN", "cold-names", 0.9, range(2, 7), "best fd")
bar("cold content <= 0.9x best rg -jN", "cold-content", 0.9, range(1, 6), "best rg")
bar("cold duplicates <= 0.2x find/cmp", "cold-dupes", 0.2, [1], "find/cmp")

content = runs("cold-content")
if len(content) > 6:
    for key in ("min", "median"):
        floor = min(result[key] for result in content[6:])
        best_rg = min(result[key] for result in content[1:6])
        print(f"\nReading alone ({key}, best of floor-parallel-read on 16 and 32 threads): "
              f"{floor * 1000:.1f} ms; quillfen {content[0][key] / floor:.2f}x of it, "
              f"the best rg {best_rg / floor:.2f}x.")
PY

  {
    echo "# Cold results ($(date -u +%Y-%m-%d), $(nproc) cores, $(uname -r))"
    echo
    echo "quillfen-cli from $([ -n "$commit" ] && echo "a snapshot of commit $sha" || echo "the working tree at commit $(git -C "$repo" rev-parse --short HEAD 2>/dev/null || echo unknown)")"
    echo
    echo '## Checks'
    echo
    echo '```'
    cat "$checks"
    echo '```'
    for name in cold-names cold-content cold-dupes; do
      echo
      echo "## $name"
      echo
      cat "$results/$name.md"
    done
    echo
    echo '## Bars'
    echo
    cat "$results/bars.md"
  } >"$results/summary.md"
  echo
  echo "summary written to $results/summary.md"
  exit 0
fi

echo
echo "== timings ($runs runs each, warm cache, $(nproc) cores)"
# Clock ticks of the whole machine (busy, total) and of this script with everything it waited
# for, so that the CPU time other processes took during the timings can be reported.
machine_ticks() { head -1 /proc/stat | awk '{ print $2 + $3 + $4 + $7 + $8 + $9, $2 + $3 + $4 + $5 + $6 + $7 + $8 + $9 }'; }
own_ticks() { awk '{ print $14 + $15 + $16 + $17 }' "/proc/$$/stat"; }
read -r busy_before total_before <<<"$(machine_ticks)"
own_before="$(own_ticks)"
bench names "$T" \
  "$Q find --in $T --name *.txt --format paths --quiet" \
  "find $T -name *.txt" \
  "fdfind -u -j2 -g *.txt $T"

bench content-cs "$C" \
  "$Q find --in $C --text $LITERAL --match-case --encodings ansi --format paths --quiet" \
  "rg -F -a -l -s --no-mmap $LITERAL $C" \
  "rg -j1 -F -a -l -s --no-mmap $LITERAL $C"

bench content-ci "$C" \
  "$Q find --in $C --text $LITERAL --encodings ansi --format paths --quiet" \
  "rg -F -a -l -i --no-mmap $LITERAL $C" \
  "rg -j1 -F -a -l -i --no-mmap $LITERAL $C"

bench content-encodings "$C" \
  "$Q find --in $C --text $LITERAL --match-case --encodings ansi --format paths --quiet" \
  "$Q find --in $C --text $LITERAL --match-case --format paths --quiet" \
  "$Q find --in $C --text $NON_ASCII_LITERAL --match-case --encodings ansi --format paths --quiet" \
  "$Q find --in $C --text $NON_ASCII_LITERAL --match-case --format paths --quiet" \
  "$Q find --in $C --text $NON_ASCII_LITERAL --encodings ansi --format paths --quiet" \
  "$Q find --in $C --text $NON_ASCII_LITERAL --format paths --quiet"

bench dupes "$D" \
  "$Q dupes $REF --in $D --format paths --quiet" \
  "find $D -type f -size ${N}c -exec cmp -s $REF {} ; -print" \
  "jdupes -r -q $D"

read -r busy_after total_after <<<"$(machine_ticks)"
own_after="$(own_ticks)"
others=$(( (busy_after - busy_before - (own_after - own_before)) * 100 / (total_after - total_before) ))
[ "$others" -lt 0 ] && others=0
say "other processes used about ${others}% of the machine's CPU time during the timings"

echo
echo "== peak memory"
# Peak resident set of one run, in KiB. /usr/bin/time reports it when installed; otherwise the
# kernel's own account of the child, read back through getrusage, gives the same number.
peak_rss() {
  if [ -x /usr/bin/time ]; then
    { /usr/bin/time -v "$@" 2>&1 >/dev/null || true; } | awk -F': ' '/Maximum resident set size/ { print $2 }'
  else
    python3 -c 'import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)' "$@" || true
  fi
}
# Peak heap in bytes as valgrind's massif sees it: allocations only, without the shared libraries
# that make up most of the resident set.
peak_heap() {
  local out
  out="$(mktemp)"
  valgrind --tool=massif --massif-out-file="$out" "$@" >/dev/null 2>&1 || true
  grep -o 'mem_heap_B=[0-9]*' "$out" | cut -d= -f2 | sort -n | tail -1
  rm -f "$out"
}

empty="$(mktemp -d)"
# The largest first-level folder of the name tree, for a walk of a fraction of its entries.
subtree="$(find "$T" -mindepth 1 -maxdepth 1 -type d -printf '%p\n' | while read -r d; do
  printf '%s\t%s\n' "$(find "$d" | wc -l)" "$d"; done | sort -n | tail -1 | cut -f2)"
subtree_entries="$(find "$subtree" -mindepth 1 | wc -l)"
all_entries="$(find "$T" -mindepth 1 | wc -l)"
# Two names for the large file, so that a search testing files side by side holds both at once;
# hard links cost no space.
pair="$corpus/content-large-pair"
mkdir -p "$pair"
ln -f "$L/huge.log" "$pair/first.log"
ln -f "$L/huge.log" "$pair/second.log"
memory_cases=(
  "baseline: empty folder|$Q find --in $empty --name *.txt --format paths --quiet"
  "content: 1 file of 1 MiB|$Q find --in $C/part-00 --name doc-0000.txt --text $LITERAL --match-case --encodings ansi --format paths --quiet"
  "content: 100 files, 100 MiB|$Q find --in $C/part-00 --text $LITERAL --match-case --encodings ansi --format paths --quiet"
  "content: 1000 files, 1 GiB|$Q find --in $C --text $LITERAL --match-case --encodings ansi --format paths --quiet"
  "content: 1 file of 256 MiB|$Q find --in $L --text $LITERAL --match-case --encodings ansi --format paths --quiet"
  "content: 2 files of 256 MiB|$Q find --in $pair --text $LITERAL --match-case --encodings ansi --format paths --quiet"
  "content: 1 file of 256 MiB, default encodings, any case|$Q find --in $L --text $LITERAL --format paths --quiet"
  "name walk: $subtree_entries entries|$Q find --in $subtree --name *.txt --format paths --quiet"
  "name walk: $all_entries entries|$Q find --in $T --name *.txt --format paths --quiet"
  "name walk: $subtree_entries entries, every one a row|$Q find --in $subtree --name * --format paths --quiet"
  "name walk: $all_entries entries, every one a row|$Q find --in $T --name * --format paths --quiet"
)
{
  echo "| case | peak RSS (KiB) | peak heap (bytes, massif) |"
  echo "|---|---:|---:|"
  for entry in "${memory_cases[@]}"; do
    label="${entry%%|*}"
    # The commands hold no quoted blanks, so word splitting rebuilds the argument list.
    read -r -a argv <<<"${entry#*|}"
    rss="$(peak_rss "${argv[@]}")"
    heap="-"
    if [ "$massif" -eq 1 ] && command -v valgrind >/dev/null; then
      heap="$(peak_heap "${argv[@]}")"
    fi
    echo "| $label | $rss | $heap |"
  done
} | tee "$results/memory.md"
rmdir "$empty"

echo
echo "== bars"
python3 - "$results" <<'PY' | tee "$results/bars.md"
import json
import os
import sys

results = sys.argv[1]

def times(name, key):
    with open(os.path.join(results, name + ".json")) as f:
        return [r[key] for r in json.load(f)["results"]]

# Each bar is judged on the fastest run of every command, which another process on the machine
# can only slow down, never speed up; the medians are shown beside it.
rows = []
def bar(label, name, formula, ratio_text):
    cells = []
    verdicts = []
    for key in ("min", "median"):
        value, limit, ratio = formula(*times(name, key))
        verdicts.append("met" if value <= limit else "NOT met")
        cells.append(f"{value * 1000:.1f} ms | {limit * 1000:.1f} ms | {ratio_text(ratio)}")
    rows.append(f"| {label} | {cells[0]} | **{verdicts[0]}** | {cells[1]} | {verdicts[1]} |")

bar("name walk <= 1/2 find -name", "names",
    lambda q, find, fd: (q, find / 2, q / find), lambda r: f"{r:.2f}x find")
bar("name walk <= fdfind -u -j2", "names",
    lambda q, find, fd: (q, fd, q / fd), lambda r: f"{r:.2f}x fd")
bar("content, case-sensitive ANSI <= rg -s", "content-cs",
    lambda q, rg, rg1: (q, rg, q / rg), lambda r: f"{r:.2f}x rg")
bar("content, case-insensitive ANSI <= rg -i", "content-ci",
    lambda q, rg, rg1: (q, rg, q / rg), lambda r: f"{r:.2f}x rg")
bar("three encodings <= 1.2x one encoding", "content-encodings",
    lambda one, three, *_: (three, 1.2 * one, three / one), lambda r: f"{r:.2f}x one")
bar("three encodings <= 1.2x one, non-ASCII literal", "content-encodings",
    lambda _one, _three, one, three, *_: (three, 1.2 * one, three / one),
    lambda r: f"{r:.2f}x one")
bar("three encodings <= 1.2x one, non-ASCII literal, any case", "content-encodings",
    lambda _a, _b, _c, _d, one, three: (three, 1.2 * one, three / one),
    lambda r: f"{r:.2f}x one")
bar("duplicates <= 1.1x find/cmp", "dupes",
    lambda q, cmp, jd: (q, 1.1 * cmp, q / cmp), lambda r: f"{r:.2f}x find/cmp")
bar("duplicates <= 1/4 jdupes -r -q", "dupes",
    lambda q, cmp, jd: (q, jd / 4, q / jd), lambda r: f"{r:.2f}x jdupes")
print("| bar | quillfen (min) | limit (min) | ratio (min) | verdict | quillfen (median) "
      "| limit (median) | ratio (median) | verdict (median) |")
print("|---|---:|---:|---|---|---:|---:|---|---|")
print("\n".join(rows))
PY

{
  echo "# Results ($(date -u +%Y-%m-%d), $(nproc) cores, $(uname -r))"
  echo
  if [ -n "$commit" ]; then
    echo "quillfen-cli built from a snapshot of commit $sha"
  else
    echo "quillfen-cli from the working tree at commit $(git -C "$repo" rev-parse --short HEAD 2>/dev/null || echo unknown)" \
      "$(git -C "$repo" status --porcelain -- src 2>/dev/null | grep -q . && echo '(src/ has uncommitted changes)')"
  fi
  echo
  echo '## Checks'
  echo
  echo '```'
  cat "$checks"
  echo '```'
  for name in names content-cs content-ci content-encodings dupes; do
    echo
    echo "## $name"
    echo
    cat "$results/$name.md"
  done
  echo
  echo '## Peak memory'
  echo
  cat "$results/memory.md"
  echo
  echo '## Bars'
  echo
  cat "$results/bars.md"
} >"$results/summary.md"
echo
echo "summary written to $results/summary.md"
