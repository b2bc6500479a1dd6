#!/usr/bin/env bash
# Builds Qt's qtbase (Core, Gui, Widgets, Test, the windows and offscreen platform plugins) and
# libjpeg for 64-bit Windows with MinGW-w64, from Debian's own source packages of the versions
# the host has, into $QT_MINGW_PREFIX (default ~/.cache/talmero/qt-mingw-6.4.2). A finished
# prefix is reused: the script then only says where it is.
set -euo pipefail
. "$(dirname "$0")/common.sh"

stamp="$QT_MINGW_PREFIX/.talmero-complete"
if [ -f "$stamp" ]; then
    log "cross Qt present: $QT_MINGW_PREFIX"
    exit 0
fi

need_packages mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix ninja-build cmake \
    dpkg-dev xz-utils qt6-base-dev qt6-base-dev-tools
host_qt_version="$(dpkg-query -W -f='${Version}' qt6-base-dev)"
case "$host_qt_version" in
    "$QT_MINGW_VERSION"+*) ;;
    *) echo "the host Qt is $host_qt_version, the cross Qt must be $QT_MINGW_VERSION" >&2; exit 1 ;;
esac

work="$TALMERO_CACHE/qt-mingw-work"
mkdir -p "$work"
cd "$work"
started=$(date +%s)

# A private apt configuration holding the system's own Debian entries turned into deb-src
# entries: the system's sources and lists stay untouched.
apt_dir="$work/apt"
rm -rf "$apt_dir"
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    # deb822 stanzas: keep those serving the release itself, as source entries.
    awk -v codename="$codename" '
        BEGIN { RS = ""; ORS = "\n\n" }
        {
            n = split($0, lines, "\n"); serves = 0; binary = 0; out = ""
            for (i = 1; i <= n; i++) {
                line = lines[i]
                if (line ~ /^Types:/ && line ~ /[ \t]deb([ \t]|$)/) { binary = 1; line = "Types: deb-src" }
                if (line ~ /^Suites:/) {
                    m = split(line, words, /[ \t]+/)
                    for (j = 2; j <= m; j++) if (words[j] == codename) serves = 1
                }
                if (line ~ /^Enabled:[ \t]*no/) binary = 0
                out = out line "\n"
            }
            if (serves && binary) print out
        }' "$f" >"$apt_dir/sources.list.d/$(basename "$f")"
done
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    # One-line entries: "deb [options] uri suite components".
    awk -v codename="$codename" '
        $1 == "deb" {
            i = 2
            if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
            if ($(i + 1) == codename) { $1 = "deb-src"; print }
        }' "$f" >"$apt_dir/sources.list.d/$(basename "$f")"
done
apt_opts=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
          -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
          -o "Dir::Etc::Preferences=/dev/null" -o "Dir::Etc::PreferencesParts=$apt_dir/none")
[ "$(id -u)" -eq 0 ] && apt_opts+=(-o "APT::Sandbox::User=root")
if ! grep -qs deb-src "$apt_dir"/sources.list.d/*; then
    echo "no Debian entry for $codename found in the system's apt sources" >&2
    exit 1
fi
log "fetching the sources"
apt-get "${apt_opts[@]}" update
jpeg_version="$(dpkg-query -W -f='${source:Version}' libjpeg62-turbo-dev 2>/dev/null || true)"
[ -d src ] || {
    mkdir -p src.tmp
    (cd src.tmp && apt-get "${apt_opts[@]}" source "qt6-base=$host_qt_version" \
        "libjpeg-turbo${jpeg_version:+=$jpeg_version}")
    # Debian's qtbase tarball leaves out the tablet header; Wine's LGPL one serves.
    (cd src.tmp && apt-get download libwine-dev && dpkg-deb -x libwine-dev_*.deb wine-dev)
    mv src.tmp src
}

qt_src="$work/src/qt6-base-$QT_MINGW_VERSION+dfsg"
jpeg_src="$(ls -d "$work"/src/libjpeg-turbo-*/ | head -n 1)"

# The three places where this qtbase does not build for MinGW as configured here.
# 1. The tablet header: Wine's, with the naming macros of Wine's own headers and the calling
#    convention macro of the original header defined first.
wintab="$work/wintab-include"
mkdir -p "$wintab"
{
    printf '%s\n' '#include <windows.h>' '#ifndef WINELIB_NAME_AW' \
        '#define WINELIB_NAME_AW(func) func##W' \
        '#define DECL_WINELIB_TYPE_AW(type) typedef type##W type;' '#endif' \
        '#ifndef API' '#define API WINAPI' '#endif'
    cat "$work/src/wine-dev/usr/include/wine/wine/windows/wintab.h"
} >"$wintab/wintab.h"
cp "$work/src/wine-dev/usr/include/wine/wine/windows/pktdef.h" "$wintab/"
# 2. OpenGL is off: INPUT_opengl=no below switches dynamicgl off with it.
# 3. Direct2D is off: the platform plugin's DirectWrite 3 font database needs it too.
sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
    "$qt_src/src/plugins/platforms/windows/qwindowsintegration.cpp"

log "building libjpeg"
cmake -G Ninja -S "$jpeg_src" -B "$work/build-jpeg" \
    -DCMAKE_TOOLCHAIN_FILE="$MINGW_TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$QT_MINGW_PREFIX" \
    -DENABLE_SHARED=ON -DENABLE_STATIC=OFF -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF
cmake --build "$work/build-jpeg" -j "$JOBS"
cmake --install "$work/build-jpeg"

log "configuring qtbase"
cmake -G Ninja -S "$qt_src" -B "$work/build-qt" \
    -DCMAKE_TOOLCHAIN_FILE="$MINGW_TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$QT_MINGW_PREFIX" \
    -DCMAKE_CXX_FLAGS="-I$wintab" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DINPUT_opengl=no -DFEATURE_opengl=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_vulkan=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_direct2d=OFF \
    -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_system_zlib=OFF \
    -DFEATURE_androiddeployqt=OFF -DFEATURE_jpeg=OFF
log "building qtbase"
cmake --build "$work/build-qt" -j "$JOBS"
cmake --install "$work/build-qt"

touch "$stamp"
rm -rf "$work"
log "cross Qt ready in $(( ($(date +%s) - started) / 60 )) min: $QT_MINGW_PREFIX ($(du -sh "$QT_MINGW_PREFIX" | cut -f1))"
