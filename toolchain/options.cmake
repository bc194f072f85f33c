# Option windows of the build settings and the reading of compiler messages.
add_library(bp_options STATIC
  toolchain/mdidlg.cpp
  toolchain/messages.cpp)
target_link_libraries(bp_options PUBLIC bp_common Qt6::Widgets)

bp_add_test(test_options SOURCES tests/test_options.cpp LIBS bp_options)
bp_add_test(test_messages SOURCES tests/test_messages.cpp LIBS bp_options)
