#!/usr/bin/env bash
# Compiles the Windows-only sources (app/platform/*_win.cpp,
# cli/platform/*_win.cpp, widgets/platform/*_win.cpp) with the MinGW cross
# compiler in syntax-only mode against this machine's Qt and hidapi headers,
# so that a mistake in them shows up without a Windows build. When
# app/tarvane.rc.in exists, it is also filled in and compiled with windres.
set -euo pipefail
cd "$(dirname "$0")/.."

cxx=x86_64-w64-mingw32-g++-posix
windres=x86_64-w64-mingw32-windres
qt=/usr/include/x86_64-linux-gnu/qt5

flags=(-fsyntax-only -std=c++17 -Wall -Wextra -Werror
    # As a Windows Qt build defines them.
    -DUNICODE -D_UNICODE -DWIN32 -DQT_CORE_LIB -DQT_GUI_LIB -DQT_WIDGETS_LIB
    -DQT_DEPRECATED_WARNINGS -DTARVANE_VERSION=\"0.0.0\"
    # Linux's Qt headers only: nothing of the host's /usr/include may leak in.
    -isystem "$qt" -isystem "$qt/QtCore" -isystem "$qt/QtGui" -isystem "$qt/QtWidgets"
    -isystem /usr/include/hidapi
    -I. -Iapp -Icli -Idevice -Ipages -Iwidgets -Iapp/platform -Icli/platform -Iwidgets/platform)

shopt -s nullglob
sources=(app/platform/*_win.cpp cli/platform/*_win.cpp widgets/platform/*_win.cpp)
if [ ${#sources[@]} -eq 0 ]; then
    echo "no Windows sources found" >&2
    exit 1
fi

failed=0
for source in "${sources[@]}"; do
    if "$cxx" "${flags[@]}" "$source"; then
        echo "ok   $source"
    else
        echo "FAIL $source" >&2
        failed=1
    fi
done

rc_template=app/tarvane.rc.in
if [ -f "$rc_template" ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    # Fill the template in as CMake's configure_file does, with the version
    # from the project() line.
    version=$(sed -n 's/^project(Tarvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
    IFS=. read -r major minor patch _ <<< "$version"
    cat > "$work/configure.cmake" <<CMAKE
set(PROJECT_NAME Tarvane)
set(PROJECT_VERSION "$version")
set(PROJECT_VERSION_MAJOR ${major:-0})
set(PROJECT_VERSION_MINOR ${minor:-0})
set(PROJECT_VERSION_PATCH ${patch:-0})
set(PROJECT_VERSION_TWEAK 0)
set(Tarvane_VERSION "$version")
set(Tarvane_VERSION_MAJOR ${major:-0})
set(Tarvane_VERSION_MINOR ${minor:-0})
set(Tarvane_VERSION_PATCH ${patch:-0})
set(CMAKE_SOURCE_DIR "$(pwd)")
set(CMAKE_CURRENT_SOURCE_DIR "$(pwd)")
set(PROJECT_SOURCE_DIR "$(pwd)")
set(TARVANE_RC_VERSION "${major:-0},${minor:-0},${patch:-0},0")
set(TARVANE_RC_NAME tarvane)
configure_file("$(pwd)/$rc_template" "$work/tarvane.rc")
CMAKE
    cmake -P "$work/configure.cmake"
    if (cd app && "$windres" -I. -I.. "$work/tarvane.rc" -O coff -o "$work/tarvane.res"); then
        echo "ok   $rc_template"
    else
        echo "FAIL $rc_template" >&2
        failed=1
    fi
fi
exit $failed
