#!/usr/bin/env bash
# Cross-builds Tarvane for 64-bit Windows into build-windows/ (BUILD_DIR),
# runs every test program under Wine, and makes the zip a technician copies
# to a Windows PC, build-windows/tarvane-<version>-windows-x64.zip, and the
# installer IT departments deploy, tarvane-<version>-windows-x64.msi beside it.
# The toolchain (MinGW-w64, Qt and hidapi for Windows) comes from
# scripts/windows-toolchain.sh, which builds it once per machine.
#   --no-tests   build and package only
set -euo pipefail
cd "$(dirname "$0")/.."

run_tests=1
[ "${1:-}" = "--no-tests" ] && run_tests=0

build=${BUILD_DIR:-build-windows}
export TARVANE_WINDOWS_TOOLCHAIN=${TARVANE_WINDOWS_TOOLCHAIN:-$HOME/.cache/tarvane/windows-toolchain}
started=$SECONDS
say() { printf '[windows-build %4ds] %s\n' $((SECONDS - started)) "$*"; }

scripts/deps.sh g++-mingw-w64-x86-64-posix wine64 xvfb xauth locales fonts-dejavu-core fonts-wqy-microhei fonts-liberation zip unzip qttranslations5-l10n \
    wixl msitools python3 x11-utils x11-apps netpbm
scripts/windows-toolchain.sh

# Wine takes the Windows language and code page from the Unix locale, which
# must exist: without it Wine silently stays on English and code page 1252.
# English, Chinese, and German for a language without a catalogue.
missing_locales=()
for locale in en_US zh_CN de_DE; do
    locale -a 2>/dev/null | grep -qix "$locale.utf-\?8" || missing_locales+=("$locale")
done
if [ ${#missing_locales[@]} -gt 0 ]; then
    say "generating the locales ${missing_locales[*]}"
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    for locale in "${missing_locales[@]}"; do
        $sudo sed -i "s/^# *\($locale.UTF-8 UTF-8\)/\1/" /etc/locale.gen
        grep -q "^$locale.UTF-8 UTF-8" /etc/locale.gen || echo "$locale.UTF-8 UTF-8" | $sudo tee -a /etc/locale.gen > /dev/null
    done
    $sudo locale-gen > /dev/null
fi

say "configure $build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARVANE_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DTARVANE_WINDOWS_TOOLCHAIN="$TARVANE_WINDOWS_TOOLCHAIN" \
    -DCMAKE_INSTALL_BINDIR=. > /dev/null
say "build"
cmake --build "$build" -j "$(nproc)"

if [ $run_tests = 1 ]; then
    say "tests under Wine"
    # One X server for the tests that need a real window; the others run
    # with the offscreen platform.
    (cd "$build" && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure)
fi

say "zip"
(cd "$build" && cpack -G ZIP > /dev/null)
read -r version < VERSION
zip=$build/tarvane-$version-windows-x64.zip
scripts/check-windows-zip.sh "$zip"
say "msi"
msi=$build/tarvane-$version-windows-x64.msi
scripts/windows-msi.sh "$zip" "$msi" "$version"

if [ $run_tests = 1 ]; then
    # Started from the unpacked zip alone, with no search path into the
    # toolchain: a DLL missing from the zip stops it at once (status 53);
    # a program that starts keeps its window open until the time-out (124).
    say "start the zipped program under Wine"
    unpacked=$(mktemp -d)
    trap 'rm -rf "$unpacked"' EXIT
    unzip -q "$zip" -d "$unpacked"
    build_abs=$(cd "$build" && pwd)
    wine=$(sed -n 's/^wine=//p' "$build_abs/wine-run.sh")
    status=0
    (cd "$unpacked" && WINEPREFIX="$build_abs/wineprefix" WINEDEBUG=err+module \
        WINEDLLOVERRIDES="mscoree,mshtml=" timeout 15 xvfb-run -a -s "-screen 0 1280x1024x24" \
        "$wine" "tarvane-$version-windows-x64/tarvane.exe" -platform windows > start.log 2>&1) || status=$?
    if [ $status -ne 124 ] || grep -q 'err:module' "$unpacked/start.log"; then
        grep -v 'Read access denied' "$unpacked/start.log" >&2 || true
        echo "the zipped tarvane.exe did not start (status $status)" >&2
        exit 1
    fi

    # The upgrade goes to the same files under the next patch version.
    say "install, start, upgrade and remove the MSI under Wine"
    IFS=. read -r major minor patch _ <<< "$version.0.0"
    newer_version=$major.$minor.$((patch + 1))
    scripts/windows-msi.sh "$zip" "$unpacked/tarvane-$newer_version.msi" "$newer_version" > /dev/null
    xvfb-run -a -s "-screen 0 1280x1024x24" \
        scripts/check-windows-msi.sh "$zip" "$msi" "$unpacked/tarvane-$newer_version.msi" "$build/msi-check"
fi
say "done: $zip, $msi"
