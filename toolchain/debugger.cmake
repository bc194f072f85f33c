# SPDX-License-Identifier: GPL-3.0-or-later
# The debugger: a JDI client (the package brewpad.debugger under
# toolchain/running/debugger/, built with CMake's Java
# support into brewpad-debugger.jar beside the program and installed where the
# compile service's jar is), the program's process and the debug session that
# drives both. Without a JDK at configure time the program is built without
# the jar, and the debug session says so when it is asked to start.
include(${CMAKE_SOURCE_DIR}/cmake/helperjar.cmake)

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

# With local variable tables: the debugger rehearses on a program of its own
# jar (DebuggerRehearsalProgram), showing its variables as it would the user's.
set(bp_debugger_java toolchain/running/debugger/brewpad/debugger)
bp_helper_jar(debugger LIBRARY bp_debugger ENTRY_POINT brewpad.debugger.BrewpadDebugger JAVA_FLAGS -g
  SOURCES ${bp_debugger_java}/BrewpadDebugger.java
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
          ${bp_debugger_java}/DebuggerRehearsalProgram.java)

# The helper's side of the wire against the golden frames Brewpad's side
# is tested with too (test_debugwire).
bp_helper_tests(debugger SOURCES tests/java/brewpad/debugger/DebuggerWireTest.java
                                 tests/java/brewpad/debugger/ExpressionParserTest.java)
bp_helper_test(debugger_wire_java debugger CLASS brewpad.debugger.DebuggerWireTest
               ARGS ${CMAKE_SOURCE_DIR}/tests/golden/debugger)
# The parsing of expressions and conditions, with javac's own messages.
bp_helper_test(debugger_parser_java debugger CLASS brewpad.debugger.ExpressionParserTest)

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
