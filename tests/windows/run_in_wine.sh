#!/usr/bin/env bash
# Runs a Windows test program under Wine: run_in_wine.sh WINE PROGRAM [ARGUMENTS...]. The
# program's output goes through a file and is printed once the program has ended: Wine's helper
# processes (its services, and now and then a console host that outlives the program it served)
# inherit the output, and ctest would wait for them to let go of its pipe long after the program
# has ended.
set -uo pipefail
wine=$1
shift
output=$(mktemp)
trap 'rm -f "$output"' EXIT
"$wine" "$@" >"$output" 2>&1
status=$?
cat "$output"
exit "$status"
