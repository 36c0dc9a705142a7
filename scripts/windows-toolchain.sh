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
# Only Debian packages and Debian source packages are used. A complete cache
# is left as it is; a stage that did not finish is done again.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

cache=${TARVANE_WINDOWS_TOOLCHAIN:-$HOME/.cache/tarvane/windows-toolchain}
jobs=${JOBS:-$(nproc)}
started=$SECONDS

say() { printf '[windows-toolchain %4ds] %s\n' $((SECONDS - started)) "$*"; }

if [ -f "$cache/complete" ]; then
    say "complete in $cache"
    exit 0
fi

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

say "stage 1/5: Debian packages"
scripts/deps.sh g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix dpkg-dev python3 perl

# Source entries for the archive the machine already uses (deb822 files and
# one-line lists alike), so that apt-get source works.
if ! apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -qx Sources; then
    say "enabling deb-src entries for the configured Debian archive"
    tmp=$(mktemp)
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        grep -q '^Types:.*\bdeb\b' "$f" || continue
        grep -q 'debian' "$f" || continue
        sed -e 's/^Types:.*/Types: deb-src/' "$f" >> "$tmp"
        echo >> "$tmp"
    done
    if [ -f /etc/apt/sources.list ]; then
        sed -n 's/^deb \(.*debian.*\)/deb-src \1/p' /etc/apt/sources.list > "$tmp.list"
    fi
    [ -s "$tmp" ] && $sudo cp "$tmp" /etc/apt/sources.list.d/tarvane-deb-src.sources
    [ -s "$tmp.list" ] && $sudo cp "$tmp.list" /etc/apt/sources.list.d/tarvane-deb-src.list
    rm -f "$tmp" "$tmp.list"
    $sudo apt-get update -qq
fi

mkdir -p "$cache"

say "stage 2/5: compiler links in $cache/bin"
mkdir -p "$cache/bin"
for tool in /usr/bin/x86_64-w64-mingw32-*; do
    case "$tool" in
        *-posix | *-win32) continue ;;
    esac
    # The POSIX-thread variant where there is one, never the alternatives link.
    target=$tool
    [ -e "$tool-posix" ] && target=$tool-posix
    ln -sfn "$target" "$cache/bin/$(basename "$tool")"
done
thread_model=$("$cache/bin/x86_64-w64-mingw32-g++" -v 2>&1)
case "$thread_model" in
    *"Thread model: posix"*) ;;
    *) echo "x86_64-w64-mingw32-g++-posix is not the POSIX-thread compiler" >&2; exit 1 ;;
esac

fetch_source() { # package → prints the unpacked folder
    local package=$1 dir="$cache/src/$1"
    if [ ! -f "$dir/.unpacked" ]; then
        rm -rf "$dir"
        mkdir -p "$dir"
        (cd "$dir" && apt-get source -qq "$package" > /dev/null 2>&1) ||
            (cd "$dir" && apt-get source "$package" >&2)
        touch "$dir/.unpacked"
    fi
    find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n 1
}

say "stage 3/5: Qt source (apt-get source qtbase-opensource-src)"
qtsrc=$(fetch_source qtbase-opensource-src)
say "  $qtsrc"

qt=$cache/qt5
say "stage 4/5: Qt cross build in $qt ($jobs jobs)"
if [ ! -f "$qt/.configured" ]; then
    rm -rf "$qt"
    mkdir -p "$qt"
    (cd "$qt" && PATH="$cache/bin:$PATH" "$qtsrc/configure" \
        -prefix "$qt" \
        -xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32- \
        -opensource -confirm-license -release -shared \
        -nomake examples -nomake tests -no-compile-examples \
        -no-opengl -no-dbus -no-icu -no-direct2d -no-pkg-config \
        -no-feature-tabletevent \
        -qt-zlib -qt-pcre -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz \
        -silent > configure.log 2>&1) ||
        { tail -n 40 "$qt/configure.log" >&2; exit 1; }
    touch "$qt/.configured"
    say "  configured"
