# Compiling with javac and running applications and applets.
add_library(bp_compile STATIC toolchain/compile.cpp toolchain/run.cpp)
target_link_libraries(bp_compile PUBLIC bp_common bp_platform bp_classify Qt6::Core)

bp_add_test(test_compile SOURCES tests/test_compile.cpp LIBS bp_compile)
bp_add_test(test_run SOURCES tests/test_run.cpp LIBS bp_compile)
bp_add_bench(bench_compile SOURCES bench/bench_compile.cpp LIBS bp_compile)
target_compile_definitions(test_run PRIVATE BP_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_compile_definitions(test_compile PRIVATE BP_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
