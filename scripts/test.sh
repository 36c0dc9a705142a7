#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headless, one stage
# after another; each stage prints its name and its time, a failed one says
# which it was, and the end lists every stage with its time.
# In CI (CI=true), or with TARVANE_PACKAGE_TEST=1, it also builds the Debian
# package, installs it, starts the installed program and removes it again.
# In CI nothing is left out: TARVANE_SKIP_VM=1 is refused, and a test that
# skips itself on Linux, or a package test that cannot run, fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

ci=0
[ "${CI:-}" = "true" ] && ci=1
started=$SECONDS
summary=()
# What a stage has to add to its line in the list at the end.
note_file=$(mktemp)
trap 'rm -f "$note_file"' EXIT

say() { printf '[test.sh %5ds] %s\n' $((SECONDS - started)) "$*"; }
finish() {
    say "stages:"
    printf '  %s\n' "${summary[@]}"
}

# Runs one stage; a failed one ends the run with its name.
stage() { # name command...
    local name=$1 began=$SECONDS status=0
    shift
    say "stage: $name"
    : > "$note_file"
    set +e
    (set -e; "$@")
    status=$?
    set -e
    local took=$((SECONDS - began)) note
    note=$(cat "$note_file")
    if [ $status -ne 0 ]; then
        summary+=("FAILED  $name (${took} s, exit status $status)${note:+; $note}")
        say "FAILED stage: $name, after $took s (exit status $status)" >&2
        finish >&2
        exit $status
    fi
    summary+=("ok      $name (${took} s)${note:+; $note}")
    say "done: $name ($took s)"
}
left_out() { # name reason
    summary+=("LEFT OUT $1: $2")
    say "left out: $1: $2"
}

if [ $ci = 1 ] && [ "${TARVANE_SKIP_VM:-}" = "1" ]; then
    say "TARVANE_SKIP_VM=1 in CI (CI=true): CI leaves no test out, so the virtual machine's test must run" >&2
    exit 1
fi

# The test functions a ctest run skipped (QSKIP), from its log.
skipped_tests() { # build-dir
    sed -n 's/^SKIP *: *//p' "$1/Testing/Temporary/LastTest.log" 2>/dev/null || true
}
# Linux has everything the tests need: a skip there is a machine that
# lacks something, which CI does not pass over.
ctest_in() { # build-dir [environment...]
    local build=$1
    shift
    # Serial: the window tests share the settings file beside the test programs.
    (cd "$build" && env "$@" ctest --output-on-failure)
    local skipped
    skipped=$(skipped_tests "$build")
    [ -z "$skipped" ] && return
    echo "skipped by the tests themselves in $build:"
    printf '  %s\n' "$skipped"
    echo "$(wc -l <<< "$skipped") test functions skipped themselves" > "$note_file"
    [ $ci = 0 ] || { echo "a test skipped itself in CI" >&2; return 1; }
}

# The tests that measure texts run with a CJK font, as a user's machine has one.
stage "packages" scripts/deps.sh fonts-wqy-microhei qttranslations5-l10n
export QT_QPA_PLATFORM=offscreen

build_test() {
    cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DTARVANE_WERROR=ON > /dev/null
    cmake --build build-test -j "$(nproc)"
}
stage "build (build-test)" build_test
stage "tests (build-test)" ctest_in build-test

# The Windows build: toolchain (built once per machine, then cached), cross
# build, every test under Wine, the zip and the MSI.
windows() {
    scripts/windows-build.sh
    # Some tests have nothing to check on Windows and say so.
    local skipped
    skipped=$(skipped_tests "${BUILD_DIR:-build-windows}")
    [ -z "$skipped" ] && return
    echo "skipped by the tests themselves under Wine:"
    printf '  %s\n' "$skipped"
    echo "$(wc -l <<< "$skipped") test functions skipped themselves under Wine" > "$note_file"
}
stage "Windows (scripts/windows-build.sh)" windows

# The real HID stack: the programs against virtual repeaters through a Linux
# kernel, hidraw, udev and the real hidapi, in a small virtual machine, and
# the zip's Windows programs there under Wine.
if [ "${TARVANE_SKIP_VM:-}" = "1" ]; then
    left_out "virtual machine" "TARVANE_SKIP_VM=1: the programs were not tried on the real HID stack"
else
    stage "virtual machine (scripts/vm-test.sh)" scripts/vm-test.sh build-test "${BUILD_DIR:-build-windows}"
fi

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer;
# any report fails the run.
build_asan() {
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTARVANE_SANITIZE=ON -DTARVANE_WERROR=ON > /dev/null
    cmake --build build-asan -j "$(nproc)"
}
stage "build with sanitizers (build-asan)" build_asan
stage "tests with sanitizers (build-asan)" ctest_in build-asan \
    ASAN_OPTIONS=fast_unwind_on_malloc=0:detect_leaks=1:abort_on_error=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0"

if [ $ci = 1 ] || [ "${TARVANE_PACKAGE_TEST:-}" = "1" ]; then
    stage "Debian package (scripts/package-test.sh)" scripts/package-test.sh
else
    left_out "Debian package" "it installs and removes a package on this machine: CI=true or TARVANE_PACKAGE_TEST=1 runs it"
fi
stage "fuzzing (scripts/fuzz.sh)" scripts/fuzz.sh

say "all stages passed in $((SECONDS - started)) s"
finish
