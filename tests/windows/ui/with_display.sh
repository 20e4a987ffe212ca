#!/usr/bin/env bash
# Runs a command with DISPLAY set to an X server of its own: with_display.sh XVFB COMMAND...
# The server takes the first free display number from 90 on and ends with the command.
set -euo pipefail
xvfb=$1
shift
for number in $(seq 90 140); do
    [ -e "/tmp/.X${number}-lock" ] && continue
    "$xvfb" ":$number" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
    server=$!
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$number" ] && break
        kill -0 "$server" 2>/dev/null || break
        sleep 0.1
    done
    if ! kill -0 "$server" 2>/dev/null; then
        continue
    fi
    trap 'kill "$server" 2>/dev/null || true' EXIT
    status=0
    DISPLAY=":$number" "$@" || status=$?
    exit "$status"
done
echo "with_display.sh: no free X display between :90 and :140" >&2
exit 1
