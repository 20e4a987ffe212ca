#!/usr/bin/env bash
# Builds the zip reader's libFuzzer target with clang and runs it for SECONDS (default 60).
# Usage: fuzz/run-fuzz.sh [SECONDS] [more libFuzzer options...]
# Not part of the CMake build or CI. The binary, the growing corpus and any crashing inputs
# (crash-*, leak-*, timeout-*) land in build/fuzz/.
set -euo pipefail

seconds="${1:-60}"
shift || true
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$root/build/fuzz"
corpus="$out/corpus"
seeds="$out/seeds"
mkdir -p "$corpus"

echo "Building $out/zip_reader_fuzz"
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root/src" -I"$root/fuzz" \
    "$root/fuzz/zip_reader_fuzz.cpp" \
    "$root/src/update/ZipReader.cpp" "$root/src/update/CZipException.cpp" \
    "$root/src/platform/Platform.cpp" "$root/src/platform/linux/LinuxFileSystem.cpp" \
    "$root/src/platform/linux/FolderReader.cpp" "$root/src/platform/linux/LinuxClock.cpp" \
    -lz -o "$out/zip_reader_fuzz"

# Small valid archives from independent writers give the fuzzer every record kind to mutate.
rm -rf "$seeds"
mkdir -p "$seeds/files"
(
    cd "$seeds/files"
    printf 'hello, zip\n' >hello.txt
    for i in $(seq 1 300); do echo "line $i of the notes"; done >notes.txt
    : >empty.txt
    head -c 17000 /dev/zero | tr '\0' 'z' >big.txt
    zip -q -X -0 "$seeds/zip-stored.zip" hello.txt empty.txt
    zip -q -X -9 "$seeds/zip-deflated.zip" notes.txt hello.txt
    zip -q -0 "$seeds/zip-big-stored.zip" big.txt
    if command -v cmake >/dev/null; then
        cmake -E tar cf "$seeds/cmake-descriptor.zip" --format=zip notes.txt empty.txt
    fi
    python3 - "$seeds" <<'PYTHON'
import sys, zipfile
seeds = sys.argv[1]
notes = open('notes.txt', 'rb').read()
for name, method in (('python-stored.zip', zipfile.ZIP_STORED),
                     ('python-deflated.zip', zipfile.ZIP_DEFLATED)):
    with zipfile.ZipFile(f'{seeds}/{name}', 'w', method) as archive:
        archive.comment = b'archive comment'
        info = zipfile.ZipInfo('notes.txt', date_time=(2021, 6, 15, 13, 45, 30))
        info.compress_type = method
        info.extra = bytes.fromhex('cafe0400deadbeef')
        info.comment = b'entry comment'
        info.external_attr = 0o755 << 16
        archive.writestr(info, notes)
        archive.writestr('hello.txt', b'hello, zip\n')
with zipfile.ZipFile(f'{seeds}/python-empty.zip', 'w') as archive:
    pass
data = open(f'{seeds}/python-deflated.zip', 'rb').read()
open(f'{seeds}/python-data-in-front.zip', 'wb').write(b'#' * 100 + data)
PYTHON
)
rm -rf "$seeds/files"

echo "Fuzzing for $seconds s"
cd "$out"
"$out/zip_reader_fuzz" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -dict="$root/fuzz/zip.dict" -artifact_prefix="$out/" "$@" "$corpus" "$seeds"
