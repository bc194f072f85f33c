# SPDX-License-Identifier: GPL-3.0-or-later
# Editing comfort: the editor's Java lexer and the Java line rules (QtCore
# only), used by the syntax colouring and by the edit control's margin,
# highlights, indentation, zoom and message marks (editor/highlighter.cpp and
# editor/comfort.cpp, part of bp_editor).
add_library(bp_javalines STATIC editor/javalexer.cpp editor/javalexer.h editor/javalines.cpp editor/javalines.h)
target_link_libraries(bp_javalines PUBLIC Qt6::Core)

bp_add_test(test_javalines SOURCES tests/test_javalines.cpp LIBS bp_javalines)
bp_add_test(test_javalexer SOURCES tests/test_javalexer.cpp LIBS bp_javalines)
bp_add_test(test_comfort SOURCES tests/test_comfort.cpp LIBS bp_app)
bp_add_bench(bench_type SOURCES bench/bench_type.cpp LIBS bp_app Qt6::Test)
