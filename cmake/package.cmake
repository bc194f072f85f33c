# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --install` puts where, and the Debian package built from it
# (`make package`, CPack): the program, its desktop entry, the type of .jpr
# project files, the icon at the usual sizes, AppStream metainfo, the manual
# page, and the copyright (GPL-3.0-or-later) and changelog in share/doc/brewpad,
# under the prefix /usr in the package.
include(GNUInstallDirs)

# The AppStream component id and where the screenshot is published. The project
# has no domain of its own yet: the id stands under the reserved ".invalid"
# (AppStream accepts it; a published release should use a domain the project
# owns, and the screenshot URL must then point at a real picture).
set(BREWPAD_APP_ID "invalid.brewpad.Brewpad" CACHE STRING "AppStream component id")
set(BREWPAD_SCREENSHOT_URL "https://brewpad.invalid/screenshots/editor.png" CACHE STRING
    "Address of the screenshot named in the AppStream metainfo")
# The day this version was released, for the metainfo.
set(BREWPAD_RELEASE_DATE "2026-12-08")

# The icon for the hicolor theme, drawn at each size from its source
# (resources/iconsrc/make_icons.cpp) rather than scaled from one picture.
set(bp_theme_dir ${CMAKE_BINARY_DIR}/hicolor)
set(bp_theme_icons)
foreach(size 16 22 24 32 48 64 128 256)
  list(APPEND bp_theme_icons ${bp_theme_dir}/${size}x${size}/apps/brewpad.png)
endforeach()
add_custom_command(OUTPUT ${bp_theme_icons}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:make_icons> --hicolor ${bp_theme_dir}
  DEPENDS make_icons
  COMMENT "Drawing the icon of the desktop entry"
  VERBATIM)

configure_file(resources/brewpad.metainfo.xml.in ${CMAKE_BINARY_DIR}/${BREWPAD_APP_ID}.metainfo.xml @ONLY)
configure_file(resources/brewpad.1 ${CMAKE_BINARY_DIR}/man/brewpad.1 @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/brewpad.1.gz
  COMMAND gzip -9 -n -k -f ${CMAKE_BINARY_DIR}/man/brewpad.1
  DEPENDS ${CMAKE_BINARY_DIR}/man/brewpad.1
  COMMENT "Compressing the manual page"
  VERBATIM)
# The changelog, compressed as Debian keeps it (a native package: changelog.gz).
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/doc/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/resources/changelog ${CMAKE_BINARY_DIR}/doc/changelog
  COMMAND gzip -9 -n -f ${CMAKE_BINARY_DIR}/doc/changelog
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/changelog
  COMMENT "Compressing the changelog"
  VERBATIM)
# The sanitizer build ships nothing and checks no package: it draws the icons
# only when asked to (make_icons is a program of its own to build).
if(BREWPAD_SANITIZE)
  set(bp_desktop_files_all "")
else()
  set(bp_desktop_files_all ALL)
endif()
add_custom_target(desktop_files ${bp_desktop_files_all} DEPENDS ${bp_theme_icons} ${CMAKE_BINARY_DIR}/man/brewpad.1.gz
                                            ${CMAKE_BINARY_DIR}/doc/changelog.gz)

# Qt's libraries come from the system: the installed program carries no
# run-time search path of its own.
set_target_properties(brewpad PROPERTIES INSTALL_RPATH "")
install(TARGETS brewpad RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES resources/brewpad.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/brewpad-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME brewpad.xml)
install(DIRECTORY ${bp_theme_dir}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${CMAKE_BINARY_DIR}/${BREWPAD_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_BINARY_DIR}/man/brewpad.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The package's name, not the project's: share/doc/brewpad.
install(FILES resources/copyright ${CMAKE_BINARY_DIR}/doc/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/brewpad)

# The Debian package. Its library dependencies are read from the program by
# dpkg-shlibdeps; the JDK and a terminal (for Java Run) are recommended.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brewpad)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Brewpad")
set(CPACK_PACKAGE_CONTACT "Brewpad developers <dev@brewpad.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small, fast IDE for Java")
# The lines after the summary; CPack indents them.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Brewpad is a small integrated development environment for Java, with one
main window holding editor windows for Java sources and projects (.jpr
files), option windows and a window with the compiler's messages. It
compiles with the JDK's javac, leads from a compiler message to its line,
runs application classes in a terminal window and applets, converts Unix
line ends and prints.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "openjdk-17-jdk-headless | default-jdk-headless, x-terminal-emulator | xterm")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)

# The package's check (tests/package/check-deb.sh): built from this build tree,
# its files validated, and the program run from it. Not in the sanitizer build,
# whose program is not the one shipped.
if(NOT BREWPAD_SANITIZE)
  add_test(NAME package_deb
    COMMAND ${CMAKE_SOURCE_DIR}/tests/package/check-deb.sh ${CMAKE_CPACK_COMMAND}
            ${CMAKE_BINARY_DIR}/CPackConfig.cmake ${PROJECT_VERSION} ${BREWPAD_APP_ID})
  # It builds and checks a whole package (xz, lintian): started among the first,
  # so that it does not end the suite alone.
  set_tests_properties(package_deb PROPERTIES TIMEOUT 600 COST 100 LABELS program)
endif()
