# Editing comfort: the Java text rules (QtCore only), and the edit control's
# margin, highlights, indentation, zoom and message marks.
add_library(bp_javatext STATIC editor/javatext.cpp editor/javatext.h)
target_link_libraries(bp_javatext PUBLIC Qt6::Core)

target_sources(bp_app PRIVATE editor/comfort.cpp)
target_link_libraries(bp_app PUBLIC bp_javatext)

bp_add_test(test_javatext SOURCES tests/test_javatext.cpp LIBS bp_javatext)
bp_add_test(test_comfort SOURCES tests/test_comfort.cpp LIBS bp_app bp_resources)
bp_add_bench(bench_type SOURCES bench/bench_type.cpp LIBS bp_app bp_resources Qt6::Test)
