#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headless.
# In CI (CI=true), or with TARVANE_PACKAGE_TEST=1, it also builds the Debian
# package, installs it, starts the installed program and removes it again.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh g++-mingw-w64-x86-64-posix
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DTARVANE_WERROR=ON > /dev/null
cmake --build build-test -j "$(nproc)"
# Serial: the window tests share the settings file beside the test programs.
(cd build-test && ctest --output-on-failure)

# The Windows-only sources, compiled for Windows in syntax-only mode.
scripts/check-windows-sources.sh

if [ "${CI:-}" = "true" ] || [ "${TARVANE_PACKAGE_TEST:-}" = "1" ]; then
    scripts/package-test.sh build-test
fi
