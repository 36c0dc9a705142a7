# Fails when a source below the window includes a Qt Gui or Widgets header by
# its module's folder (which Qt Core's include path reaches) or a header of
# another folder by a relative path, which no layer's include path stops.
set(found)
foreach(folder protocol device values operations cli)
  file(GLOB_RECURSE sources ${ROOT}/${folder}/*.cpp ${ROOT}/${folder}/*.h)
  foreach(source ${sources})
    file(STRINGS ${source} lines REGEX "^#include [<\"](QtGui/|QtWidgets/|\\.\\./)")
    foreach(line ${lines})
      list(APPEND found "${source}: ${line}")
    endforeach()
  endforeach()
endforeach()
if(found)
  string(REPLACE ";" "\n" found "${found}")
  message(FATAL_ERROR "includes that go round the layers:\n${found}")
endif()
