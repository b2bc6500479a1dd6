#!/usr/bin/env bash
# Starts the Windows build of Talmero under Wine, in Talmero's own Wine prefix, from its program
# folder (as a double click does), on the X display in $DISPLAY. Arguments go to talmero.exe,
# e.g. Examples\\Castle.dlg. The program folder is the one build-talmero.sh made, or $1 when
# that is a folder (an unpacked zip).
set -euo pipefail
. "$(dirname "$0")/common.sh"

program="$TALMERO_WIN_BUILD/talmero"
if [ -d "${1:-}" ]; then
    program="$1"
    shift
fi
[ -f "$program/talmero.exe" ] || { echo "no talmero.exe in $program: run build-talmero.sh" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "no X display: set DISPLAY (Xvfb :1 & DISPLAY=:1)" >&2; exit 1; }
setup_wine
cd "$program"
exec wine talmero.exe "$@"
