# Textual classification of Java sources.
add_library(bp_classify STATIC toolchain/classify.cpp)
target_link_libraries(bp_classify PUBLIC bp_platform Qt6::Core)

bp_add_test(test_classify SOURCES tests/test_classify.cpp LIBS bp_classify)
bp_add_test(test_classify_jdk SOURCES tests/test_classify_jdk.cpp LIBS bp_classify)
bp_add_bench(bench_scan SOURCES bench/bench_scan.cpp LIBS bp_classify)
