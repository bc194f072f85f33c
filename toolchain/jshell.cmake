# SPDX-License-Identifier: GPL-3.0-or-later
# The JShell pane's engine: a helper JVM that evaluates with jdk.jshell (the
# package brewpad.jshell under toolchain/running/jshell/, built with CMake's
# Java support into brewpad-jshell.jar beside the program and installed where
# the compile service's jar is), its typed wire and the session that drives it.
include(${CMAKE_SOURCE_DIR}/cmake/helperjar.cmake)

add_library(bp_jshell STATIC
  toolchain/running/jshellwire.cpp
  toolchain/running/jshellsession.cpp
  toolchain/running/inputhistory.cpp
  toolchain/running/jshellwindow.cpp)
target_link_libraries(bp_jshell PUBLIC bp_debugger bp_toolchain Qt6::Widgets)

set(bp_jshell_java toolchain/running/jshell/brewpad/jshell)
bp_helper_jar(jshell LIBRARY bp_jshell ENTRY_POINT brewpad.jshell.BrewpadJShell
  SOURCES ${bp_jshell_java}/BrewpadJShell.java
          ${bp_jshell_java}/Evaluator.java
          ${bp_jshell_java}/Forwarder.java
          ${bp_jshell_java}/IndexGate.java
          ${bp_jshell_java}/Replies.java
          ${bp_jshell_java}/Requests.java)

# The helper's side of the wire against the golden frames Brewpad's side is
# tested with too (test_jshell).
bp_helper_tests(jshell SOURCES tests/java/brewpad/jshell/JShellWireTest.java
                                tests/java/brewpad/jshell/IndexGateTest.java)
bp_helper_test(jshell_wire_java jshell CLASS brewpad.jshell.JShellWireTest ARGS ${CMAKE_SOURCE_DIR}/tests/golden/jshell)
# When jdk.jshell's analysis builds the index of the completions.
bp_helper_test(jshell_index_gate_java jshell CLASS brewpad.jshell.IndexGateTest)

bp_add_test(test_jshell SOURCES tests/toolchain/running/test_jshell.cpp LIBS bp_jshell)
target_compile_definitions(test_jshell PRIVATE BP_JSHELL_JAR="${bp_jshell_jar_built}")

bp_add_bench(bench_jshell SOURCES bench/bench_jshell.cpp LIBS bp_jshell Qt6::Test)
target_compile_definitions(bench_jshell PRIVATE BP_JSHELL_JAR="${bp_jshell_jar}")
