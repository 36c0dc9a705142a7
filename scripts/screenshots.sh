#!/usr/bin/env bash
# Refreshes the pictures in docs/screenshots/: the three pages, the bit-timing
# calculator, the device information window and the About box, in Chinese
# (zh-*.png) and English (en-*.png), taken under Xvfb with the simulated
# repeater.
# Usage: scripts/screenshots.sh [build-dir]   (default: build-screenshots/ in the tree, ignored by git)
set -euo pipefail
cd "$(dirname "$0")/.."
src=$(pwd)
build=${1:-"$src/build-screenshots"}

# A CJK font, or the Chinese pictures show boxes.
scripts/deps.sh xvfb xauth fonts-wqy-microhei

cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARVANE_TESTS=OFF > /dev/null
cmake --build "$build" --target tarvane-screenshots -j "$(nproc)"

tool="$build/tools/screenshots/tarvane-screenshots"
config="$(dirname "$tool")/Config.ini"
out="$src/docs/screenshots"
mkdir -p "$out"
for lang in zh:0 en:1; do
    # The language is read from Config.ini beside the program, as Tarvane does.
    printf '[Language]\nid=%s\n' "${lang#*:}" > "$config"
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "$tool" "$out" "${lang%%:*}"
done
rm -f "$config"
