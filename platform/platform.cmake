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
  platform/processgroup.cpp)
target_link_libraries(bp_platform PUBLIC Qt6::Core Qt6::Gui Qt6::Widgets Qt6::PrintSupport ${CMAKE_DL_LIBS})

bp_add_test(test_dialogs SOURCES tests/platform/test_dialogs.cpp LIBS bp_platform)
bp_add_test(test_nativename SOURCES tests/platform/test_nativename.cpp LIBS bp_platform)
bp_add_test(test_processgroup SOURCES tests/platform/test_processgroup.cpp LIBS bp_platform)
