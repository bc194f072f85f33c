# The "Brewpad.ini" store and its recent-file list (QtCore only).
add_library(bp_inistore STATIC app/inistore.cpp)
target_link_libraries(bp_inistore PUBLIC bp_platform Qt6::Core)

bp_add_test(test_inistore SOURCES tests/test_inistore.cpp LIBS bp_inistore)
