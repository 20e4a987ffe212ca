#!/usr/bin/env bash
# Measures the file-name index against a walk and against plocate, warm cache unless --cold.
#
#   bench/index-bench.sh [--entries N] [--dir DIR] [--runs R] [--cold]
#
#   --entries N  size of the generated tree, rounded up to folders of 2,000 files (default 1000000)
#   --dir DIR    where the tree, the index and the plocate database live
#                (default /tmp/quillfen-index-bench); a finished tree of that size is reused
#   --runs R     hyperfine runs per command (default 10)
#   --cold       also times a search after the page cache was dropped (needs root, and drops the
#                cache of the whole machine)
#
# With build/release/bin/window_bench present, the window's first rows are timed as well.
#
# Needs a release build (build/release/bin/quillfen-cli), hyperfine, plocate and rg
# (scripts/install-deps.sh --bench). Prints the timings, then a table of ratios with the goals.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
repo="$(dirname "$here")"
cli="${QUILLFEN_CLI:-$repo/build/release/bin/quillfen-cli}"
entries=1000000
dir=/tmp/quillfen-index-bench
runs=10
cold=0

usage() {
  echo "usage: $0 [--entries N] [--dir DIR] [--runs R]" >&2
  exit 2
}

parse_args() {
  while [ $# -gt 0 ]; do
    case "$1" in
      --entries) entries="${2:?}"; shift 2 ;;
      --dir) dir="${2:?}"; shift 2 ;;
      --runs) runs="${2:?}"; shift 2 ;;
      --cold) cold=1; shift ;;
      *) usage ;;
    esac
  done
}

check_tools() {
  [ -x "$cli" ] || { echo "no $cli: cmake --preset release && cmake --build --preset release --target quillfen-cli" >&2; exit 2; }
  for tool in hyperfine plocate updatedb rg; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: scripts/install-deps.sh --bench" >&2; exit 2; }
  done
}

now_ns() { date +%s%N; }

# Median in seconds of one hyperfine run, read from its JSON export.
median_of() {
  python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["results"][0]["median"])' "$1"
}

ratio() { python3 -c 'import sys; print("%.3f" % (float(sys.argv[1]) / float(sys.argv[2])))' "$1" "$2"; }

# Times one command with hyperfine, without a shell in between (the fast commands take a few
# milliseconds) and with its output discarded; the median lands in $results/NAME.json.
measure() {
  local name="$1"
  shift
  hyperfine -N --output=null --warmup 2 --runs "${measure_runs:-$runs}" --style basic \
    --export-json "$results/$name.json" "$@" >&2
}

make_tree() {
  local folders=$(((entries + 1999) / 2000))
  tree="$dir/tree-$folders"
  "$here/make-window-tree.sh" --folders "$folders" "$tree"
  entry_count=$(find "$tree" -mindepth 1 | wc -l)
}

