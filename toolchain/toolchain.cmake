# SPDX-License-Identifier: GPL-3.0-or-later
# toolchain/: build settings and their option windows, the classification of
# sources and projects, compiling with javac, running applications and applets,
# the compiler-message parser and the message window with its list.
# Includes project/, config/, javatext/, platform/ and resources/.
add_library(bp_toolchain STATIC
  toolchain/settings/settings.cpp
  toolchain/classify/classify.cpp
  toolchain/classify/classifyprep.cpp
  toolchain/classify/projectscan.cpp
  toolchain/classify/compactsource.cpp
  toolchain/compiling/compile.cpp
  toolchain/compiling/outofdate.cpp
  toolchain/compiling/projectcompile.cpp
  toolchain/compiling/javacrunner.cpp
  toolchain/testing/junitjars.cpp
  toolchain/running/run.cpp
  toolchain/settings/optiondialogs.cpp
  toolchain/messages/messages.cpp
  toolchain/messages/linelist.cpp
  toolchain/messages/linelistmodel.cpp
  toolchain/messages/linelistdelegate.cpp
  toolchain/messages/messagewindow.cpp
  toolchain/running/breakpointstore.cpp
  toolchain/navigation/outlinewindow.cpp
  toolchain/navigation/javadochtml.cpp
  toolchain/navigation/docpane.cpp)
target_link_libraries(bp_toolchain PUBLIC bp_javatext bp_project bp_config bp_platform bp_resources Qt6::Widgets)

bp_add_test(test_classify SOURCES tests/toolchain/classify/test_classify.cpp LIBS bp_toolchain)
bp_add_test(test_classify_jdk SOURCES tests/toolchain/classify/test_classify_jdk.cpp LIBS bp_toolchain)
bp_add_test(test_projfile SOURCES tests/project/test_projfile.cpp LIBS bp_toolchain)
bp_add_test(test_compile SOURCES tests/toolchain/compiling/test_compile.cpp LIBS bp_toolchain)
bp_add_test(test_run SOURCES tests/toolchain/running/test_run.cpp LIBS bp_toolchain)
bp_add_test(test_options SOURCES tests/toolchain/settings/test_options.cpp LIBS bp_toolchain)
bp_add_test(test_messages SOURCES tests/toolchain/messages/test_messages.cpp LIBS bp_toolchain)
bp_add_test(test_lists SOURCES tests/toolchain/messages/test_lists.cpp LIBS bp_toolchain)
bp_add_test(test_javadochtml SOURCES tests/toolchain/navigation/test_javadochtml.cpp LIBS bp_toolchain)
bp_add_test(test_breakpointstore SOURCES tests/toolchain/running/test_breakpointstore.cpp LIBS bp_toolchain)
# The programs that run javac or a JVM in most of their tests start first (CTest
# orders a suite it has not run before by these costs, later by its own times).
set_tests_properties(test_compile test_classify_jdk PROPERTIES COST 50)

bp_add_bench(bench_scan SOURCES bench/bench_scan.cpp LIBS bp_toolchain)
bp_add_bench(bench_compile SOURCES bench/bench_compile.cpp LIBS bp_toolchain)
bp_add_bench(bench_messages SOURCES bench/bench_messages.cpp LIBS bp_toolchain)
