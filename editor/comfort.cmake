# SPDX-License-Identifier: GPL-3.0-or-later
# Editing comfort: the Java text rules (QtCore only), used by the edit
# control's margin, highlights, indentation, zoom and message marks
# (editor/comfort.cpp, part of bp_editor).
add_library(bp_javatext STATIC editor/javatext.cpp editor/javatext.h)
target_link_libraries(bp_javatext PUBLIC Qt6::Core)

bp_add_test(test_javatext SOURCES tests/test_javatext.cpp LIBS bp_javatext)
bp_add_test(test_comfort SOURCES tests/test_comfort.cpp LIBS bp_app)
bp_add_bench(bench_type SOURCES bench/bench_type.cpp LIBS bp_app Qt6::Test)
