#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need, when missing.
set -euo pipefail
# libfile-mimeinfo-perl: xdg-open outside a desktop environment learns a file's type from its
# mimetype tool; without it every .dlg file counts as plain text.
packages=(cmake g++ make qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev libjpeg-dev
          fonts-dejavu-core clang shared-mime-info desktop-file-utils xdg-utils
          libfile-mimeinfo-perl
          # The packages and their checks: tools/linux/make-deb.sh, tools/windows/make-installer.sh.
          dpkg-dev file lintian appstream nsis xvfb xauth help2man
          # Translations (libgettextpo reads PO files, msgfmt checks them) and spelling.
          libgettextpo-dev gettext libhunspell-dev hunspell-en-us
          # Driving the program by hand under Xvfb: keys and clicks, screenshots.
          xdotool imagemagick
          # tools/check_flow_map.py weighs the flow map's crossings against Graphviz's dot.
          graphviz)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
