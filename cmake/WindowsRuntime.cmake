# What a cross-built Windows program needs beside it, and the Wine runner that
# ctest uses as its emulator (scripts/windows-build.sh).

# The MinGW runtime DLLs of the compiler that built the programs.
set(TARVANE_MINGW_RUNTIME)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE _path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${_path}" OR NOT EXISTS "${_path}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${dll} is")
  endif()
  list(APPEND TARVANE_MINGW_RUNTIME "${_path}")
endforeach()

get_filename_component(TARVANE_QT_PREFIX "${Qt5_DIR}/../../.." ABSOLUTE)
get_filename_component(_hidapi_prefix "${HIDAPI_LIBRARIES}" DIRECTORY)
get_filename_component(_hidapi_prefix "${_hidapi_prefix}/.." ABSOLUTE)

# Folders Wine searches for DLLs, as Z: paths.
set(_dirs "${TARVANE_QT_PREFIX}/bin" "${_hidapi_prefix}/bin")
foreach(dll ${TARVANE_MINGW_RUNTIME})
  get_filename_component(_dir "${dll}" DIRECTORY)
  list(APPEND _dirs "${_dir}")
endforeach()
list(REMOVE_DUPLICATES _dirs)
set(TARVANE_WINEPATH)
foreach(dir ${_dirs})
  string(REPLACE "/" "\\" dir "Z:${dir}")
  list(APPEND TARVANE_WINEPATH "${dir}")
endforeach()

# Debian's wine64 package puts its loader outside PATH unless the wine
# wrapper package is installed too.
find_program(TARVANE_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(TARVANE_WINE NAMES wine64 wine)
find_program(TARVANE_WINESERVER NAMES wineserver wineserver64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(TARVANE_WINESERVER NAMES wineserver wineserver64)
if(TARVANE_WINE AND TARVANE_WINESERVER)
  configure_file(cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh.tmp @ONLY)
  file(COPY ${CMAKE_BINARY_DIR}/wine-run.sh.tmp DESTINATION ${CMAKE_BINARY_DIR}/cmake-tmp
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  file(RENAME ${CMAKE_BINARY_DIR}/cmake-tmp/wine-run.sh.tmp ${CMAKE_BINARY_DIR}/wine-run.sh)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
else()
  message(WARNING "Wine not found: the Windows tests cannot run here")
endif()
