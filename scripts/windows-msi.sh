#!/usr/bin/env bash
# Builds the Windows installer from the Windows zip, so that both hold the
# same files, with Debian's wixl (dist/tarvane.wxs):
#   scripts/windows-msi.sh ZIP MSI [VERSION]
# VERSION, the product version, is the program's (the file VERSION) unless given.
set -euo pipefail
cd "$(dirname "$0")/.."

zip=${1:?usage: windows-msi.sh tarvane-<version>-windows-x64.zip out.msi [version]}
msi=${2:?usage: windows-msi.sh tarvane-<version>-windows-x64.zip out.msi [version]}
version=${3:-$(< VERSION)}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"
name=$(basename "$zip" .zip)
files="$work/$name"
[ -f "$files/tarvane.exe" ] && [ -f "$files/tarvane-cli.exe" ] ||
    { echo "$zip has no tarvane.exe and tarvane-cli.exe in $(basename "$zip" .zip)/" >&2; exit 1; }

# Everything else in the zip, one component per file. A component's GUID
# stays the same as long as its file's path does: derived from the path,
# under the product's upgrade code.
mapfile -t runtime < <(cd "$files" && find . -type f ! -name tarvane.exe ! -name tarvane-cli.exe -printf '%P\n' | sort)
mapfile -t folders < <(printf '%s\n' "${runtime[@]}" | sed -n 's|/[^/]*$||p' | sort -u)
upgrade_code=$(sed -n 's/.*UpgradeCode="\([^"]*\)".*/\1/p' dist/tarvane.wxs)
mapfile -t guids < <(python3 -c 'import sys, uuid
namespace = uuid.UUID(sys.argv[1])
for path in sys.argv[2:]: print(str(uuid.uuid5(namespace, path.lower())).upper())' "$upgrade_code" "${runtime[@]}")
id() { printf '%s_%s' "$1" "$2" | tr -c 'A-Za-z0-9_.\n' '_'; }
parent() { case "$1" in */*) id dir "${1%/*}" ;; *) echo INSTALLFOLDER ;; esac; }
{
    echo '<?xml version="1.0" encoding="utf-8"?>'
    echo "<!-- Written by scripts/windows-msi.sh from $(basename "$zip"). -->"
    echo '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi"><Fragment>'
    for folder in "${folders[@]}"; do
        echo "  <DirectoryRef Id=\"$(parent "$folder")\"><Directory Id=\"$(id dir "$folder")\" Name=\"${folder##*/}\"/></DirectoryRef>"
    done
    for i in "${!runtime[@]}"; do
        file=${runtime[$i]}
        echo "  <DirectoryRef Id=\"$(parent "$file")\"><Component Id=\"$(id c "$file")\" Guid=\"${guids[$i]}\" Win64=\"yes\">"
        echo "    <File Id=\"$(id f "$file")\" Source=\"\$(var.Files)/$file\" KeyPath=\"yes\"/></Component></DirectoryRef>"
    done
    echo '  <ComponentGroup Id="Runtime">'
    for file in "${runtime[@]}"; do echo "    <ComponentRef Id=\"$(id c "$file")\"/>"; done
    echo '  </ComponentGroup>'
    echo '</Fragment></Wix>'
} > "$work/runtime.wxs"
duplicates=$(grep -o '<\(Directory\|Component\|File\) Id="[^"]*"' "$work/runtime.wxs" | sort | uniq -d)
[ -z "$duplicates" ] || { echo "two files of the zip get the same id:" $duplicates >&2; exit 1; }