build_index() {
  export XDG_CACHE_HOME="$dir/cache"
  "$cli" index remove "$tree" >/dev/null 2>&1 || true
  local start
  start=$(now_ns)
  "$cli" index add "$tree" >/dev/null
  index_seconds=$(python3 -c "print(($(now_ns) - $start) / 1e9)")
  index_bytes=$(du -cb "$XDG_CACHE_HOME"/quillfen/index/*.qfi | tail -1 | cut -f1)
}

build_plocate() {
  db="$dir/plocate.db"
  local start
  start=$(now_ns)
  updatedb -l 0 -U "$tree" -o "$db"
  updatedb_seconds=$(python3 -c "print(($(now_ns) - $start) / 1e9)")
}

# Both tools must agree on the number of hits, or the timings compare different work.
check_hits() {
  local label="$1" name="$2" glob="$3" ours theirs
  ours=$("$cli" find --quiet --format paths --in "$tree" --name "$name" | wc -l) || true
  theirs=$(plocate -d "$db" "$glob" | wc -l) || true
  echo "$label pattern: quillfen $ours hits, plocate $theirs hits" >&2
  [ "$ours" -eq "$theirs" ] || echo "warning: the hit counts differ" >&2
}

# Rare: one hit in each 40 folders or so (always one in folder-000); common: one name in eight.
time_searches() {
  local label="$1" name="$2" glob="$3"
  check_hits "$label" "$name" "$glob"
  measure "$label-index" "'$cli' find --quiet --format paths --in '$tree' --name '$name'"
  measure "$label-walk" "'$cli' find --quiet --no-index --format paths --in '$tree' --name '$name'"
  measure "$label-plocate" "plocate -d '$db' '$glob'"
}

time_startup() {
  measure version-quillfen "'$cli' --version"
  measure version-rg "rg --version"
}

# Before each run a file appears in, or leaves, every hundredth folder, so that each update
# finds 1% of the folders changed. The fresh walk searches for the rare name, so that it pays for
# the listing rather than for printing every path.
time_refresh() {
  local churn="$dir/churn.sh"
  cat >"$churn" <<CHURN
#!/usr/bin/env bash
set -euo pipefail
n=0
for folder in "$tree"/folder-*/; do
  if [ \$((n % 100)) -eq 0 ]; then
    if [ -e "\$folder/churn.tmp" ]; then rm "\$folder/churn.tmp"; else : >"\$folder/churn.tmp"; fi
  fi
  n=\$((n + 1))
done
CHURN
  chmod +x "$churn"
  measure refresh-update --prepare "$churn" "'$cli' index update '$tree'"
  measure refresh-search --prepare "$churn" "'$cli' find --quiet --format paths --in '$tree' --name 'report-0000.*'"
  measure refresh-walk --prepare "$churn" "'$cli' find --quiet --no-index --format paths --in '$tree' --name 'report-0000.*'"
  "$cli" index update "$tree" >/dev/null
}

# Building looks up every entry for its size and time, as a walk with a size test does.
time_build() {
  measure_runs=3 measure build-index "'$cli' index add '$tree'"
  measure_runs=3 measure build-walk "'$cli' find --quiet --no-index --format paths --in '$tree' --size-at-least 0"
}

# Peak resident memory of the common search from the index, per indexed entry.
measure_memory() {
  local kilobytes
  kilobytes=$( { /usr/bin/time -f '%M' "$cli" find --quiet --format paths --in "$tree" --name '*.txt' >/dev/null; } 2>&1 | tail -1)
  rss_per_entry=$(python3 -c "print('%.1f' % ($kilobytes * 1024 / $entry_count))")
}

time_window() {
  local bench="$repo/build/release/bin/window_bench"
  window_line="(no $bench)"
  [ -x "$bench" ] || return 0
  window_line=$(XDG_CONFIG_HOME="$dir/config" "$bench" --first-rows "$tree" 5 2>/dev/null | tail -1)
}

time_cold() {
  [ "$cold" -eq 1 ] || return 0
  measure_runs=3 measure cold-index --prepare "sh -c 'sync; echo 3 > /proc/sys/vm/drop_caches'" \
    "'$cli' find --quiet --format paths --in '$tree' --name 'report-0000.*'"
}

row() { printf '%-46s %10s   %s\n' "$1" "$2" "$3"; }

m() { median_of "$results/$1.json"; }

print_table() {
  local bytes_per_entry
  bytes_per_entry=$(python3 -c "print('%.1f' % ($index_bytes / $entry_count))")
  echo
  echo "tree: $tree, $entry_count entries; $(date -u '+%Y-%m-%d %H:%M UTC'); warm cache"
  echo "index add: ${index_seconds} s; updatedb: ${updatedb_seconds} s; index on disk: $index_bytes bytes"
  echo
  row "measure" "value" "goal"
  row "rare name: index / plocate" "$(ratio "$(m rare-index)" "$(m rare-plocate)")" "<= 1.0"
  row "common name (*.txt): index / plocate" "$(ratio "$(m common-index)" "$(m common-plocate)")" "<= 1.5"
  row "rare name: index / walk" "$(ratio "$(m rare-index)" "$(m rare-walk)")" "<= 0.02"
  row "common name (*.txt): index / walk" "$(ratio "$(m common-index)" "$(m common-walk)")" "<= 0.02"
  row "index bytes on disk per entry" "$bytes_per_entry" "<= 40"
  row "--version: quillfen-cli / rg" "$(ratio "$(m version-quillfen)" "$(m version-rg)")" "<= 1.5"
  row "search after 1% of folders changed / walk" "$(ratio "$(m refresh-search)" "$(m refresh-walk)")" "<= 0.3"
  row "index update after 1% changed / walk" "$(ratio "$(m refresh-update)" "$(m refresh-walk)")" "(writes)"
  row "index add / walk looking up every entry" "$(ratio "$(m build-index)" "$(m build-walk)")" "<= 1.1"
  row "resident bytes per entry, common search" "$rss_per_entry" "<= 64"
  [ "$cold" -eq 1 ] && row "rare name after dropping the cache (s)" "$(m cold-index)" "<= 1"
  echo "window: $window_line (goal: p95 <= 20 ms)"
  echo
  echo "medians (s): rare index $(m rare-index), walk $(m rare-walk), plocate $(m rare-plocate);" \
    "common index $(m common-index), walk $(m common-walk), plocate $(m common-plocate);" \
    "version $(m version-quillfen) vs rg $(m version-rg); after 1% changed: search" \
    "$(m refresh-search), update $(m refresh-update), walk $(m refresh-walk);" \
    "build $(m build-index) vs walk $(m build-walk)"
}

main() {
  parse_args "$@"
  check_tools
  mkdir -p "$dir"
  results="$dir/results"
  mkdir -p "$results"
  make_tree
  build_index
  build_plocate
  time_searches rare "report-0000.*" "*/report-0000.*"
  time_searches common "*.txt" "*/*.txt"
  time_startup
  time_refresh
  time_build
  measure_memory
  time_window
  time_cold
  print_table
}

main "$@"
