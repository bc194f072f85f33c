# Java syntax colouring for the editor windows.
add_library(bp_highlight STATIC editor/highlighter.cpp editor/highlighter.h)
target_link_libraries(bp_highlight PUBLIC Qt6::Widgets)

bp_add_test(test_highlighter SOURCES tests/test_highlighter.cpp LIBS bp_highlight)
bp_add_bench(bench_highlight SOURCES bench/bench_highlight.cpp LIBS bp_highlight)
