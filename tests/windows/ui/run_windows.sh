#!/usr/bin/env bash
# Runs the window tests under Wine: run_windows.sh WINE PROGRAM [ARGUMENTS...]. Without a window
# manager, Wine waits up to 2 s for one each time a window closes unless the prefix says its
# windows are unmanaged; that is set first, on the same display, since the first program of a
# prefix to start without one leaves a desktop that no window can open on.
set -euo pipefail
wine=$1
shift
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
exec "$(dirname "$0")/../run_in_wine.sh" "$wine" "$@"
