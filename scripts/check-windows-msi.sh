#!/usr/bin/env bash
# Installs, starts, upgrades and removes the Windows installer under Wine, in
# a new Wine prefix, as an administrator would on a PC without Tarvane:
#   scripts/check-windows-msi.sh ZIP MSI NEWER_MSI WORK_DIR
# ZIP is the zip the MSI was built from: its files are the ones expected
# under Program Files\Tarvane. NEWER_MSI holds the same files with a higher
# version. WORK_DIR keeps the logs and tarvane-installed.png, the window of
# the installed program. Needs an X server (xvfb-run). Any failed step fails
# the check.
set -euo pipefail
cd "$(dirname "$0")/.."

usage="usage: check-windows-msi.sh tarvane-<version>-windows-x64.zip tarvane.msi newer.msi work-dir"
zip=${1:?$usage} msi=${2:?$usage} newer=${3:?$usage} work=${4:?$usage}
[ -n "${DISPLAY:-}" ] || { echo "check-windows-msi.sh needs an X server (xvfb-run)" >&2; exit 1; }

started=$SECONDS
step() { printf '[check-windows-msi %3ds] %s\n' $((SECONDS - started)) "$*"; }
fail() { echo "check-windows-msi: $*" >&2; exit 1; }
product_version() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductVersion\t//p'; }
version=$(product_version "$msi")
newer_version=$(product_version "$newer")

# Debian's wine64 package puts its loader outside PATH unless the wine
# wrapper package is installed too.
wine=$(command -v /usr/lib/wine/wine64 wine64 wine | head -n 1)
wineserver=$(command -v /usr/lib/wine/wineserver wineserver | head -n 1)
[ -n "$wine" ] && [ -n "$wineserver" ] || fail "Wine is not installed"

# A run stopped early leaves a read-only folder in the prefix.
[ ! -d "$work" ] || chmod -R u+w "$work"
rm -rf "$work"
mkdir -p "$work"
work=$(realpath "$work")
export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all
# No Mono or Gecko installer prompts, and no menu entries on the Linux
# desktop for the Start-menu shortcut.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# An English Windows, and no Qt settings of the build's environment: the
# programs start as on a technician's PC.
export LANG=en_US.UTF-8
unset LC_ALL $(compgen -e | grep '^QT_' || true)
drive_c=$WINEPREFIX/drive_c
installed="$drive_c/Program Files/Tarvane"

wine_path() { printf 'Z:%s' "$(realpath "$1")" | tr / '\\'; }
unix_path() { tr '\\' / | sed "s|^C:|$drive_c|; s|/*$||"; }
run() { timeout --kill-after=10 "${TIMEOUT:-120}" "$wine" "$@"; }
msiexec() { # action msi log
    local status=0
    run msiexec "$1" "$(wine_path "$2")" /qn /l*v "$(wine_path "$work/$3")" || status=$?
    "$wineserver" -w
    return $status
}
# The bytes of a file as " 4c 00 ...", so that one text can be looked for in
# another, byte for byte.
hex() { od -An -tx1 -v | tr -d '\n'; }
contains() { # file text encoding
    [[ "$(hex < "$1")" == *"$(printf '%s' "$2" | iconv -f UTF-8 -t "$3" | hex)"* ]]
}
# The product codes of the programs Wine lists for removal under Tarvane's name.
products() { run uninstaller --list | tr -d '\r' | sed -n 's/^\({[-0-9A-F]*}\)|||Tarvane$/\1/p'; }
# A value of the uninstall entry that check_installed reads.
value() { sed -n "s/^ *$1 *REG_[A-Z_]* *//p" <<< "$entry"; }

step "new Wine prefix"
TIMEOUT=300 run wineboot -i > "$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log" >&2; fail "wineboot failed"; }
"$wineserver" -w
mkdir -p "$work/zip"
unzip -q "$zip" -d "$work/zip"
from_zip="$work/zip/$(basename "$zip" .zip)"