fi
export PATH="$cache/bin:$PATH"
if [ ! -f "$qt/src/Makefile" ]; then
    say "  qmake for src/"
    make -C "$qt" -s sub-src-qmake_all > "$qt/make-qmake.log" 2>&1 ||
        { tail -n 40 "$qt/make-qmake.log" >&2; exit 1; }
fi
# Each part once; a stamp marks it done, so an interrupted build goes on
# where it stopped. winmain is qtmain, the entry point of GUI programs.
for target in sub-corelib sub-gui sub-widgets sub-testlib sub-platformsupport sub-winmain; do
    [ -f "$qt/.built-$target" ] && continue
    say "  make $target"
    make -C "$qt/src" -j "$jobs" -s "$target" > "$qt/make-$target.log" 2>&1 ||
        { tail -n 40 "$qt/make-$target.log" >&2; exit 1; }
    touch "$qt/.built-$target"
done
# The .ico reader is the only image format the program needs beyond PNG.
for plugin in platforms/windows platforms/offscreen styles imageformats/ico; do
    stamp="$qt/.built-${plugin//\//-}"
    [ -f "$stamp" ] && continue
    say "  make plugins/$plugin"
    log="$qt/make-${plugin//\//-}.log"
    (cd "$qt/src/plugins" && make -j "$jobs" -s "sub-${plugin%%/*}-qmake_all" > /dev/null 2>&1 || true)
    make -C "$qt/src/plugins/$plugin" -j "$jobs" -s > "$log" 2>&1 ||
        { tail -n 40 "$log" >&2; exit 1; }
    touch "$stamp"
done
# Qt's CMake packages load a file for every plugin that configure enabled;
# those of the plugins not built would make find_package(Qt5) fail.
for file in "$qt"/lib/cmake/Qt5*/Qt5*Plugin.cmake; do
    plugin=$(sed -n 's/.*_plugin_properties([A-Za-z0-9]* RELEASE "\([^"]*\)".*/\1/p' "$file")
    [ -n "$plugin" ] && [ ! -f "$qt/plugins/$plugin" ] && rm -f "$file"
done
say "  Qt: $(ls "$qt"/bin/Qt5*.dll 2>/dev/null | wc -l) libraries, plugins: $(cd "$qt/plugins" && ls */*.dll | tr '\n' ' ')"

hidapi=$cache/hidapi
if [ ! -f "$hidapi/.built" ]; then
    say "stage 5/5: hidapi for Windows (apt-get source hidapi)"
    hidsrc=$(fetch_source hidapi)
    rm -rf "$hidapi" "$cache/hidapi-build"
    # hidapi.dll, the name Windows builds of hidapi have elsewhere too, not
    # MinGW's default libhidapi.dll.
    echo 'set(CMAKE_SHARED_LIBRARY_PREFIX "")' > "$cache/hidapi-dll-name.cmake"
    cmake -S "$hidsrc" -B "$cache/hidapi-build" \
        -DCMAKE_PROJECT_INCLUDE="$cache/hidapi-dll-name.cmake" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
        -DCMAKE_INSTALL_PREFIX="$hidapi" > "$cache/hidapi-configure.log" 2>&1 ||
        { tail -n 40 "$cache/hidapi-configure.log" >&2; exit 1; }
    cmake --build "$cache/hidapi-build" -j "$jobs" > "$cache/hidapi-build.log" 2>&1 ||
        { tail -n 40 "$cache/hidapi-build.log" >&2; exit 1; }
    cmake --install "$cache/hidapi-build" > /dev/null
    touch "$hidapi/.built"
fi
say "  hidapi: $(cd "$hidapi" && ls bin/*.dll lib/*.a 2>/dev/null | tr '\n' ' ')"

{
    echo "qtbase $(basename "$qtsrc")"
    echo "hidapi $(basename "$(find "$cache/src/hidapi" -mindepth 1 -maxdepth 1 -type d | head -n 1)")"
    "$cache/bin/x86_64-w64-mingw32-g++" --version | head -n 1
} > "$cache/complete"
say "complete in $cache"
