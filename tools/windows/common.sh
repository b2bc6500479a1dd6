# Shared settings of the Windows scripts; sourced, not run.
# shellcheck shell=bash
TALMERO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
TALMERO_WINDOWS_TOOLS="$TALMERO_ROOT/tools/windows"
QT_MINGW_VERSION=6.4.2
TALMERO_CACHE="${TALMERO_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/talmero}"
# The cross Qt (Core, Gui, Widgets, Test and the platform plugins) and libjpeg for MinGW-w64.
QT_MINGW_PREFIX="${QT_MINGW_PREFIX:-$TALMERO_CACHE/qt-mingw-$QT_MINGW_VERSION}"
MINGW_TRIPLET=x86_64-w64-mingw32
MINGW_TOOLCHAIN="$TALMERO_WINDOWS_TOOLS/mingw-toolchain.cmake"
TALMERO_WIN_BUILD="${TALMERO_WIN_BUILD:-$TALMERO_ROOT/build-windows}"
JOBS="${JOBS:-2}"

log() { printf '[%s] %s\n' "$(date -u +%H:%M:%S)" "$*" >&2; }

# Installs Debian packages when missing (as root, or through sudo).
need_packages() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

# A Wine prefix of Talmero's own, made on first use: the user's ~/.wine is never touched.
# Wine hands the programs WINEQT_* as QT_* and WINEPATH as PATH; QT_* itself does not pass.
setup_wine() {
    need_packages wine wine64
    export WINEPREFIX="${WINEPREFIX_TALMERO:-$TALMERO_CACHE/wineprefix}"
    export WINEARCH=win64
    export WINEDEBUG="${WINEDEBUG:--all}"
    # No Mono or Gecko installer dialogs: nothing here needs .NET or HTML.
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        log "making the Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wine wineboot --init >/dev/null 2>&1
        wineserver --wait
    fi
}

# A Unix path as Windows programs under Wine name it (drive Z: is the Unix root).
wine_path() { local p="Z:$1"; printf '%s' "${p//\//\\}"; }
