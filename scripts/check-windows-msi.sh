#!/usr/bin/env bash
# Installs, starts, upgrades and removes the Windows installer under Wine, in
# a new Wine prefix, as an administrator would on a PC without Tarvane; then
# the same in a folder of the administrator's choice (INSTALLFOLDER=...), whose
# name has blanks and Chinese characters, which the upgrade and the removal
# must find without being told:
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
# Where the files go: Program Files\Tarvane unless INSTALLFOLDER says otherwise.
folder='C:\Program Files\Tarvane'
custom_folder='C:\Tarvane 中继器 配置'
remembered='HKLM\Software\Tarvane'

wine_path() { printf 'Z:%s' "$(realpath "$1")" | tr / '\\'; }
unix_path() { tr '\\' / | sed "s|^C:|$drive_c|; s|/*$||"; }
run() { timeout --kill-after=10 "${TIMEOUT:-120}" "$wine" "$@"; }
msiexec() { # action msi log [PROPERTY=value ...]
    local status=0
    run msiexec "$1" "$(wine_path "$2")" /qn /l*v "$(wine_path "$work/$3")" "${@:4}" || status=$?
    "$wineserver" -w
    return $status
}
# A value from the registry as it is: reg query prints in the console's code
# page, which has no Chinese on an English Windows; an export is UTF-16.
reg_value() { # key name
    local file=$work/export.reg
    rm -f "$file"
    run reg export "$1" "$(wine_path "$work")\\export.reg" /y > /dev/null 2>&1 || return 0
    iconv -f UTF-16LE -t UTF-8 "$file" | tr -d '\r' | sed -n "s/^\"$2\"=\"\(.*\)\"$/\1/p" | sed 's/\\\\/\\/g'
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

# Windows Installer compares the versions of files it finds with those it
# brings: every program and library carries its own in the File table.
file_row() { msiinfo export "$msi" File | tr -d '\r' | awk -F '\t' -v id="$1" '$1 == id { print $5 "\t" $6 }'; }
IFS=. read -r major minor patch _ <<< "$version.0.0"
for id in tarvane.exe tarvane_cli.exe; do
    [ "$(file_row "$id")" = "$major.$minor.$patch.0"$'\t'1033 ] || fail "the File table gives $id the version and language '$(file_row "$id")'"
done
qt_core=$(msiinfo export "$msi" File | tr -d '\r' | awk -F '\t' '$3 ~ /Qt5Core\.dll$/ { print $5 }')
[[ "$qt_core" == 5.15.* ]] || fail "the File table gives Qt5Core.dll the version '$qt_core'"

step "new Wine prefix"
TIMEOUT=300 run wineboot -i > "$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log" >&2; fail "wineboot failed"; }
"$wineserver" -w
mkdir -p "$work/zip"
unzip -q "$zip" -d "$work/zip"
from_zip="$work/zip/$(basename "$zip" .zip)"
installed=$(unix_path <<< "$folder")

