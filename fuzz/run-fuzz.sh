#!/usr/bin/env bash
# Builds one fuzz target with clang, libFuzzer and the address and undefined-behaviour sanitizers,
# then fuzzes it for SECONDS (default 60), starting from its seed corpus.
# Usage: fuzz/run-fuzz.sh TARGET [SECONDS] [more libFuzzer options...]
#        fuzz/run-fuzz.sh --list
# The build lands in build/fuzz; the growing corpus in build/fuzz/corpus/TARGET; crashing inputs
# (crash-*, leak-*, timeout-*, oom-*) in build/fuzz/artifacts/TARGET. Replay one with
# build/fuzz/bin/TARGET FILE.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
targets=$(sed -n 's/^quillfen_fuzz_target(\([a-z0-9_]*\).*/\1/p' "$root/fuzz/CMakeLists.txt")

if [[ $# -lt 1 || "$1" == "--list" ]]; then
    echo "Targets:" $targets
    [[ $# -ge 1 ]] && exit 0
    echo "Usage: $0 TARGET [SECONDS] [libFuzzer options...]" >&2
    exit 2
fi
target="$1"
seconds="${2:-60}"
shift $(( $# >= 2 ? 2 : 1 ))
if ! grep -qx "$target" <<<"$targets"; then
    echo "Unknown target $target; targets: " $targets >&2
    exit 2
fi

build="$root/build/fuzz"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DQUILLFEN_LIBFUZZER=ON -DQUILLFEN_SANITIZE=ON -DQUILLFEN_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target "$target"

corpus="$build/corpus/$target"
artifacts="$build/artifacts/$target"
mkdir -p "$corpus" "$artifacts"
options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1
         -artifact_prefix="$artifacts/")
dictionary="$root/fuzz/${target%_fuzz}.dict"
[[ -f "$dictionary" ]] && options+=(-dict="$dictionary")
# The command-line target prints usage errors; the others print nothing worth reading.
options+=(-close_fd_mask=1)

echo "Fuzzing $target for $seconds s"
cd "$build"
QT_QPA_PLATFORM=offscreen "$build/bin/$target" "${options[@]}" "$@" "$corpus" \
    "$build/fuzz/seeds/$target"
