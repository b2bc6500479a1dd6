#!/usr/bin/env bash
# Installs the installer make-installer.sh made (or the one given) silently under Wine, in
# Talmero's own Wine prefix, once for the current user (/CURRENTUSER) and once for all users (Wine
# runs it elevated), checking the files, the Start menu entry and the .dlg registration each
# time; then uninstalls silently and checks that all of it is gone.
set -euo pipefail
. "$(dirname "$0")/common.sh"

version="$(sed -n 's/^project(Talmero VERSION \([0-9.]*\).*/\1/p' "$TALMERO_ROOT/CMakeLists.txt")"
installer="${1:-$TALMERO_WIN_BUILD/talmero-$version-windows-x64-setup.exe}"
[ -f "$installer" ] || { echo "no $installer: run make-installer.sh" >&2; exit 1; }
setup_wine
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }
# The default value of a key, or nothing when the key is missing.
reg_default() { wine reg query "$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p'; }
unix_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }

check_mode() {
    local mode="$1" root="$2" folder="$3" menu="$4"
    log "installing for $mode"
    wine "$(wine_path "$(realpath "$installer")")" /S ${5:-}
    wineserver --wait
    local dir
    dir="$(unix_path "$folder")"
    for file in talmero.exe talmero-cli.exe Qt6Core.dll platforms/qwindows.dll installed.txt \
        uninstall.exe Configs/Example.ini Examples/Castle.dlg Fonts/dummy_font.txt bin/README.txt; do
        [ -f "$dir/$file" ] || fail "$mode: $folder\\$file missing"
    done
    [ -f "$(unix_path "$menu")/Talmero.lnk" ] || fail "$mode: no Start menu entry in $menu"
    [ "$(reg_default "$root\\Software\\Classes\\.dlg")" = "Talmero File" ] || fail "$mode: .dlg not registered"
    [ "$(reg_default "$root\\Software\\Classes\\Talmero File\\Shell\\Open\\Command")" = \
        "\"$folder\\talmero.exe\" \"%1\"" ] || fail "$mode: wrong open command"
    wine reg query "$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Talmero" \
        /v UninstallString >/dev/null 2>&1 || fail "$mode: no uninstall entry"
    # The installed program keeps the user's files in %LOCALAPPDATA%\Talmero.
    wine "$folder\\talmero-cli.exe" --help 2>/dev/null | tr -d '\r' | grep -F "your files are in $appdata\\Talmero" >/dev/null \
        || fail "$mode: talmero-cli --help does not name $appdata\\Talmero"

    log "uninstalling for $mode"
    wine "$folder\\uninstall.exe" /S
    wineserver --wait
    # The uninstaller runs from a copy of itself, which Wine may leave running a moment longer.
    sleep 2
    [ ! -e "$dir" ] || fail "$mode: $dir left: $(find "$dir" | head -n 5)"
    [ ! -e "$(unix_path "$menu")/Talmero.lnk" ] || fail "$mode: Start menu entry left"
    [ -z "$(reg_default "$root\\Software\\Classes\\.dlg")" ] || fail "$mode: .dlg still registered"
    wine reg query "$root\\Software\\Classes\\Talmero File" >/dev/null 2>&1 \
        && fail "$mode: Talmero File key left"
    wine reg query "$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Talmero" \
        >/dev/null 2>&1 && fail "$mode: uninstall entry left"
    return 0
}

appdata="$(wine cmd /c echo %LOCALAPPDATA% | tr -d '\r')"
programs="$(wine cmd /c echo %ProgramW6432% | tr -d '\r')"
user_menu="$(wine cmd /c echo %APPDATA% | tr -d '\r')\\Microsoft\\Windows\\Start Menu\\Programs"
all_menu="$(wine cmd /c echo %ProgramData% | tr -d '\r')\\Microsoft\\Windows\\Start Menu\\Programs"
check_mode "the current user" HKCU "$appdata\\Programs\\Talmero" "$user_menu" /CURRENTUSER
check_mode "all users" HKLM "$programs\\Talmero" "$all_menu"

[ $failed -eq 0 ] || exit 1
log "installer test passed: $installer"
