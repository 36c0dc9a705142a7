#!/usr/bin/env bash
# Refreshes the pictures in docs/screenshots/ (the program that takes them,
# tools/screenshots, lists them), in Chinese (zh-*.png) and English
# (en-*.png), taken under Xvfb with the simulated repeater.
# Usage: scripts/screenshots.sh [build-dir]   (default: build-screenshots/ in the tree, ignored by git)
#        scripts/screenshots.sh --windows     the Windows build under Wine (win-zh-*.png, win-en-*.png),
#                                             from build-windows/ (scripts/windows-build.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
src=$(pwd)
out="$src/docs/screenshots"
mkdir -p "$out"

if [ "${1:-}" = "--windows" ]; then
    build=${BUILD_DIR:-"$src/build-windows"}
    [ -x "$build/wine-run.sh" ] || { echo "no Windows build in $build: run scripts/windows-build.sh first" >&2; exit 1; }
    cmake --build "$build" --target tarvane-screenshots -j "$(nproc)"
    tool="$build/tools/screenshots/tarvane-screenshots.exe"
    config="$(dirname "$tool")/Config.ini"
    for lang in zh:0:zh_CN en:1:en_US; do
        IFS=: read -r prefix id locale <<< "$lang"
        printf '[Language]\r\nid=%s\r\n' "$id" > "$config"
        # A Chinese or an English Windows, with its own window system and style.
        LANG=$locale.UTF-8 xvfb-run -a -s "-screen 0 1280x1024x24" \
            "$build/wine-run.sh" "$tool" "$out" "win-$prefix" -platform windows
    done
    rm -f "$config"
    exit 0
fi

build=${1:-"$src/build-screenshots"}

# A CJK font, or the Chinese pictures show boxes.
scripts/deps.sh xvfb xauth fonts-wqy-microhei

cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARVANE_TESTS=OFF > /dev/null
cmake --build "$build" --target tarvane-screenshots -j "$(nproc)"

tool="$build/tools/screenshots/tarvane-screenshots"
config="$(dirname "$tool")/Config.ini"
for lang in zh:0 en:1; do
    # The language is read from Config.ini beside the program, as Tarvane does.
    printf '[Language]\nid=%s\n' "${lang#*:}" > "$config"
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "$tool" "$out" "${lang%%:*}"
done
rm -f "$config"
