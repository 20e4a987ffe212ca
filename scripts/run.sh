#!/usr/bin/env bash
# Starts the program from a build folder. Without a display it says so and shows the same engine
# at work from the command line, searching the project's own folder.
set -euo pipefail
bin=$1
project=$(cd "$(dirname "$0")/.." && pwd)
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$bin/quillfen" "$project"
fi
echo "No display here, so no window: running quillfen-cli find --in $project --name '*.h *.cpp' --sort name instead."
exec "$bin/quillfen-cli" find --in "$project" --name '*.h *.cpp' --sort name --format table
