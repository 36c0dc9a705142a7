#!/usr/bin/env bash
# Checks the Windows zip: exactly the files a technician's PC needs, every
# DLL that a program or library in it imports is either in the zip or a DLL
# that Windows itself provides, and the command line needs no Qt but Core.
set -euo pipefail

zip=${1:?usage: check-windows-zip.sh tarvane-<version>-windows-x64.zip}
name=$(basename "$zip" .zip)

expected="$name/Qt5Core.dll
$name/Qt5Gui.dll
$name/Qt5Widgets.dll
$name/hidapi.dll
$name/imageformats/qico.dll
$name/libgcc_s_seh-1.dll
$name/libstdc++-6.dll
$name/libwinpthread-1.dll
$name/platforms/qwindows.dll
$name/styles/qwindowsvistastyle.dll
$name/tarvane-cli.exe
$name/tarvane.exe
$name/translations/qtbase_zh_CN.qm"

actual=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
if [ "$actual" != "$(sort <<< "$expected")" ]; then
    echo "$zip holds other files than expected:" >&2
    diff <(sort <<< "$expected") <(echo "$actual") >&2 || true
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"

# The DLLs Windows provides: those Wine implements as system DLLs, and the
# API sets that map onto them.
wine_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
[ -d "$wine_dlls" ] || { echo "no Wine system DLLs at $wine_dlls to compare with" >&2; exit 1; }

shipped=$(cd "$work/$name" && find . -name '*.dll' -printf '%f\n' | tr 'A-Z' 'a-z')
failed=0
while IFS= read -r -d '' binary; do
    while read -r dll; do
        lower=$(tr 'A-Z' 'a-z' <<< "$dll")
        if grep -qx "$lower" <<< "$shipped"; then continue; fi
        if [ -e "$wine_dlls/$lower" ] || [[ "$lower" == api-ms-win-* ]]; then continue; fi
        echo "${binary#"$work/"} imports $dll, which is neither in the zip nor a Windows DLL" >&2
        failed=1
    done < <(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^\s*DLL Name: //p')
done < <(find "$work" -type f \( -name '*.exe' -o -name '*.dll' \) -print0)
cli_imports=$(x86_64-w64-mingw32-objdump -p "$work/$name/tarvane-cli.exe" | sed -n 's/^\s*DLL Name: //p')
if grep -qix 'qt5gui.dll\|qt5widgets.dll' <<< "$cli_imports"; then
    echo "tarvane-cli.exe imports Qt5Gui.dll or Qt5Widgets.dll:" $cli_imports >&2
    failed=1
fi
[ $failed = 0 ] && echo "ok   $(basename "$zip"): $(wc -l <<< "$actual") files, every import resolved"
exit $failed
