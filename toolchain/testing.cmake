# SPDX-License-Identifier: GPL-3.0-or-later
# Running JUnit tests (toolchain/testing/) and asking Maven about a project
# (toolchain/maven/): plain data and processes, QtCore only.
add_library(bp_testing STATIC
  toolchain/testing/testreport.cpp
  toolchain/testing/testrun.cpp
  toolchain/maven/mavenprobe.cpp
  toolchain/maven/mavenloader.cpp
  toolchain/maven/mavencall.cpp
  toolchain/maven/mavenmessages.cpp)
target_link_libraries(bp_testing PUBLIC bp_debugger bp_toolchain Qt6::Core)

bp_add_test(test_junit SOURCES tests/toolchain/testing/test_junit.cpp LIBS bp_testing)
set_tests_properties(test_junit PROPERTIES COST 40)
bp_add_test(test_mavenprobe SOURCES tests/toolchain/maven/test_mavenprobe.cpp LIBS bp_testing)
set_tests_properties(test_mavenprobe PROPERTIES COST 60)
bp_add_test(test_mavenloader SOURCES tests/toolchain/maven/test_mavenloader.cpp LIBS bp_testing)
