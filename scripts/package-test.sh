#!/usr/bin/env bash
# Builds the Debian package as docs/install.md does (a Release
# build with the distribution's hardening flags), checks it with lintian,
# installs it with apt, checks where its files landed, starts the installed
# program headless through its desktop entry and removes the package again.
# Needs root (or sudo) and changes the system's packages, so scripts/test.sh
# runs it only in CI or when asked to with TARVANE_PACKAGE_TEST=1. Outside
# CI it skips itself where it cannot run; in CI (CI=true) that is a failure.
# Usage: scripts/package-test.sh [BUILD_DIR]     (default: build-package)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-package}

cannot_run() { # reason
    if [ "${CI:-}" = "true" ]; then
        echo "package test FAILED: $1; CI does not skip it" >&2
        exit 1
    fi
    echo "package test skipped: $1"
    exit 0
}

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo > /dev/null || cannot_run "it needs root or sudo"
    sudo="sudo"
fi
# A Tarvane installed on this machine is not ours to replace or remove.
installed=$(dpkg-query -W -f='${Status} ${Version}' tarvane 2>/dev/null || true)
case "$installed" in
    "install ok installed "*)
        cannot_run "tarvane ${installed##* } is installed on this machine (remove it with: sudo apt-get remove tarvane)" ;;
esac

scripts/deps.sh xvfb xauth desktop-file-utils lintian

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARVANE_TESTS=OFF -DTARVANE_WERROR=ON > /dev/null
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/tarvane_*.deb
(cd "$build" && cpack -G DEB > /dev/null)
debs=("$build"/tarvane_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "no single tarvane_*.deb in $build" >&2; exit 1; }
deb=$(realpath "${debs[0]}")

# Only the programs and their desktop files go into the package.
unexpected=$(dpkg-deb -c "$deb" | awk '{print $NF}' | grep -E -- '-simulated|-manual$|tst_|Config\.ini|\.a$' || true)
if [ -n "$unexpected" ]; then
    echo "the package holds files it should not:" >&2
    echo "$unexpected" >&2
    exit 1
fi

status=0
check() {
    # Every check runs, so one run lists every fault.
    if "$@"; then echo "ok   $*"; else echo "FAIL $*" >&2; status=1; fi
}
# Every tag, down to the pedantic, informational and experimental ones,
# fails it. (lintian's notes of its own, such as running as root, go to
# standard error.)
lintian_clean() {
    local tags status=0
    tags=$(lintian --pedantic --display-info --display-experimental --tag-display-limit 0 \
        --fail-on error,warning,info,pedantic,experimental "$deb" 2> "$build/lintian.log") || status=$?
    [ $status -eq 0 ] && [ -z "$tags" ] && return
    echo "$tags" >&2
    cat "$build/lintian.log" >&2
    return 1
}
check lintian_clean
# Without a CJK font every Chinese text shows as empty boxes.
recommends_cjk_font() {
    dpkg-deb -f "$deb" Recommends | grep -qE '(^|[ ,|])fonts-(wqy-microhei|noto-cjk)([ ,|]|$)'
}
check recommends_cjk_font
# Without Qt's own catalogues its dialogs and buttons stay English in Chinese.
recommends_qt_catalogues() {
    dpkg-deb -f "$deb" Recommends | grep -qE '(^|[ ,|])qttranslations5-l10n([ ,|]|$)'
}
check recommends_qt_catalogues

export DEBIAN_FRONTEND=noninteractive
# Another apt run may hold the lock for a while: wait for it rather than fail.
apt=($sudo apt-get -o DPkg::Lock::Timeout=900 -y -qq)
# Whatever happens below, the package does not stay on the machine.
trap '"${apt[@]}" remove tarvane > /dev/null 2>&1 || true' EXIT
"${apt[@]}" install "$deb" > /dev/null
check test -x /usr/bin/tarvane
check test -x /usr/bin/tarvane-cli
# Headless by itself, without QT_QPA_PLATFORM and without a display.
check env -u QT_QPA_PLATFORM -u DISPLAY /usr/bin/tarvane-cli --version
check test -f /usr/share/applications/tarvane.desktop
check desktop-file-validate /usr/share/applications/tarvane.desktop
for size in 16 32 48 64 128 256; do
    check test -f "/usr/share/icons/hicolor/${size}x${size}/apps/tarvane.png"
done
check test -f /usr/lib/udev/rules.d/70-tarvane.rules
check grep -q 'SUBSYSTEM=="hidraw", ATTRS{idVendor}=="0483", ATTRS{idProduct}=="6901", TAG+="uaccess"' \
    /usr/lib/udev/rules.d/70-tarvane.rules
check test -f /usr/share/doc/tarvane/copyright
check test -f /usr/share/doc/tarvane/changelog.gz
# man finds both pages by the programs' names.
check man -w tarvane
check man -w tarvane-cli

# Start the program the way the desktop does, from the entry's Exec line.
# Without a device its search fails and a message box waits for the user, so
# it keeps running until the time-out ends it (exit status 124).
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/tarvane.desktop)
set +e
(cd /tmp && env -u QT_QPA_PLATFORM xvfb-run -a timeout 5 $exec_line > /tmp/tarvane-package-test.log 2>&1)
started=$?
set -e
if [ "$started" -eq 124 ]; then
    echo "ok   '$exec_line' ran until the time-out"
else
    echo "FAIL '$exec_line' ended with status $started before the time-out:" >&2
    cat /tmp/tarvane-package-test.log >&2
    status=1
fi

"${apt[@]}" remove tarvane > /dev/null
trap - EXIT
check test ! -e /usr/bin/tarvane
check test ! -e /usr/bin/tarvane-cli
exit $status
