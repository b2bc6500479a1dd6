#!/usr/bin/env bash
# Builds talmero_<version>_amd64.deb in its own build folder ($TALMERO_DEB_BUILD, default
# build-deb), then checks it with lintian and the AppStream metainfo with appstreamcli. Exits
# non-zero when the build fails or either check reports an error.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${TALMERO_DEB_BUILD:-$root/build-deb}"
jobs="${JOBS:-2}"

"$root/tools/install-deps.sh"
# The package needs the programs only: the tests, benchmarks and fuzzers are left unbuilt.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
cmake --build "$build" -j "$jobs" --target talmero talmero-cli packaging_changelog \
    packaging_manpages
rm -f "$build"/talmero_*.deb
(cd "$build" && cpack -G DEB)
deb="$(ls "$build"/talmero_*_amd64.deb)"

echo "== lintian $deb"
# Lintian refuses to run as root unless told; the package's own files are what it checks.
lintian --allow-root --fail-on error "$deb"
echo "== appstreamcli validate"
appstreamcli validate --no-net "$root/packaging/linux/org.example.talmero.metainfo.xml"
echo "$deb"
