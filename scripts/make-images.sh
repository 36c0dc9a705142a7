#!/bin/sh
# Redraws every image in Resources/ and the desktop icons in dist/icons/ with
# tools/images/make_images.cpp.
# Usage: scripts/make-images.sh [build-dir]   (default: build-images/ in the tree, ignored by git)
set -eu
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$src/build-images"}
cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARVANE_TESTS=OFF >/dev/null
cmake --build "$build" --target tarvane-make-images -- -j2
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build/tools/images/tarvane-make-images" "$src/Resources" "$src/dist/icons"
