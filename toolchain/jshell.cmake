# SPDX-License-Identifier: GPL-3.0-or-later
# The JShell pane's engine: a helper JVM that evaluates with jdk.jshell (the
# package brewpad.jshell under toolchain/running/jshell/, built with CMake's
# Java support into brewpad-jshell.jar beside the program and installed where
# the compile service's jar is), its typed wire and the session that drives it.
include(GNUInstallDirs)
find_package(Java 11 COMPONENTS Development)

set(bp_jshell_jar_name brewpad-jshell)

add_library(bp_jshell STATIC
  toolchain/running/jshellwire.cpp
  toolchain/running/jshellsession.cpp
  toolchain/running/inputhistory.cpp
  toolchain/running/jshellwindow.cpp)
target_link_libraries(bp_jshell PUBLIC bp_debugger bp_toolchain Qt6::Widgets)

function(bp_jshell_install)
  file(RELATIVE_PATH rel /${CMAKE_INSTALL_BINDIR} /${bp_service_install_dir}/${bp_jshell_jar_name}.jar)
  target_compile_definitions(bp_jshell PRIVATE BREWPAD_JSHELL_JAR_RELATIVE="${rel}")
  if(bp_jshell_jar)
    install(FILES ${bp_jshell_jar} DESTINATION ${bp_service_install_dir})
  endif()
endfunction()
cmake_language(DEFER CALL bp_jshell_install)

set(bp_jshell_jar "")
set(bp_jshell_jar_built "")
if(Java_Development_FOUND)
  include(UseJava)
  set(CMAKE_JAVA_COMPILE_FLAGS -Xlint:all -Werror --release 11)
  set(bp_jshell_java toolchain/running/jshell/brewpad/jshell)
  add_jar(brewpad_jshell
    SOURCES toolchain/running/wire/brewpad/wire/WireLine.java
            ${bp_jshell_java}/BrewpadJShell.java
            ${bp_jshell_java}/Evaluator.java
            ${bp_jshell_java}/Forwarder.java
            ${bp_jshell_java}/Replies.java
            ${bp_jshell_java}/Requests.java
    ENTRY_POINT brewpad.jshell.BrewpadJShell
    OUTPUT_NAME ${bp_jshell_jar_name}
    OUTPUT_DIR ${CMAKE_BINARY_DIR})
  get_target_property(bp_jshell_jar brewpad_jshell JAR_FILE)
  file(RELATIVE_PATH bp_jshell_jar_built ${CMAKE_BINARY_DIR} ${bp_jshell_jar})
  add_dependencies(bp_jshell brewpad_jshell)

  # The helper's side of the wire against the golden frames Brewpad's side is
  # tested with too (test_jshell): a plain Java program run by CTest.
  add_jar(brewpad_jshell_tests
    SOURCES tests/java/brewpad/jshell/JShellWireTest.java
    INCLUDE_JARS brewpad_jshell
    OUTPUT_DIR ${CMAKE_BINARY_DIR})
  get_target_property(bp_jshell_tests_jar brewpad_jshell_tests JAR_FILE)
  add_test(NAME jshell_wire_java
    COMMAND ${Java_JAVA_EXECUTABLE} -cp ${bp_jshell_jar}:${bp_jshell_tests_jar} brewpad.jshell.JShellWireTest
            ${CMAKE_SOURCE_DIR}/tests/golden/jshell)
endif()

bp_add_test(test_jshell SOURCES tests/toolchain/running/test_jshell.cpp LIBS bp_jshell)
target_compile_definitions(test_jshell PRIVATE BP_JSHELL_JAR="${bp_jshell_jar_built}")

bp_add_bench(bench_jshell SOURCES bench/bench_jshell.cpp LIBS bp_jshell Qt6::Test)
target_compile_definitions(bench_jshell PRIVATE BP_JSHELL_JAR="${bp_jshell_jar}")
