# SPDX-License-Identifier: GPL-3.0-or-later
# The Java text rules of the editor (QtCore only): the matching bracket and
# the indentation, used by the edit control's highlights and its indentation
# as the user types (editor/texthighlights.cpp, editor/indent.cpp, part of
# bp_editor); with the tests of those parts of the edit control.
add_library(bp_javatext STATIC editor/javatext.cpp editor/javatext.h)
target_link_libraries(bp_javatext PUBLIC Qt6::Core)

bp_add_test(test_javatext SOURCES tests/test_javatext.cpp LIBS bp_javatext)
bp_add_test(test_comfort SOURCES tests/test_comfort.cpp LIBS bp_app)
bp_add_bench(bench_type SOURCES bench/bench_type.cpp LIBS bp_app Qt6::Test)
