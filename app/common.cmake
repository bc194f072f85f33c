# Shared pieces every area uses: command ids and hints, the dialog interface,
# file-dialog records, tool-path globals and build settings.
add_library(bp_common STATIC
  app/ids.cpp
  app/dialogs.cpp
  workspace/filedata.cpp
  config/toolpaths.cpp
  toolchain/settings.cpp)
target_link_libraries(bp_common PUBLIC Qt6::Core Qt6::Gui Qt6::Widgets Qt6::PrintSupport)
bp_add_test(test_dialogs SOURCES tests/test_dialogs.cpp LIBS bp_common)