# What one installed version leaves: the zip's files, byte for byte, in
# Program Files\Tarvane and nowhere else; one Start-menu shortcut to
# tarvane.exe with the program's icon and its description in both
# languages; one entry to remove it, of this version.
check_installed() { # version log
    local version=$1 log=$work/$2
    diff -r "$from_zip" "$installed" > "$work/diff.log" ||
        { cat "$work/diff.log" >&2; fail "Program Files\\Tarvane does not hold the zip's files"; }
    local folders
    folders=$(cd "$drive_c" && find . -iname 'tarvane' ! -path './users/*/AppData/Local/tarvane' -printf '%P\n')
    [ "$folders" = "Program Files/Tarvane" ] || fail "Tarvane folders: $folders"

    mapfile -t codes < <(products)
    [ ${#codes[@]} = 1 ] || fail "${#codes[@]} Tarvane products are listed for removal: ${codes[*]}"
    code=${codes[0]}
    local entry
    entry=$(run reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$code" | tr -d '\r')
    [ "$(value DisplayVersion)" = "$version" ] || fail "the uninstall entry is not of version $version"
    [ "$(value Publisher)" = "Tarvane maintainers" ] || fail "the uninstall entry names no publisher"
    [ "$(value UninstallString)" = "MsiExec.exe /X$code" ] || fail "the uninstall entry cannot remove it"
    [ "$(value InstallLocation)" = 'C:\Program Files\Tarvane\' ] || fail "the uninstall entry has not the folder"
    cmp -s Resources/app.ico "$drive_c/windows/Installer/$code/tarvane.ico" || fail "the product's icon is not the program's"

    # Windows Installer chooses the Start menu: all users' for a per-machine
    # package on Windows, the user's under Wine 8.
    local menu
    menu=$(tr -d '\r' < "$log" | sed -n 's/^Property(S): ProgramMenuFolder = //p' | unix_path)
    case "$menu" in
        "$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs") ;;
        "$drive_c/users/"*"/AppData/Roaming/Microsoft/Windows/Start Menu/Programs") ;;
        *) fail "the Start-menu folder is $menu" ;;
    esac
    shortcut="$menu/Tarvane.lnk"
    [ -f "$shortcut" ] || fail "no Tarvane.lnk in $menu"
    local shortcuts
    shortcuts=$(cd "$drive_c" && find . -iname '*tarvane*.lnk' | wc -l)
    [ "$shortcuts" = 1 ] || fail "$shortcuts Tarvane shortcuts"
    contains "$shortcut" 'C:\Program Files\Tarvane\tarvane.exe' ASCII || fail "the shortcut does not start tarvane.exe"
    contains "$shortcut" "C:\\windows\\Installer\\$code\\tarvane.ico" UTF-16LE || fail "the shortcut has not the program's icon"
    contains "$shortcut" 'CAN 中继器配置 / CAN repeater configuration' UTF-16LE ||
        fail "the shortcut's description is not in both languages"
}

step "msiexec /i $(basename "$msi") /qn"
msiexec /i "$msi" install.log || fail "msiexec /i $(basename "$msi") failed (status $?)"
check_installed "$version" install.log
first_code=$code
step "  installed: $(cd "$installed" && find . -type f | wc -l) files, shortcut in ${shortcut#"$drive_c/"}"

# Started from the installed folder, with no search path into the toolchain,
# as the shortcut starts it, by a user who cannot write there: the folder
# read-only, and for root no capability to override that. Wine's server
# opens the files for its programs, so it starts anew as that user too.
step "tarvane.exe from Program Files\\Tarvane, which it cannot write"
as_user=()
[ "$(id -u)" != 0 ] ||
    as_user=(setpriv --inh-caps=-dac_override,-dac_read_search --bounding-set=-dac_override,-dac_read_search --)
"$wineserver" -k 2> /dev/null || true
"$wineserver" -w
chmod -R a-w "$installed"
(cd "$work" && exec "${as_user[@]}" timeout 120 "$wine" 'C:\Program Files\Tarvane\tarvane.exe' > "$work/start.log" 2>&1) &
program=$!
geometry=
for _ in $(seq 60); do
    geometry=$(xwininfo -root -tree | sed -n 's/.*"Tarvane": ("tarvane.exe" [^)]*) *\([0-9]*x[0-9]*\)+-\?[0-9]*+-\?[0-9]* *+\([0-9]*\)+\([0-9]*\)$/\1 \2 \3/p' | head -n 1)
    [ -n "$geometry" ] && break
    kill -0 $program 2> /dev/null || { cat "$work/start.log" >&2; fail "tarvane.exe ended without a window"; }
    sleep 1
done
[ -n "$geometry" ] || { "$wineserver" -k; fail "tarvane.exe showed no window within a minute"; }
read -r size left top <<< "$geometry"
# Taken again until the window has painted itself, for a minute at most.
for _ in $(seq 60); do
    xwd -root -silent | xwdtopnm 2> /dev/null |
        pamcut -left "$left" -top "$top" -width "${size%x*}" -height "${size#*x}" > "$work/window.ppm"
    colours=$(ppmhist -noheader < "$work/window.ppm" | wc -l)
    [ "$colours" -ge 16 ] && break
    sleep 1
done
pnmtopng < "$work/window.ppm" > "$work/tarvane-installed.png"
[ "$colours" -ge 16 ] || fail "the window is blank ($colours colours)"
run taskkill /im tarvane.exe > /dev/null || fail "taskkill found no tarvane.exe"
wait $program || fail "tarvane.exe did not end cleanly when its window was closed"
"$wineserver" -w
chmod -R u+w "$installed"
diff -r "$from_zip" "$installed" > /dev/null || fail "Program Files\\Tarvane changed while tarvane.exe ran"
step "  a $size window ($colours colours): $work/tarvane-installed.png"

cli_version=$(cd "$work" && run 'C:\Program Files\Tarvane\tarvane-cli.exe' --version | tr -d '\r') ||
    fail "tarvane-cli.exe --version failed"
[ "$cli_version" = "tarvane-cli $version" ] || fail "tarvane-cli.exe --version: $cli_version"
step "  tarvane-cli.exe --version: $cli_version"

step "msiexec /i $(basename "$newer") /qn (version $newer_version)"
msiexec /i "$newer" upgrade.log || fail "msiexec /i $(basename "$newer") failed (status $?)"
check_installed "$newer_version" upgrade.log
[ "$code" != "$first_code" ] || fail "the newer version has the same product code"

step "msiexec /i $(basename "$msi") /qn over it: refused"
if msiexec /i "$msi" downgrade.log; then fail "version $version installed over $newer_version"; fi
grep -aq "^Property(S): TARVANE_NEWER = $code" "$work/downgrade.log" ||
    fail "the older version was refused for another reason than the newer one (downgrade.log)"
check_installed "$newer_version" upgrade.log

step "msiexec /x $(basename "$newer") /qn"
msiexec /x "$newer" remove.log || fail "msiexec /x $(basename "$newer") failed (status $?)"
[ ! -e "$installed" ] || fail "Program Files\\Tarvane is still there: $(cd "$installed" && find . | tr '\n' ' ')"
listed=$(products) || fail "the list of installed programs could not be read"
[ -z "$listed" ] || fail "Tarvane is still listed for removal"
[ ! -e "$shortcut" ] || fail "the Start-menu shortcut is still there"
[ ! -e "$drive_c/windows/Installer/$code" ] || fail "the product's icon is still there"
# The users' settings (AppData\Local\tarvane) are theirs, not installed.
leftovers=$(cd "$drive_c" && find . -iname '*tarvane*' ! -path './users/*/AppData/Local/tarvane*')
[ -z "$leftovers" ] || fail "left after removal: $leftovers"
"$wineserver" -k 2> /dev/null || true
step "ok   $(basename "$msi"): installed, started, upgraded to $newer_version, older refused, removed"
