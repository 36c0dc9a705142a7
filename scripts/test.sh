#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DTARVANE_WERROR=ON > /dev/null
cmake --build build-test -j "$(nproc)"
# Serial: the window tests share the settings file beside the test programs.
(cd build-test && ctest --output-on-failure)
