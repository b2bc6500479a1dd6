#!/usr/bin/env bash
# Builds Talmero for 64-bit Windows against the cross Qt (made first when missing): the program
# folder $TALMERO_WIN_BUILD/talmero laid out as on Linux, with every DLL the programs load beside
# them, and talmero-windows-x64.zip of it. With --tests the test programs are built too.
set -euo pipefail
. "$(dirname "$0")/common.sh"

with_tests=0
[ "${1:-}" = "--tests" ] && with_tests=1

"$TALMERO_WINDOWS_TOOLS/build-cross-qt.sh"
need_packages mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix ninja-build cmake \
    qt6-base-dev qt6-base-dev-tools

started=$(date +%s)
log "configuring $TALMERO_WIN_BUILD"
cmake -G Ninja -S "$TALMERO_ROOT" -B "$TALMERO_WIN_BUILD" \
    -DCMAKE_TOOLCHAIN_FILE="$MINGW_TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$QT_MINGW_PREFIX" -DCMAKE_FIND_ROOT_PATH="$QT_MINGW_PREFIX" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v wine || echo wine)"
targets=(talmero talmero-cli program_folder)
[ $with_tests -eq 1 ] && targets=(all)
log "building ${targets[*]}"
cmake --build "$TALMERO_WIN_BUILD" -j "$JOBS" --target "${targets[@]}"

# The DLLs beside the programs: Qt, the platform and style plugins, libjpeg, the MinGW runtime.
program="$TALMERO_WIN_BUILD/talmero"
gcc_runtime="$(dirname "$($MINGW_TRIPLET-g++-posix -print-libgcc-file-name)")"
for dll in Qt6Core Qt6Gui Qt6Widgets libjpeg-62; do
    cp -u "$QT_MINGW_PREFIX/bin/$dll.dll" "$program/"
done
cp -u "$gcc_runtime/libstdc++-6.dll" "$gcc_runtime/libgcc_s_seh-1.dll" \
    "/usr/$MINGW_TRIPLET/lib/libwinpthread-1.dll" "$program/"
mkdir -p "$program/platforms" "$program/styles"
cp -u "$QT_MINGW_PREFIX/plugins/platforms/qwindows.dll" \
    "$QT_MINGW_PREFIX/plugins/platforms/qoffscreen.dll" "$program/platforms/"
cp -u "$QT_MINGW_PREFIX/plugins/styles/qwindowsvistastyle.dll" "$program/styles/"
# The DLLs carry their symbols (Debian's libstdc++ is 23 MB with them, 2 MB without).
$MINGW_TRIPLET-strip --strip-unneeded "$program"/*.dll "$program"/*/*.dll

# Every DLL a program or plugin imports must be in the folder or be part of Windows.
missing=0
for binary in "$program"/*.exe "$program"/*.dll "$program"/*/*.dll; do
    for dll in $($MINGW_TRIPLET-objdump -p "$binary" | sed -n 's/^\tDLL Name: //p'); do
        [ -e "$program/$dll" ] && continue
        case "${dll,,}" in
            libstdc++-6.dll | libgcc_s_seh-1.dll | libwinpthread-1.dll | qt6* | libjpeg*)
                echo "$binary needs $dll, which is not in the program folder" >&2
                missing=1 ;;
        esac
    done
done
[ $missing -eq 0 ] || exit 1

# The zip holds the folder as built, without what running the programs or the tests left in it.
zip="$TALMERO_WIN_BUILD/talmero-windows-x64.zip"
stage="$TALMERO_WIN_BUILD/package"
rm -rf "$stage" "$zip"
mkdir -p "$stage"
cp -r "$program" "$stage/Talmero"
rm -rf "$stage/Talmero/Recent.txt" "$stage/Talmero/Projects"/*
(cd "$stage" && cmake -E tar cf "$zip" --format=zip Talmero)
rm -rf "$stage"
log "built in $(( $(date +%s) - started )) s: $program, $zip ($(du -h "$zip" | cut -f1))"
