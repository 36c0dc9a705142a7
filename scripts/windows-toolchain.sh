#!/usr/bin/env bash
# Builds what the Windows build needs, once per machine, into a cache folder
# outside the tree (TARVANE_WINDOWS_TOOLCHAIN, default
# ~/.cache/tarvane/windows-toolchain):
#   bin/     the MinGW-w64 tools under their plain names, the compilers being
#            Debian's POSIX-thread ones (the program uses std::thread, and Qt
#            must share its C++ runtime)
#   qt5/     Qt 5.15 qtbase cross-built from Debian's source package, in place
#            (host tools moc/rcc/uic for Linux, libraries and plugins for Windows)
#   hidapi/  hidapi's Windows backend from Debian's source package, as a DLL
# Only Debian packages and Debian source packages are used.
#
# One build at a time per cache: a second one waits for the lock
# ($cache.lock) and then finds the cache complete. The build goes into
# $cache.partial and is renamed to $cache when complete, so the cache is
# either absent or whole; a build that stopped goes on in $cache.partial
# where it stopped, and the line after a failure names the stage.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

cache=${TARVANE_WINDOWS_TOOLCHAIN:-$HOME/.cache/tarvane/windows-toolchain}
cache=${cache%/}
partial=$cache.partial
lock=$cache.lock
jobs=${JOBS:-$(nproc)}
started=$SECONDS
stage="start"

say() { printf '[windows-toolchain %4ds] %s\n' $((SECONDS - started)) "$*"; }
fail() { say "$*" >&2; exit 1; }
stage() { stage=$1; say "stage $1"; }

if [ -f "$cache/complete" ]; then
    say "complete in $cache"
    exit 0
fi

mkdir -p "$(dirname "$cache")"
# Opened for appending: truncating would wipe the holder's line.
exec 9>> "$lock"
if ! flock -n 9; then
    say "another toolchain build holds $lock ($(cat "$lock" 2>/dev/null || true)); waiting for it, at most 2 hours"
    flock -w 7200 9 || fail "the other toolchain build still holds $lock after 2 hours; nothing was built"
fi
if [ -f "$cache/complete" ]; then
    say "complete in $cache, built by the build that held the lock"
    exit 0
fi
printf 'pid %s on %s since %s\n' $$ "$(uname -n)" "$(date '+%F %T')" > "$lock"

on_exit() {
    local status=$?
    rm -rf "$partial/apt"
    [ $status -eq 0 ] && return
    say "FAILED in stage $stage (exit status $status); what was done stays in $partial, and the next run goes on from there" >&2
}
trap on_exit EXIT
# Stopped (Ctrl+C, a CI job cancelled): the same line, through the exit.
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

stage "1/5: Debian packages"
scripts/deps.sh g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix dpkg-dev python3 perl

# Earlier versions of this script added deb-src entries to the machine's
# apt sources and left them there.
for old in /etc/apt/sources.list.d/tarvane-deb-src.sources /etc/apt/sources.list.d/tarvane-deb-src.list; do
    [ -e "$old" ] || continue
    say "removing $old, which an earlier toolchain build left behind"
    $sudo rm -f "$old"
done

mkdir -p "$partial"

stage "2/5: compiler links in $partial/bin"
mkdir -p "$partial/bin"
for tool in /usr/bin/x86_64-w64-mingw32-*; do
    case "$tool" in
        *-posix | *-win32) continue ;;
    esac
    # The POSIX-thread variant where there is one, never the alternatives link.
    target=$tool
    [ -e "$tool-posix" ] && target=$tool-posix
    ln -sfn "$target" "$partial/bin/$(basename "$tool")"
done
thread_model=$("$partial/bin/x86_64-w64-mingw32-g++" -v 2>&1)
case "$thread_model" in
    *"Thread model: posix"*) ;;
    *) fail "x86_64-w64-mingw32-g++-posix is not the POSIX-thread compiler" ;;
esac

