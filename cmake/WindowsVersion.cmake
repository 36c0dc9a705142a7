# The Windows version resource of a program, from the version in the top
# CMakeLists.txt: the About box and Explorer show it. Does nothing elsewhere.
# The resource of "tarvane" is also taken by the tests of the About box and
# the screenshots tool, as ${CMAKE_BINARY_DIR}/tarvane.rc.
if(WIN32)
  enable_language(RC)
  set(TARVANE_RC_VERSION "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR}")
  foreach(part PATCH TWEAK)
    if("${PROJECT_VERSION_${part}}" STREQUAL "")
      string(APPEND TARVANE_RC_VERSION ",0")
    else()
      string(APPEND TARVANE_RC_VERSION ",${PROJECT_VERSION_${part}}")
    endif()
  endforeach()
endif()

function(tarvane_version_resource program)
  if(WIN32)
    set(TARVANE_RC_NAME ${program})
    configure_file(${PROJECT_SOURCE_DIR}/app/tarvane.rc.in ${CMAKE_BINARY_DIR}/${program}.rc @ONLY)
    target_sources(${program} PRIVATE ${CMAKE_BINARY_DIR}/${program}.rc)
  endif()
endfunction()
