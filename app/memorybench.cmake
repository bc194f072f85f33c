# SPDX-License-Identifier: GPL-3.0-or-later
# Resident memory of Brewpad at its start (against the bare Qt program of
# bench_startup) and of the compile service's JVM.
bp_add_bench(bench_memory SOURCES bench/bench_memory.cpp LIBS bp_config bp_toolchain)
target_compile_definitions(bench_memory PRIVATE BREWPAD_PROGRAM="$<TARGET_FILE:brewpad>"
                                                BARE_PROGRAM="$<TARGET_FILE:bare_message_box>"
                                                BP_SERVICE_JAR="${bp_service_jar}")
add_dependencies(bench_memory brewpad bare_message_box)