# apt-get source needs deb-src entries. The machine's apt stays as it is:
# the archives it uses, turned into deb-src entries, in a configuration of
# our own with its own package lists, removed when this script ends.
apt_dir=$partial/apt
apt_options=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts="$apt_dir/sources.list.d"
    -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache")
# As root apt downloads as _apt, which cannot enter a home folder.
[ "$(id -u)" -ne 0 ] || apt_options+=(-o APT::Sandbox::User=root)
source_entries() {
    rm -rf "$apt_dir"
    mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache"
    : > "$apt_dir/sources.list"
    local f
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        grep -q '^Types:.*\bdeb\b' "$f" || continue
        grep -q 'debian' "$f" || continue
        sed -e 's/^Types:.*/Types: deb-src/' "$f" > "$apt_dir/sources.list.d/$(basename "$f")"
    done
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        sed -n 's/^deb \(.*debian.*\)/deb-src \1/p' "$f" >> "$apt_dir/sources.list"
    done
    [ -s "$apt_dir/sources.list" ] || [ -n "$(ls "$apt_dir/sources.list.d")" ] ||
        fail "no Debian archive in /etc/apt/sources.list or /etc/apt/sources.list.d to fetch source packages from"
    apt-get "${apt_options[@]}" update -qq
}

fetch_source() { # package: unpacked into $partial/src/package
    local package=$1 dir="$partial/src/$1"
    [ -f "$dir/.unpacked" ] && return
    [ -d "$apt_dir/lists" ] || source_entries
    rm -rf "$dir"
    mkdir -p "$dir"
    (cd "$dir" && apt-get "${apt_options[@]}" source -qq "$package" > /dev/null 2>&1) ||
        (cd "$dir" && apt-get "${apt_options[@]}" source "$package" >&2)
    touch "$dir/.unpacked"
}
unpacked() { find "$partial/src/$1" -mindepth 1 -maxdepth 1 -type d | head -n 1; }

stage "3/5: Debian source packages (apt-get source qtbase-opensource-src hidapi)"
fetch_source qtbase-opensource-src
fetch_source hidapi
rm -rf "$apt_dir"
qtsrc=$(unpacked qtbase-opensource-src)
hidsrc=$(unpacked hidapi)
say "  $qtsrc"
say "  $hidsrc"

qt=$partial/qt5
stage "4/5: Qt cross build in $qt ($jobs jobs)"
export PATH="$partial/bin:$PATH"
# A log's last lines, then the failure.
failed() { tail -n 40 "$1" >&2; fail "$2 failed (log: $1)"; }
if [ ! -f "$qt/.configured" ]; then
    rm -rf "$qt"
    mkdir -p "$qt"
    (cd "$qt" && "$qtsrc/configure" \
        -prefix "$qt" \
        -xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32- \
        -opensource -confirm-license -release -shared \
        -nomake examples -nomake tests -no-compile-examples \
        -no-opengl -no-dbus -no-icu -no-direct2d -no-pkg-config \
        -no-feature-tabletevent \
        -qt-zlib -qt-pcre -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz \
        -silent > configure.log 2>&1) || failed "$qt/configure.log" "Qt's configure"
    touch "$qt/.configured"
    say "  configured"
fi
if [ ! -f "$qt/src/Makefile" ]; then
    say "  qmake for src/"
    make -C "$qt" -s sub-src-qmake_all > "$qt/make-qmake.log" 2>&1 || failed "$qt/make-qmake.log" "qmake for src/"
fi
# Each part once; a stamp marks it done, so an interrupted build goes on
# where it stopped. winmain is qtmain, the entry point of GUI programs.
for target in sub-corelib sub-gui sub-widgets sub-testlib sub-platformsupport sub-winmain; do
    [ -f "$qt/.built-$target" ] && continue
    say "  make $target"
    make -C "$qt/src" -j "$jobs" -s "$target" > "$qt/make-$target.log" 2>&1 ||
        failed "$qt/make-$target.log" "make $target"
    touch "$qt/.built-$target"