# The version resource of each program and library (the file version and
# the language of its first translation): wixl leaves the File table's
# Version and Language empty, and Windows Installer would take the files
# for unversioned ones. A versioned file has no hash (MsiFileHash), which
# is for unversioned ones.
mapfile -t versions < <(cd "$files" && find . -type f \( -iname '*.exe' -o -iname '*.dll' \) -printf '%P\n' | sort |
    python3 -c 'import struct, sys
def fixed(path):
    data = open(path, "rb").read()
    at = data.find("VS_VERSION_INFO\0".encode("utf-16-le"))
    if at < 0:
        return None
    start = at - 6  # wLength, wValueLength, wType before the key
    value = start + ((at + 32 - start + 3) & ~3)
    signature, _, ms, ls = struct.unpack_from("<IIII", data, value)
    if signature != 0xFEEF04BD:
        return None
    language = ""
    key = data.find("Translation\0".encode("utf-16-le"), value)
    if key >= 0:
        language = str(struct.unpack_from("<H", data, key - 6 + ((30 + 3) & ~3))[0])
    return "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF), language
for path in sys.stdin.read().split("\n"):
    info = fixed(path) if path else None
    if info:
        print("%s\t%s\t%s" % (path, info[0], info[1]))')

rm -f "$msi"
msi=$(realpath "$msi")
cp Resources/app.ico "$work/tarvane.ico"
(cd "$work" && wixl --arch x64 -D Version="$version" -D Files="$name" -D Icon=tarvane.ico \
    -o "$msi" "$OLDPWD/dist/tarvane.wxs" runtime.wxs 2> wixl.log) ||
    { cat "$work/wixl.log" >&2; exit 1; }
# wixl reports a non-advertised shortcut as "unimplemented", but writes it.
grep -v 'unimplemented' "$work/wixl.log" >&2 || true

# What wixl leaves out: the shortcut's tool tip in both languages, and the
# upgrade's IncludeMaximum, which lets a build of the same version replace
# another (768: both version bounds inclusive; the attributes are part of
# the row's key, hence a new row). The database's strings are then stored
# in code page 936, which holds Chinese and ASCII alike; Windows Installer
# turns them into Unicode on any Windows.
description='CAN 中继器配置 / CAN repeater configuration'
replaced="'{$upgrade_code}', '0.0.0', '$version', 768, 'TARVANE_REPLACED'"
printf '\r\n\r\n936\t_ForceCodepage\r\n' > "$work/_ForceCodepage.idt"
# The two programs have ids of their own in tarvane.wxs.
file_id() { case "$1" in tarvane.exe | tarvane-cli.exe) echo "${1//-/_}" ;; *) id f "$1" ;; esac; }
version_updates=()
for line in "${versions[@]}"; do
    IFS=$'\t' read -r path file_version language <<< "$line"
    id=$(file_id "$path")
    version_updates+=(-q "UPDATE \`File\` SET \`Version\` = '$file_version', \`Language\` = '$language' WHERE \`File\` = '$id'"
        -q "DELETE FROM \`MsiFileHash\` WHERE \`File_\` = '$id'")
done
msibuild "$msi" -i "$work/_ForceCodepage.idt" "${version_updates[@]}" \
    -q "UPDATE \`Shortcut\` SET \`Description\` = '$description' WHERE \`Shortcut\` = 'StartMenuShortcut'" \
    -q "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'TARVANE_REPLACED'" \
    -q "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMin\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ($replaced)"
msiinfo export "$msi" Shortcut | grep -q "$description" ||
    { echo "$msi: the shortcut's description was not stored" >&2; exit 1; }
[ "$(msiinfo export "$msi" Upgrade | grep -c "	$version		768		TARVANE_REPLACED")" = 1 ] ||
    { echo "$msi: the upgrade does not replace the same version" >&2; exit 1; }
versioned=$(msiinfo export "$msi" File | tr -d '\r' | awk -F '\t' 'NR > 3 && $5 != ""' | wc -l)
[ "$versioned" = ${#versions[@]} ] ||
    { echo "$msi: $versioned files have a version in the File table, ${#versions[@]} carry one" >&2; exit 1; }
echo "ok   $(basename "$msi"): version $version, $((${#runtime[@]} + 2)) files, $versioned of them with their version"
