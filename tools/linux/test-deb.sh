#!/usr/bin/env bash
# Installs the package make-deb.sh built (or the .deb given) with apt, starts /usr/bin/talmero
# under Xvfb as an ordinary user on the shipped example, checks that the user's files land in
# ~/.local/share/Talmero and nothing in the installation, then removes the package and checks that
# none of its files is left. Needs root; changes the system's packages.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
deb="${1:-$(ls "${TALMERO_DEB_BUILD:-$root/build-deb}"/talmero_*_amd64.deb)}"
user=talmero-check
fail() { echo "FAIL: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || fail "run as root"
DEBIAN_FRONTEND=noninteractive apt-get install -y "$(realpath "$deb")"
id "$user" >/dev/null 2>&1 || useradd --create-home "$user"
home="$(getent passwd "$user" | cut -d: -f6)"
rm -rf "$home/.local/share/Talmero"

# The program runs until it is stopped; a few seconds give it time to read the file and write
# the recent list.
cd "$home"
runuser -u "$user" -- timeout 8 xvfb-run -a /usr/bin/talmero /usr/share/talmero/Examples/Castle.dlg \
    || [ $? -eq 124 ] || fail "talmero did not start"
grep -q "Castle.dlg" "$home/.local/share/Talmero/Recent.txt" || fail "no Recent.txt in the user's data folder"
[ ! -e /usr/share/talmero/Recent.txt ] || fail "Recent.txt written into the installation"
runuser -u "$user" -- /usr/bin/talmero-cli --help | grep -F "$home/.local/share/Talmero" \
    >/dev/null || fail "talmero-cli --help does not name the user's data folder"
echo "ok: installed, started, Recent.txt in $home/.local/share/Talmero"

files="$(dpkg -L talmero)"
DEBIAN_FRONTEND=noninteractive apt-get remove -y talmero
left=0
while read -r path; do
    # Folders shared with other packages stay; files and the package's own folders go.
    if [ -f "$path" ] || [ -L "$path" ] || { [ -d "$path" ] && [[ "$path" == *talmero* ]]; }; then
        echo "left: $path" >&2
        left=1
    fi
done <<<"$files"
[ $left -eq 0 ] || fail "files of the package remain"
echo "ok: removed, no file of the package left"