done
# The .ico reader is the only image format the program needs beyond PNG.
for plugin in platforms/windows platforms/offscreen styles imageformats/ico; do
    stamp="$qt/.built-${plugin//\//-}"
    [ -f "$stamp" ] && continue
    say "  make plugins/$plugin"
    log="$qt/make-${plugin//\//-}.log"
    (cd "$qt/src/plugins" && make -j "$jobs" -s "sub-${plugin%%/*}-qmake_all" > /dev/null 2>&1 || true)
    make -C "$qt/src/plugins/$plugin" -j "$jobs" -s > "$log" 2>&1 || failed "$log" "make plugins/$plugin"
    touch "$stamp"
done
# Qt's CMake packages load a file for every plugin that configure enabled;
# those of the plugins not built would make find_package(Qt5) fail.
for file in "$qt"/lib/cmake/Qt5*/Qt5*Plugin.cmake; do
    plugin=$(sed -n 's/.*_plugin_properties([A-Za-z0-9]* RELEASE "\([^"]*\)".*/\1/p' "$file")
    [ -n "$plugin" ] && [ ! -f "$qt/plugins/$plugin" ] && rm -f "$file"
done
say "  Qt: $(ls "$qt"/bin/Qt5*.dll 2>/dev/null | wc -l) libraries, plugins: $(cd "$qt/plugins" && ls */*.dll | tr '\n' ' ')"

hidapi=$partial/hidapi
stage "5/5: hidapi for Windows in $hidapi"
if [ ! -f "$hidapi/.built" ]; then
    rm -rf "$hidapi" "$partial/hidapi-build"
    # hidapi.dll, the name Windows builds of hidapi have elsewhere too, not
    # MinGW's default libhidapi.dll.
    echo 'set(CMAKE_SHARED_LIBRARY_PREFIX "")' > "$partial/hidapi-dll-name.cmake"
    cmake -S "$hidsrc" -B "$partial/hidapi-build" \
        -DCMAKE_PROJECT_INCLUDE="$partial/hidapi-dll-name.cmake" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
        -DCMAKE_INSTALL_PREFIX="$hidapi" > "$partial/hidapi-configure.log" 2>&1 ||
        failed "$partial/hidapi-configure.log" "hidapi's configure"
    cmake --build "$partial/hidapi-build" -j "$jobs" > "$partial/hidapi-build.log" 2>&1 ||
        failed "$partial/hidapi-build.log" "hidapi's build"
    cmake --install "$partial/hidapi-build" > /dev/null
    touch "$hidapi/.built"
fi
say "  hidapi: $(cd "$hidapi" && ls bin/*.dll lib/*.a 2>/dev/null | tr '\n' ' ')"

stage "finish: $partial to $cache"
# Qt's CMake packages name its source folder's headers, and qmake's
# settings its own folder, by absolute paths: they are made to name the
# final folder before the build moves there. (The programs and the DLLs
# find their files relative to themselves.)
{ grep -rlIF --null "$partial" "$qt/lib" "$qt/mkspecs" "$qt/bin/qt.conf" "$hidapi" || true; } |
    FROM=$partial TO=$cache xargs -0 -r perl -pi -e 's/\Q$ENV{FROM}\E/$ENV{TO}/g'
{
    echo "qtbase $(basename "$qtsrc")"
    echo "hidapi $(basename "$hidsrc")"
    "$partial/bin/x86_64-w64-mingw32-g++" --version | head -n 1
} > "$partial/complete"
# A cache without "complete": what an earlier version of this script left
# when it stopped; it is built anew rather than mended.
if [ -e "$cache" ]; then
    say "  replacing $cache, an incomplete toolchain an earlier version of this script left"
    mv -T "$cache" "$cache.old.$$"
    rm -rf "$cache.old.$$"
fi
mv -T "$partial" "$cache"
say "complete in $cache"
