# The owner-drawn list and the list window of text lines (compiler messages).
add_library(bp_lists STATIC
  project/odlistbx.cpp
  project/browser.cpp)
target_link_libraries(bp_lists PUBLIC bp_options bp_common bp_platform Qt6::Widgets)

bp_add_test(test_lists SOURCES tests/test_lists.cpp LIBS bp_lists)
bp_add_bench(bench_messages SOURCES bench/bench_messages.cpp LIBS bp_lists)
