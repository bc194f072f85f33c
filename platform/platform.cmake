# SPDX-License-Identifier: GPL-3.0-or-later
# platform/: what differs between hosts (paths, volumes, terminal, keyboard), and
# the program's seams to the desktop: the dialog interface, the file-dialog
# records, the routing of commands and the Windows-1252 code page. Includes no
# other folder.
add_library(bp_platform STATIC
  platform/host.cpp
  platform/keyboard.cpp
  platform/dialogs.cpp
  platform/findfilesdialog.cpp
  platform/filedata.cpp
  platform/windows1252.cpp
  platform/nativename.cpp
  platform/nativepath.cpp
  platform/startuptrace.cpp
  platform/processgroup.cpp
  platform/printsupport.cpp)
target_link_libraries(bp_platform PUBLIC Qt6::Core Qt6::Gui Qt6::Widgets Qt6::PrintSupport ${CMAKE_DL_LIBS})

# Qt's print support, in a module of its own that the program loads when it
# first wants a printer (platform/printsupport.h): beside the program in the
# build folder, installed in lib/brewpad/plugins (a folder of the program's
# own, not one the system's library cache lists), found from the program's
# folder. It needs the C library like every shared object, though it calls
# nothing of it directly.
include(GNUInstallDirs)
add_library(brewpad_printsupport MODULE platform/printsupportmodule.cpp)
target_link_libraries(brewpad_printsupport PRIVATE Qt6::Widgets Qt6::PrintSupport)
target_link_options(brewpad_printsupport PRIVATE -Wl,--no-as-needed)
set_target_properties(brewpad_printsupport PROPERTIES PREFIX "" OUTPUT_NAME brewpad-printsupport
                      LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR} AUTOMOC OFF)
add_dependencies(bp_platform brewpad_printsupport)
file(RELATIVE_PATH bp_module_dir ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/brewpad/plugins)
set_property(SOURCE platform/printsupport.cpp APPEND PROPERTY COMPILE_DEFINITIONS
             BREWPAD_MODULE_DIR="${bp_module_dir}")
install(TARGETS brewpad_printsupport LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/brewpad/plugins)

# The module that prints, loaded from beside the program.
bp_add_test(test_printsupport SOURCES tests/platform/test_printsupport.cpp LIBS bp_platform)
bp_add_test(test_dialogs SOURCES tests/platform/test_dialogs.cpp LIBS bp_platform)
bp_add_test(test_nativename SOURCES tests/platform/test_nativename.cpp LIBS bp_platform)
bp_add_test(test_processgroup SOURCES tests/platform/test_processgroup.cpp LIBS bp_platform)
