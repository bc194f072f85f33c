# SPDX-License-Identifier: GPL-3.0-or-later
# The debugger: a JDI client (the package brewpad.debugger under
# toolchain/running/debugger/, built with CMake's Java
# support into brewpad-debugger.jar beside the program and installed where the
# compile service's jar is), the program's process and the debug session that
# drives both. Without a JDK at configure time the program is built without
# the jar, and the debug session says so when it is asked to start.
include(GNUInstallDirs)
find_package(Java 11 COMPONENTS Development)

set(bp_debugger_jar_name brewpad-debugger)

add_library(bp_debugger STATIC
  toolchain/running/programprocess.cpp
  toolchain/running/outputpipe.cpp
  toolchain/running/debugprotocol.cpp
  toolchain/running/debugwire.cpp
  toolchain/running/debugsession.cpp
  toolchain/running/stacktraceline.cpp
  toolchain/running/consolelog.cpp
  toolchain/running/consolewindow.cpp
  toolchain/running/variableswindow.cpp
  toolchain/running/watchlist.cpp
  toolchain/running/watcheswindow.cpp
  toolchain/running/callstackwindow.cpp
  toolchain/running/inlinevalues.cpp
  toolchain/running/classdebuginfo.cpp
  toolchain/running/debugclasses.cpp)
target_link_libraries(bp_debugger PUBLIC bp_toolchain Qt6::Widgets)

# The jar goes where the compile service's goes (bp_service_install_dir, set
# in service.cmake, which is read after this file).
function(bp_debugger_install)
  file(RELATIVE_PATH rel /${CMAKE_INSTALL_BINDIR} /${bp_service_install_dir}/${bp_debugger_jar_name}.jar)
  target_compile_definitions(bp_debugger PRIVATE BREWPAD_DEBUGGER_JAR_RELATIVE="${rel}")
  if(bp_debugger_jar)
    install(FILES ${bp_debugger_jar} DESTINATION ${bp_service_install_dir})
  endif()
endfunction()
cmake_language(DEFER CALL bp_debugger_install)

set(bp_debugger_jar "")
# The test programs name the jar relative to the build folder they stand in.
set(bp_debugger_jar_built "")
if(Java_Development_FOUND)
  include(UseJava)
  # With local variable tables: the debugger rehearses on a program of its own
  # jar (DebuggerRehearsalProgram), showing its variables as it would the user's.
  set(CMAKE_JAVA_COMPILE_FLAGS -Xlint:all -Werror --release 11 -g)
  set(bp_debugger_java toolchain/running/debugger/brewpad/debugger)
  add_jar(brewpad_debugger
    SOURCES toolchain/running/wire/brewpad/wire/WireLine.java
            ${bp_debugger_java}/BrewpadDebugger.java
            ${bp_debugger_java}/Breakpoint.java
            ${bp_debugger_java}/Breakpoints.java
            ${bp_debugger_java}/DebuggerConnection.java
            ${bp_debugger_java}/Prefetch.java
            ${bp_debugger_java}/Request.java
            ${bp_debugger_java}/RequestDecoder.java
            ${bp_debugger_java}/ReplyEncoder.java
            ${bp_debugger_java}/DebuggerValues.java
            ${bp_debugger_java}/EvaluationError.java
            ${bp_debugger_java}/ExpressionParser.java
            ${bp_debugger_java}/EvalContext.java
            ${bp_debugger_java}/EvalNames.java
            ${bp_debugger_java}/EvalOperators.java
            ${bp_debugger_java}/EvalInvoker.java
            ${bp_debugger_java}/Evaluator.java
            ${bp_debugger_java}/Evaluation.java
            ${bp_debugger_java}/DebuggerRehearsal.java
            ${bp_debugger_java}/DebuggerRehearsalProgram.java
    ENTRY_POINT brewpad.debugger.BrewpadDebugger
    OUTPUT_NAME ${bp_debugger_jar_name}
    OUTPUT_DIR ${CMAKE_BINARY_DIR})
  get_target_property(bp_debugger_jar brewpad_debugger JAR_FILE)
  file(RELATIVE_PATH bp_debugger_jar_built ${CMAKE_BINARY_DIR} ${bp_debugger_jar})
  add_dependencies(bp_debugger brewpad_debugger)

  # The helper's side of the wire against the golden frames Brewpad's side
  # is tested with too (test_debugwire): a plain Java program run by CTest.
  add_jar(brewpad_debugger_tests
    SOURCES tests/java/brewpad/debugger/DebuggerWireTest.java
            tests/java/brewpad/debugger/ExpressionParserTest.java
    INCLUDE_JARS brewpad_debugger
    OUTPUT_DIR ${CMAKE_BINARY_DIR})
  get_target_property(bp_debugger_tests_jar brewpad_debugger_tests JAR_FILE)
  add_test(NAME debugger_wire_java
    COMMAND ${Java_JAVA_EXECUTABLE} -cp ${bp_debugger_jar}:${bp_debugger_tests_jar} brewpad.debugger.DebuggerWireTest
            ${CMAKE_SOURCE_DIR}/tests/golden/debugger)
  # The parsing of expressions and conditions, with javac's own messages.
  add_test(NAME debugger_parser_java
    COMMAND ${Java_JAVA_EXECUTABLE} -cp ${bp_debugger_jar}:${bp_debugger_tests_jar}
            brewpad.debugger.ExpressionParserTest)
endif()

bp_add_test(test_debugger SOURCES tests/toolchain/running/test_debugger.cpp LIBS bp_debugger)
bp_add_test(test_evaluate SOURCES tests/toolchain/running/test_evaluate.cpp LIBS bp_debugger)
target_compile_definitions(test_evaluate PRIVATE BP_DEBUGGER_JAR="${bp_debugger_jar_built}")
set_tests_properties(test_evaluate PROPERTIES COST 50)
bp_add_test(test_console SOURCES tests/toolchain/running/test_console.cpp LIBS bp_debugger)
bp_add_test(test_debugwire SOURCES tests/toolchain/running/test_debugwire.cpp LIBS bp_debugger)
target_compile_definitions(test_debugger PRIVATE BP_DEBUGGER_JAR="${bp_debugger_jar_built}")
set_tests_properties(test_debugger PROPERTIES COST 50)  # JVMs: among the first tests started
bp_add_bench(bench_debug SOURCES bench/bench_debug.cpp LIBS bp_debugger Qt6::Test)
bp_add_bench(bench_console SOURCES bench/bench_console.cpp LIBS bp_debugger)
target_compile_definitions(bench_debug PRIVATE BP_DEBUGGER_JAR="${bp_debugger_jar}")
