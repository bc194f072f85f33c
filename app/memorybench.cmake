# SPDX-License-Identifier: GPL-3.0-or-later
# Resident memory of Brewpad at its start (against the bare Qt program of
# bench_startup), of the compile service's JVM, of the debugger's helper JVM
# and of the JShell pane's JVM.
bp_add_bench(bench_memory SOURCES bench/bench_memory.cpp LIBS bp_config bp_debugger bp_jshell)
target_compile_definitions(bench_memory PRIVATE BREWPAD_PROGRAM="$<TARGET_FILE:brewpad>"
                                                BARE_PROGRAM="$<TARGET_FILE:bare_message_box>"
                                                BP_SERVICE_JAR="${bp_service_jar}"
                                                BP_DEBUGGER_JAR="${bp_debugger_jar}"
                                                BP_JSHELL_JAR="${bp_jshell_jar}")
add_dependencies(bench_memory brewpad bare_message_box)

# Brewpad beside Geany on one X display: start-up, memory at rest, a 10 MB
# source opened and a keystroke.
bp_add_bench(bench_peers SOURCES bench/bench_peers.cpp LIBS bp_config)
target_compile_definitions(bench_peers PRIVATE BREWPAD_PROGRAM="$<TARGET_FILE:brewpad>")
add_dependencies(bench_peers brewpad)
