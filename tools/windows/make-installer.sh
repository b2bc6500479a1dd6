#!/usr/bin/env bash
# Makes the Windows installer talmero-<version>-windows-x64-setup.exe beside the zip, with NSIS,
# from the program folder build-talmero.sh lays out (it is built first when missing). The
# installer holds the folder as built, without what running the programs left in it, and the
# marker that makes the program keep the user's files in %LOCALAPPDATA%\Talmero.
# --quick compresses less, for trying the installer out.
set -euo pipefail
. "$(dirname "$0")/common.sh"

program="$TALMERO_WIN_BUILD/talmero"
[ -f "$program/talmero.exe" ] || "$TALMERO_WINDOWS_TOOLS/build-talmero.sh"
need_packages nsis
quick=()
[ "${1:-}" = "--quick" ] && quick=(-DQUICK)

version="$(sed -n 's/^project(Talmero VERSION \([0-9.]*\).*/\1/p' "$TALMERO_ROOT/CMakeLists.txt")"
installer="$TALMERO_WIN_BUILD/talmero-$version-windows-x64-setup.exe"
work="$TALMERO_WIN_BUILD/installer"
stage="$work/Talmero"
rm -rf "$work" "$installer"
mkdir -p "$work"
cp -r "$program" "$stage"
rm -rf "$stage/Recent.txt" "$stage/Projects" "$stage/prev.bmp" "$stage/Fonts/temp.bmp"
cp "$TALMERO_ROOT/packaging/installed.txt" "$stage/"

# The file lists: every file installed, and removed again by the uninstaller, deepest first.
(
    cd "$stage"
    find . -type d | sort | while read -r dir; do
        rel="${dir#./}"
        [ "$dir" = . ] && rel=""
        printf 'SetOutPath "$INSTDIR%s"\n' "${rel:+\\${rel//\//\\}}"
        find "$dir" -maxdepth 1 -type f | sort | while read -r file; do
            printf 'File "%s"\n' "$stage/${file#./}"
        done
    done
) >"$work/files.nsh"
(
    cd "$stage"
    find . -type f | sort | while read -r file; do
        rel="${file#./}"
        printf 'Delete "$INSTDIR\\%s"\n' "${rel//\//\\}"
    done
    find . -mindepth 1 -type d | sort -r | while read -r dir; do
        rel="${dir#./}"
        printf 'RMDir "$INSTDIR\\%s"\n' "${rel//\//\\}"
    done
) >"$work/unfiles.nsh"

log "making $installer"
makensis -V2 -X"!addincludedir $work" "${quick[@]}" -DVERSION="$version" -DOUTFILE="$installer" \
    "$TALMERO_ROOT/packaging/windows/talmero.nsi"
rm -rf "$work"
log "installer: $installer ($(du -h "$installer" | cut -f1))"
