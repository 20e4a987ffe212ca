#!/usr/bin/env bash
# Builds and runs the Google Benchmark programs of this folder with the release preset.
#
#   bench/run-micro.sh [extra Google Benchmark flags, e.g. --benchmark_filter=CachedFile]
#
# Each program runs three times and reports mean, median and spread, because the numbers are
# small enough for any other work on the machine to move a single run.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target content_search_bench result_table_bench >/dev/null
for program in content_search_bench result_table_bench; do
  echo "== $program"
  "build/release/bin/$program" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true "$@"
done
