#!/usr/bin/env bash
# Builds and runs the Google Benchmark programs of this folder with the release preset.
#
#   bench/run-micro.sh [--commit REV] [extra Google Benchmark flags]
#
#   --commit REV    build REV from a snapshot (git archive) in /tmp, shared with compare.sh,
#                   instead of the working tree, which others may be editing
#
# Each program runs three times and reports mean, median and spread, because the numbers are
# small enough for any other work on the machine to move a single run.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source_dir="$repo"
if [ "${1:-}" = "--commit" ]; then
  sha="$(git -C "$repo" rev-parse --short "$2^{commit}")"
  shift 2
  source_dir="${TMPDIR:-/tmp}/quillfen-bench-src-$sha"
  if [ ! -f "$source_dir/CMakePresets.json" ]; then
    mkdir -p "$source_dir"
    git -C "$repo" archive "$sha" | tar -x -C "$source_dir"
  fi
fi
cd "$source_dir"
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target content_search_bench result_table_bench linear_growth_bench >/dev/null
for program in content_search_bench result_table_bench linear_growth_bench; do
  echo "== $program"
  "build/release/bin/$program" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true "$@"
done