# What one installed version leaves: the zip's files, byte for byte, in
# its folder and nowhere else, the folder remembered for the next install;
# one Start-menu shortcut to tarvane.exe with the program's icon and its
# description in both languages; one entry to remove it, of this version.
check_installed() { # version log
    local version=$1 log=$work/$2
    diff -r "$from_zip" "$installed" > "$work/diff.log" ||
        { cat "$work/diff.log" >&2; fail "$folder does not hold the zip's files"; }
    local folders
    folders=$(cd "$drive_c" && find . -type d -iname '*tarvane*' ! -path './users/*/AppData/Local/tarvane' -printf '%P\n')
    [ "$folders" = "${installed#"$drive_c/"}" ] || fail "Tarvane folders: $folders"
    [ "$(reg_value "$remembered" InstallFolder)" = "$folder\\" ] ||
        fail "$remembered does not remember $folder for the next install"

    mapfile -t codes < <(products)
    [ ${#codes[@]} = 1 ] || fail "${#codes[@]} Tarvane products are listed for removal: ${codes[*]}"
    code=${codes[0]}
    local entry
    entry=$(run reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$code" | tr -d '\r')
    [ "$(value DisplayVersion)" = "$version" ] || fail "the uninstall entry is not of version $version"
    [ "$(value Publisher)" = "Tarvane maintainers" ] || fail "the uninstall entry names no publisher"
    [ "$(value UninstallString)" = "MsiExec.exe /X$code" ] || fail "the uninstall entry cannot remove it"
    [ "$(reg_value "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$code" InstallLocation)" = "$folder\\" ] ||
        fail "the uninstall entry has not the folder $folder"
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
    # The target: as Unicode its folder and file names, and its folder as
    # the working folder; its whole path also in the code page, which holds
    # only ASCII on every Windows.
    contains "$shortcut" "${folder##*\\}" UTF-16LE && contains "$shortcut" "tarvane.exe" UTF-16LE &&
        contains "$shortcut" "$folder\\" UTF-16LE || fail "the shortcut does not start $folder\\tarvane.exe"
    [[ "$folder" == *[^[:ascii:]]* ]] || contains "$shortcut" "$folder\\tarvane.exe" ASCII ||
        fail "the shortcut does not start $folder\\tarvane.exe"
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

cli_answers() { # version
    cli_version=$(cd "$work" && run "$folder\\tarvane-cli.exe" --version | tr -d '\r') ||
        fail "$folder\\tarvane-cli.exe --version failed"
    [ "$cli_version" = "tarvane-cli $1" ] || fail "tarvane-cli.exe --version: $cli_version"
    step "  $folder\\tarvane-cli.exe --version: $cli_version"
}
cli_answers "$version"

step "msiexec /i $(basename "$newer") /qn (version $newer_version)"
msiexec /i "$newer" upgrade.log || fail "msiexec /i $(basename "$newer") failed (status $?)"
check_installed "$newer_version" upgrade.log
[ "$code" != "$first_code" ] || fail "the newer version has the same product code"

step "msiexec /i $(basename "$msi") /qn over it: refused"
if msiexec /i "$msi" downgrade.log; then fail "version $version installed over $newer_version"; fi
grep -aq "^Property(S): TARVANE_NEWER = $code" "$work/downgrade.log" ||
    fail "the older version was refused for another reason than the newer one (downgrade.log)"
check_installed "$newer_version" upgrade.log

# Nothing left: no file, folder, shortcut, icon, entry or remembered folder.
check_removed() { # log
    msiexec /x "$newer" "$1" || fail "msiexec /x $(basename "$newer") failed (status $?)"
    [ ! -e "$installed" ] || fail "$folder is still there: $(cd "$installed" && find . | tr '\n' ' ')"
    listed=$(products) || fail "the list of installed programs could not be read"
    [ -z "$listed" ] || fail "Tarvane is still listed for removal"
    [ ! -e "$shortcut" ] || fail "the Start-menu shortcut is still there"
    [ ! -e "$drive_c/windows/Installer/$code" ] || fail "the product's icon is still there"
    [ -z "$(reg_value "$remembered" InstallFolder)" ] || fail "$remembered still remembers a folder"
    # The users' settings (AppData\Local\tarvane) are theirs, not installed.
    leftovers=$(cd "$drive_c" && find . -iname '*tarvane*' ! -path './users/*/AppData/Local/tarvane*')
    [ -z "$leftovers" ] || fail "left after removal: $leftovers"
}
step "msiexec /x $(basename "$newer") /qn"
check_removed remove.log

# An administrator's folder, given once: the upgrade and the removal find it
# by themselves. Given without a final backslash: Wine puts the argument in
# quotes, and a backslash before the closing one would escape it.
folder=$custom_folder
installed=$(unix_path <<< "$folder")
step "msiexec /i $(basename "$msi") /qn INSTALLFOLDER=\"$folder\""
msiexec /i "$msi" custom-install.log "INSTALLFOLDER=$folder" ||
    fail "msiexec /i $(basename "$msi") INSTALLFOLDER=\"$folder\" failed (status $?)"
check_installed "$version" custom-install.log
cli_answers "$version"
step "msiexec /i $(basename "$newer") /qn, without INSTALLFOLDER"
msiexec /i "$newer" custom-upgrade.log || fail "msiexec /i $(basename "$newer") failed (status $?)"
check_installed "$newer_version" custom-upgrade.log
step "msiexec /x $(basename "$newer") /qn, without INSTALLFOLDER"
check_removed custom-remove.log
"$wineserver" -k 2> /dev/null || true
step "ok   $(basename "$msi"): installed, started, upgraded to $newer_version, older refused, removed; the same in \"$folder\""
