# Writing the user's files safely, and their stamps (QtCore only).
add_library(bp_diskfile STATIC editor/diskfile.cpp)
target_link_libraries(bp_diskfile PUBLIC Qt6::Core)

# Line-end conversion of the "Unix2Dos" command (QtCore only).
add_library(bp_unix2dos STATIC editor/unix2dos.cpp)
target_link_libraries(bp_unix2dos PUBLIC bp_diskfile Qt6::Core)

bp_add_test(test_unix2dos SOURCES tests/test_unix2dos.cpp LIBS bp_unix2dos)
bp_add_test(test_diskfile SOURCES tests/test_diskfile.cpp LIBS bp_diskfile)
bp_add_bench(bench_unix2dos SOURCES bench/bench_unix2dos.cpp LIBS bp_unix2dos)
