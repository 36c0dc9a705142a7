# Installing and packaging: the programs and what the desktop needs to start
# the window (Linux: a Debian package; Windows: the zip, and the MSI that
# scripts/windows-msi.sh makes of it). Included by the top CMakeLists.txt once
# every program is defined.

# The programs and what the desktop needs to start the window; the
# simulated programs and the tests stay in the build tree.
include(GNUInstallDirs)
install(TARGETS tarvane tarvane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(UNIX AND NOT APPLE)
  # udev reads /usr/lib/udev/rules.d and /etc/udev/rules.d, not /usr/local:
  # a build installed elsewhere copies the rule to /etc/udev/rules.d by hand.
  set(TARVANE_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING
    "Where the udev rule goes, relative to the install prefix")
  set(TARVANE_DESKTOP_EXEC tarvane)
  set(TARVANE_DESKTOP_ICON tarvane)
  configure_file(dist/tarvane.desktop.in ${CMAKE_CURRENT_BINARY_DIR}/dist/tarvane.desktop @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/dist/tarvane.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  # Drawn by tools/images, refreshed with scripts/make-images.sh.
  install(DIRECTORY dist/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
  install(FILES dist/70-tarvane.rules DESTINATION ${TARVANE_UDEV_RULES_DIR})
elseif(WIN32)
  # windeployqt puts the Qt libraries and plugins beside the installed
  # program; hidapi's DLL is taken from beside its import library's bin/.
  get_filename_component(_qt_bin "${Qt5_DIR}/../../../bin" ABSOLUTE)
  find_program(TARVANE_WINDEPLOYQT windeployqt HINTS ${_qt_bin})
  if(TARVANE_WINDEPLOYQT)
    install(CODE "execute_process(COMMAND \"${TARVANE_WINDEPLOYQT}\" --no-translations
      \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:tarvane>\")")
  elseif(CMAKE_CROSSCOMPILING)
    # No windeployqt for a cross build: the Qt libraries and plugins the
    # program loads, and the MinGW runtime, by name.
    foreach(module Core Gui Widgets)
      install(FILES ${TARVANE_QT_PREFIX}/bin/Qt5${module}.dll DESTINATION ${CMAKE_INSTALL_BINDIR})
    endforeach()
    install(FILES ${TARVANE_QT_PREFIX}/plugins/platforms/qwindows.dll
      DESTINATION ${CMAKE_INSTALL_BINDIR}/platforms)
    install(FILES ${TARVANE_QT_PREFIX}/plugins/styles/qwindowsvistastyle.dll
      DESTINATION ${CMAKE_INSTALL_BINDIR}/styles)
    # The check-box and window icons are .ico images.
    install(FILES ${TARVANE_QT_PREFIX}/plugins/imageformats/qico.dll
      DESTINATION ${CMAKE_INSTALL_BINDIR}/imageformats)
    install(FILES ${TARVANE_MINGW_RUNTIME} DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
  # Qt's own Chinese texts, in "translations" beside the programs, where
  # they look first. The catalogue is the same file on every platform.
  find_file(TARVANE_QT_ZH_CATALOGUE qtbase_zh_CN.qm
    PATHS "${Qt5_DIR}/../../../translations" /usr/share/qt5/translations NO_DEFAULT_PATH
    NO_CMAKE_FIND_ROOT_PATH)
  if(TARVANE_QT_ZH_CATALOGUE)
    install(FILES ${TARVANE_QT_ZH_CATALOGUE} DESTINATION ${CMAKE_INSTALL_BINDIR}/translations)
    # The test programs and the programs in the build tree look there too.
    file(COPY ${TARVANE_QT_ZH_CATALOGUE} DESTINATION ${CMAKE_BINARY_DIR}/translations)
    file(COPY ${TARVANE_QT_ZH_CATALOGUE} DESTINATION ${CMAKE_BINARY_DIR}/tests/translations)
  endif()
  get_filename_component(_hidapi_lib_dir "${HIDAPI_LIBRARIES}" DIRECTORY)
  file(GLOB _hidapi_dlls "${_hidapi_lib_dir}/../bin/hidapi*.dll")
  if(_hidapi_dlls)
    install(FILES ${_hidapi_dlls} DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endif()

set(CPACK_PACKAGE_NAME tarvane)
set(CPACK_PACKAGE_VENDOR "Tarvane maintainers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for CAN-bus repeaters")
set(CPACK_PACKAGE_DESCRIPTION
  "Tarvane finds a CAN-bus repeater on USB, reads its CAN channel, fiber and\n"
  "route parameters, lets them be edited and writes them back. Parameter sets\n"
  "are saved and opened as JSON text files. Chinese and English interface.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME tarvane-${PROJECT_VERSION}-windows-x64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tarvane maintainers <maintainers@tarvane.invalid>")
  set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/dist/postinst)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
  # Without a CJK font every Chinese text shows as empty boxes; without Qt's
  # catalogues Qt's own texts (file dialogs, buttons) stay English in Chinese.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk, qttranslations5-l10n")
  find_program(TARVANE_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(TARVANE_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt5widgets5 (>= 5.15), libqt5gui5 (>= 5.15), libqt5core5a (>= 5.15), libhidapi-hidraw0, libudev1")
  endif()
endif()
include(CPack)
