# SPDX-License-Identifier: GPL-3.0-or-later
# The editor's Java lexer and the Java line rules (QtCore only): the matching
# bracket and the indentation, used by the syntax colouring
# (editor/highlighter.cpp) and by the edit control's highlights and its
# indentation as the user types (editor/texthighlights.cpp, editor/indent.cpp,
# part of bp_editor); with the tests of those parts of the edit control.
add_library(bp_javalines STATIC editor/javalexer.cpp editor/javalexer.h editor/javalines.cpp editor/javalines.h
  editor/javaimports.cpp editor/javaimports.h)
target_link_libraries(bp_javalines PUBLIC Qt6::Core)

bp_add_test(test_javalines SOURCES tests/test_javalines.cpp LIBS bp_javalines)
bp_add_test(test_javalexer SOURCES tests/test_javalexer.cpp LIBS bp_javalines)
bp_add_test(test_comfort SOURCES tests/test_comfort.cpp LIBS bp_app)
bp_add_bench(bench_type SOURCES bench/bench_type.cpp LIBS bp_app Qt6::Test)
