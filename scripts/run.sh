#!/usr/bin/env bash
# Starts the program from a build folder.
set -euo pipefail
bin=$1
if [ -x "$bin/quillfen" ]; then
  exec "$bin/quillfen"
fi
echo "Quillfen is built in $bin; the search window will open here once it exists (for now: the libraries and their tests)."
