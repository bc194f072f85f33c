# SPDX-License-Identifier: GPL-3.0-or-later
# One main for every test program, compiled once: a QApplication on the offscreen
# platform, so that widget tests and plain tests share it, and the helpers of
# tests/support/support.h. Before every test it puts the build settings and tool paths
# back to those of a fresh start.
add_library(bp_test_main STATIC ${CMAKE_SOURCE_DIR}/tests/support/test_main.cpp ${CMAKE_SOURCE_DIR}/tests/support/support.cpp)
target_link_libraries(bp_test_main PUBLIC GTest::gtest Qt6::Widgets Qt6::Test bp_toolchain)
target_include_directories(bp_test_main PUBLIC ${CMAKE_SOURCE_DIR}/tests/support)
set_target_properties(bp_test_main PROPERTIES AUTOMOC OFF)
# The test programs themselves are compiled with light optimisation and line
# tables only (the libraries they test keep the build's own options): compiling
# the test sources was most of the processor time of a build, and their code
# waits on javac, a JVM or a timer rather than on a core. The options pass to
# every test program, which must match them to reuse the precompiled headers.
set(BREWPAD_TEST_FLAGS "-O1 -g1" CACHE STRING
    "Options for the test sources in optimised builds (empty: the build's own)")
if(NOT BREWPAD_SANITIZE AND NOT BREWPAD_FUZZ)
  separate_arguments(bp_test_flags UNIX_COMMAND "${BREWPAD_TEST_FLAGS}")
  foreach(flag ${bp_test_flags})
    target_compile_options(bp_test_main PUBLIC "$<$<CONFIG:RelWithDebInfo,Release,MinSizeRel>:${flag}>")
  endforeach()
endif()
# The headers most test sources include, GoogleTest's and Qt's, compiled once
# here and reused by every test program (a quarter or more of the time a test
# source takes to compile went into reading them).
target_precompile_headers(bp_test_main PRIVATE
  <gtest/gtest.h> <functional> <optional> <string>
  <QApplication> <QDir> <QFile> <QFileInfo> <QImage> <QLabel> <QLineEdit> <QMdiSubWindow>
  <QMenu> <QPlainTextEdit> <QProcess> <QPushButton> <QSignalSpy> <QTemporaryDir> <QTest>
  <QTextBlock> <QTextCursor> <QTextDocument>)

# bp_add_test(NAME SOURCES files... LIBS libs...)
# A GoogleTest program run headless. Test sources declare no QObject classes of
# their own, so they are not run through moc.
function(bp_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} bp_test_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
  set_target_properties(${name} PROPERTIES AUTOMOC OFF)
  target_precompile_headers(${name} REUSE_FROM bp_test_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;BREWPAD_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    TIMEOUT 600)
endfunction()

# The shared main and helpers themselves.
bp_add_test(test_support SOURCES tests/support/test_support.cpp LIBS bp_toolchain)

# bp_add_bench(NAME SOURCES files... LIBS libs...)
# Benchmarks are built by `make bench` (the target "benches"), not by default.
add_custom_target(benches)
function(bp_add_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} EXCLUDE_FROM_ALL ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} Qt6::Widgets)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  add_dependencies(benches ${name})
endfunction()
