# Installing and packaging: the programs and what the desktop needs to start
# the window (Linux: a Debian package; Windows: the zip, and the MSI that
# scripts/windows-msi.sh makes of it). Included by the top CMakeLists.txt once
# every program is defined.

# The programs and what the desktop needs to start the window; the
# simulated programs and the tests stay in the build tree.
include(GNUInstallDirs)
install(TARGETS tarvane tarvane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(UNIX AND NOT APPLE)
  # An optimised build is built as the distribution builds its packages,
  # with its hardening flags (dpkg-buildflags: fortified functions, stack
  # protector, read-only relocations bound at start-up ...). The build type
  # keeps the choice of optimisation and debug information.
  find_program(TARVANE_DPKG_BUILDFLAGS dpkg-buildflags)
  if(TARVANE_DPKG_BUILDFLAGS AND NOT TARVANE_SANITIZE AND NOT TARVANE_FUZZ
     AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
      execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                ${TARVANE_DPKG_BUILDFLAGS} --get ${kind}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        OUTPUT_VARIABLE _flags OUTPUT_STRIP_TRAILING_WHITESPACE)
      separate_arguments(_flags UNIX_COMMAND "${_flags}")
      list(FILTER _flags EXCLUDE REGEX "^-(O.*|g)$")
      if(kind STREQUAL "LDFLAGS")
        target_link_options(tarvane_warnings INTERFACE ${_flags})
      else()
        target_compile_options(tarvane_warnings INTERFACE ${_flags})
      endif()
    endforeach()
  endif()

  # Stripped as Debian strips its programs: the compiler's notes go too.
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      foreach(program tarvane tarvane-cli)
        set(path \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\")
        execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
          \"\${path}\" RESULT_VARIABLE result)
        if(NOT result EQUAL 0)
          message(FATAL_ERROR \"objcopy could not strip \${path}\")
        endif()
      endforeach()
    endif()")

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
  # The repeater's ids from the protocol's constants (protocol/CMakeLists.txt).
  configure_file(dist/70-tarvane.rules.in ${CMAKE_CURRENT_BINARY_DIR}/dist/70-tarvane.rules @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/dist/70-tarvane.rules DESTINATION ${TARVANE_UDEV_RULES_DIR})

  # The manual pages, compressed as Debian ships them: tarvane-cli's written
  # by tarvane-cli-manual from the table its --help is made from; the
  # window's, which has no options of its own, from dist/tarvane.1.in. In
  # English: groff cannot yet break or adjust lines of Chinese text.
  find_program(TARVANE_GZIP gzip REQUIRED)
  string(TIMESTAMP TARVANE_MANUAL_DATE "%Y-%m-%d")
  set(_man ${CMAKE_CURRENT_BINARY_DIR}/man)
  configure_file(dist/tarvane.1.in ${_man}/tarvane.1.in @ONLY)
  set(_pages ${_man}/man1/tarvane.1.gz ${_man}/man1/tarvane-cli.1.gz)
  add_custom_command(OUTPUT ${_pages}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_man}/man1
    COMMAND ${CMAKE_COMMAND} -E copy ${_man}/tarvane.1.in ${_man}/man1/tarvane.1
    COMMAND tarvane-cli-manual ${TARVANE_MANUAL_DATE} ${_man}/man1/tarvane-cli.1
    COMMAND ${TARVANE_GZIP} -9nf ${_man}/man1/tarvane.1 ${_man}/man1/tarvane-cli.1
    DEPENDS tarvane-cli-manual ${_man}/tarvane.1.in
    COMMENT "Writing the manual pages"
    VERBATIM)
  add_custom_target(tarvane_manual_pages ALL DEPENDS ${_pages})
  install(FILES ${_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  # What a package of the distribution carries beside its programs: the
  # licence, and the history of its versions, whose latest is this one.
  set(_doc ${CMAKE_INSTALL_DATADIR}/doc/tarvane)
  file(STRINGS dist/changelog _latest LIMIT_COUNT 1)
  if(NOT _latest MATCHES "^tarvane \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "dist/changelog begins with \"${_latest}\": add an entry for ${PROJECT_VERSION}")
  endif()
  add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/dist/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/dist/changelog ${CMAKE_CURRENT_BINARY_DIR}/dist/changelog
    COMMAND ${TARVANE_GZIP} -9nf ${CMAKE_CURRENT_BINARY_DIR}/dist/changelog
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/dist/changelog
    VERBATIM)
  add_custom_target(tarvane_changelog ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/dist/changelog.gz)
  install(FILES dist/copyright ${CMAKE_CURRENT_BINARY_DIR}/dist/changelog.gz DESTINATION ${_doc})
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
