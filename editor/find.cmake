# Find, Replace and Find Next of the editor windows.
add_library(bp_find STATIC
  editor/finddlg.cpp
  editor/finddlg.h)
target_link_libraries(bp_find PUBLIC bp_common Qt6::Widgets)

bp_add_test(test_find SOURCES tests/test_find.cpp LIBS bp_find)
