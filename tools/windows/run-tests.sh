#!/usr/bin/env bash
# Builds Talmero and its tests for Windows (the cross Qt first, when missing) and runs every test
# under Wine with CTest, offscreen, in Talmero's own Wine prefix. CTest prints the summary; the
# exit status is not zero when a test fails. Arguments go to ctest (e.g. -R registration).
# --if-cached: do nothing, successfully, when the cross Qt has not been built yet.
set -euo pipefail
. "$(dirname "$0")/common.sh"

if [ "${1:-}" = "--if-cached" ]; then
    shift
    if [ ! -f "$QT_MINGW_PREFIX/.talmero-complete" ]; then
        log "no cross Qt in $QT_MINGW_PREFIX: the Windows tests are left out (tools/windows/build-cross-qt.sh makes it)"
        exit 0
    fi
fi

"$TALMERO_WINDOWS_TOOLS/build-talmero.sh" --tests
setup_wine

gcc_runtime="$(dirname "$($MINGW_TRIPLET-g++-posix -print-libgcc-file-name)")"
# Qt's own bin folder first: Qt finds its plugins relative to the Qt6Core.dll it loaded.
WINEPATH="$(wine_path "$QT_MINGW_PREFIX/bin");$(wine_path "$gcc_runtime");$(wine_path "/usr/$MINGW_TRIPLET/lib")"
export WINEPATH
export WINEQT_QPA_PLATFORM=offscreen
export WINEQT_FORCE_STDERR_LOGGING=1
export WINEQT_QPA_FONTDIR="$(wine_path /usr/share/fonts/truetype/dejavu)"

started=$(date +%s)
status=0
ctest --test-dir "$TALMERO_WIN_BUILD" --output-on-failure "$@" || status=$?
wineserver --wait || true
log "tests ran in $(( $(date +%s) - started )) s under $(wine --version)"
exit $status
