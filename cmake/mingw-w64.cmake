# Cross-building for 64-bit Windows with Debian's MinGW-w64. The POSIX-thread
# compilers by their full names: std::thread needs them, and the Qt built by
# scripts/windows-toolchain.sh uses the same C++ runtime.
#
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#         -DTARVANE_WINDOWS_TOOLCHAIN=~/.cache/tarvane/windows-toolchain ...
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_mingw}-windres)

# The cache folder of scripts/windows-toolchain.sh: Qt and hidapi for Windows.
set(TARVANE_WINDOWS_TOOLCHAIN "$ENV{TARVANE_WINDOWS_TOOLCHAIN}" CACHE PATH
  "Folder with the cross-built Qt (qt5/) and hidapi (hidapi/)")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TARVANE_WINDOWS_TOOLCHAIN)

set(CMAKE_FIND_ROOT_PATH /usr/${_mingw})
if(TARVANE_WINDOWS_TOOLCHAIN)
  list(APPEND CMAKE_FIND_ROOT_PATH
    ${TARVANE_WINDOWS_TOOLCHAIN}/qt5 ${TARVANE_WINDOWS_TOOLCHAIN}/hidapi)
endif()
# Programs run on this machine; libraries, headers and packages are Windows ones.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# lrelease is a host tool: Debian's Linux Qt provides it.
if(NOT Qt5LinguistTools_DIR AND EXISTS /usr/lib/x86_64-linux-gnu/cmake/Qt5LinguistTools)
  set(Qt5LinguistTools_DIR /usr/lib/x86_64-linux-gnu/cmake/Qt5LinguistTools CACHE PATH
    "Qt's translation tools for this machine")
endif()
