#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headless.
# In CI (CI=true), or with TARVANE_PACKAGE_TEST=1, it also builds the Debian
# package, installs it, starts the installed program and removes it again.
set -euo pipefail
cd "$(dirname "$0")/.."

# The tests that measure texts run with a CJK font, as a user's machine has one.
scripts/deps.sh fonts-wqy-microhei qttranslations5-l10n
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DTARVANE_WERROR=ON > /dev/null
cmake --build build-test -j "$(nproc)"
# Serial: the window tests share the settings file beside the test programs.
(cd build-test && ctest --output-on-failure)

# The Windows build: toolchain (built once per machine, then cached), cross
# build, every test under Wine, and the zip.
scripts/windows-build.sh

# The real HID stack: the programs against virtual repeaters through a Linux
# kernel, hidraw, udev and the real hidapi, in a small virtual machine, and
# the zip's Windows programs there under Wine. TARVANE_SKIP_VM=1 skips it.
scripts/vm-test.sh build-test build-windows

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer;
# any report fails the run.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTARVANE_SANITIZE=ON -DTARVANE_WERROR=ON > /dev/null
cmake --build build-asan -j "$(nproc)"
(cd build-asan &&
    ASAN_OPTIONS=fast_unwind_on_malloc=0:detect_leaks=1:abort_on_error=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    LSAN_OPTIONS="suppressions=$PWD/../tests/sanitizers/lsan.supp:print_suppressions=0" \
    ctest --output-on-failure)

if [ "${CI:-}" = "true" ] || [ "${TARVANE_PACKAGE_TEST:-}" = "1" ]; then
    scripts/package-test.sh build-test
fi
scripts/fuzz.sh
