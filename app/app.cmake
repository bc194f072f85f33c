# SPDX-License-Identifier: GPL-3.0-or-later
# app/: the entry point, the application object, the main frame with its menus,
# tool bar, accelerators and status bar, the recent-file list and its
# "Brewpad.ini" store, and the command line. Includes every other folder.
add_library(bp_app STATIC
  app/brewpad.cpp
  app/mainframe.cpp
  app/statusline.cpp
  app/commandupdates.cpp
  app/recentmenu.cpp
  app/cmdline.cpp
  app/inistore.cpp
  app/session.cpp
  app/sessionkeeper.cpp
  app/lookkeeper.cpp)
target_link_libraries(bp_app PUBLIC bp_workspace bp_resources Qt6::Widgets Qt6::PrintSupport)

set_source_files_properties(app/cmdline.cpp PROPERTIES COMPILE_DEFINITIONS BREWPAD_VERSION="${PROJECT_VERSION}")

qt_add_executable(brewpad app/main.cpp)
target_link_libraries(brewpad PRIVATE bp_app)

bp_add_test(test_inistore SOURCES tests/app/test_inistore.cpp LIBS bp_app)
# The last session: its file, and the windows it brings back.
bp_add_test(test_session SOURCES tests/app/test_session.cpp LIBS bp_app)
bp_add_test(test_frame SOURCES tests/app/test_frame.cpp LIBS bp_app)
bp_add_test(test_look SOURCES tests/app/test_look.cpp LIBS bp_app)
# The status bar's fields, hints and passing texts on a window of their own.
bp_add_test(test_statusline SOURCES tests/app/test_statusline.cpp LIBS bp_app)
# The command table, on its own and through the main window built from it.
bp_add_test(test_commands SOURCES tests/app/test_commands.cpp LIBS bp_app)
bp_add_test(test_editor SOURCES tests/editor/test_editor.cpp LIBS bp_app)
bp_add_test(test_savefiles SOURCES tests/editor/test_savefiles.cpp LIBS bp_app)
bp_add_test(test_workflow SOURCES tests/workspace/test_workflow.cpp LIBS bp_app)
# Editing keys, the Modified field, and walking the compiler's messages.
bp_add_test(test_editkeys SOURCES tests/editor/test_editkeys.cpp LIBS bp_app)
# Every untouched line keeps its own line end, whatever is edited around it.
bp_add_test(test_lineends SOURCES tests/editor/test_lineends.cpp LIBS bp_app)
bp_add_test(test_messagewalk SOURCES tests/toolchain/messages/test_messagewalk.cpp LIBS bp_app)
# F9 and Ctrl+F9 with the Compiler Options, unsaved changes and projects.
bp_add_test(test_compilerun SOURCES tests/toolchain/compiling/test_compilerun.cpp LIBS bp_app)
# What a new user meets between New and a run, through the main window.
bp_add_test(test_firststeps SOURCES tests/workspace/test_firststeps.cpp LIBS bp_app)
# The windows of the workspace: their activation and the accessibility tree.
bp_add_test(test_windows SOURCES tests/workspace/test_windows.cpp LIBS bp_app)
# Find in Files: the search over real files, and its window.
bp_add_test(test_findinfiles SOURCES tests/workspace/test_findinfiles.cpp LIBS bp_app)
bp_add_test(test_places SOURCES tests/workspace/test_places.cpp LIBS bp_app)
bp_add_test(test_marks SOURCES tests/editor/test_marks.cpp LIBS bp_app)
bp_add_test(test_checktyping SOURCES tests/editor/test_checktyping.cpp LIBS bp_app)
target_compile_definitions(test_checktyping PRIVATE BP_SERVICE_JAR="${bp_service_jar_built}")
# Completion and parameter hints from the compile service, and without it.
bp_add_test(test_completion SOURCES tests/editor/test_completion.cpp LIBS bp_app)
bp_add_test(test_jdkchooser SOURCES tests/workspace/test_jdkchooser.cpp LIBS bp_app)
target_compile_definitions(test_jdkchooser PRIVATE BP_SERVICE_JAR="${bp_service_jar_built}")
target_compile_definitions(test_completion PRIVATE BP_SERVICE_JAR="${bp_service_jar_built}")
# Quick Fix from the compile service in a Java window.
bp_add_test(test_quickfix SOURCES tests/editor/test_quickfix.cpp LIBS bp_app)
target_compile_definitions(test_quickfix PRIVATE BP_SERVICE_JAR="${bp_service_jar_built}")
# Rename through the compile service, in the windows of the main window.
bp_add_test(test_rename SOURCES tests/workspace/test_rename.cpp LIBS bp_app)
target_compile_definitions(test_rename PRIVATE BP_SERVICE_JAR="${bp_service_jar_built}")
bp_add_bench(bench_complete SOURCES bench/bench_complete.cpp LIBS bp_app)
target_compile_definitions(bench_complete PRIVATE BP_SERVICE_JAR="${bp_service_jar}")
bp_add_test(test_startup SOURCES tests/app/test_startup.cpp LIBS bp_app)
bp_add_test(test_shell SOURCES tests/app/test_shell.cpp LIBS bp_app)
bp_add_test(test_badinput SOURCES tests/toolchain/compiling/test_badinput.cpp LIBS bp_app)
# Named pipes, devices and link loops in a file's place; extended attributes; line breaks in names.
bp_add_test(test_filekinds SOURCES tests/toolchain/classify/test_filekinds.cpp LIBS bp_app)
# Files named with bytes that are not UTF-8: opened, saved, kept in the recent list.
bp_add_test(test_nativefiles SOURCES tests/app/test_nativefiles.cpp LIBS bp_app)
# The command line: files opened at start through the window, and the built
# program's --help and --version.
bp_add_test(test_cmdline SOURCES tests/app/test_cmdline.cpp LIBS bp_app)
target_compile_definitions(test_cmdline PRIVATE BREWPAD_PROGRAM="$<TARGET_FILE_NAME:brewpad>"
                                                BREWPAD_VERSION="${PROJECT_VERSION}")
add_dependencies(test_cmdline brewpad)

bp_add_bench(bench_open SOURCES bench/bench_open.cpp LIBS bp_app)
bp_add_bench(bench_startfiles SOURCES bench/bench_startfiles.cpp LIBS bp_app)
# Debug Run through the main window with the real JDK: console, pauses, steps.
bp_add_test(test_debugrun SOURCES tests/toolchain/running/test_debugrun.cpp LIBS bp_app)
target_compile_definitions(test_debugrun PRIVATE BP_DEBUGGER_JAR="${bp_debugger_jar_built}")
set_tests_properties(test_debugrun test_completion test_quickfix test_rename PROPERTIES COST 50)
# The console of Debug Run: end of input, processes left behind, keys typed during a pause.
bp_add_test(test_debugrun_console SOURCES tests/toolchain/running/test_debugrun_console.cpp LIBS bp_app)
target_compile_definitions(test_debugrun_console PRIVATE BP_DEBUGGER_JAR="${bp_debugger_jar_built}")
set_tests_properties(test_debugrun_console PROPERTIES COST 50)
target_compile_definitions(test_windows PRIVATE BP_DEBUGGER_JAR="${bp_debugger_jar_built}")
# Go to Definition and the Outline window with the compile service and the real JDK.
bp_add_test(test_navigation SOURCES tests/toolchain/navigation/test_navigation.cpp LIBS bp_app)
target_compile_definitions(test_navigation PRIVATE BP_SERVICE_JAR="${bp_service_jar_built}")
set_tests_properties(test_navigation PROPERTIES COST 50)
# Show Documentation, its pane and the editors' tooltips with the compile service and the real JDK.
bp_add_test(test_documentation SOURCES tests/toolchain/navigation/test_documentation.cpp LIBS bp_app)
target_compile_definitions(test_documentation PRIVATE BP_SERVICE_JAR="${bp_service_jar_built}")
set_tests_properties(test_documentation PROPERTIES COST 50)
# Jars in lib/ and sources in their package's folders: completion, F9, Java Run, Run Tests.
bp_add_test(test_libraries SOURCES tests/app/test_libraries.cpp LIBS bp_app)
target_compile_definitions(test_libraries PRIVATE BP_SERVICE_JAR="${bp_service_jar_built}")
set_tests_properties(test_libraries PROPERTIES COST 50)
# From the start of the process to the "ENV:" box, against a bare Qt program
# that shows one message box.
# The bare program is no benchmark of its own (`make bench` runs every
# bench_* program), so it bears another name.
bp_add_bench(bench_startup SOURCES bench/bench_startup.cpp LIBS bp_config)
bp_add_bench(bare_message_box SOURCES bench/bare_message_box.cpp LIBS)
target_compile_definitions(bench_startup PRIVATE BREWPAD_PROGRAM="$<TARGET_FILE:brewpad>"
                                                 BARE_PROGRAM="$<TARGET_FILE:bare_message_box>")
add_dependencies(bench_startup brewpad bare_message_box)
bp_add_test(test_testresults SOURCES tests/workspace/test_testresults.cpp LIBS bp_app)
set_tests_properties(test_testresults PROPERTIES COST 50)
bp_add_test(test_breakpointspane SOURCES tests/workspace/test_breakpointspane.cpp LIBS bp_app)
target_compile_definitions(test_breakpointspane PRIVATE BP_DEBUGGER_JAR="${bp_debugger_jar_built}")
set_tests_properties(test_breakpointspane PROPERTIES COST 50)
bp_add_test(test_watches SOURCES tests/workspace/test_watches.cpp LIBS bp_app)
target_compile_definitions(test_watches PRIVATE BP_DEBUGGER_JAR="${bp_debugger_jar_built}")
set_tests_properties(test_watches PROPERTIES COST 50)

bp_add_test(test_jshellpane SOURCES tests/workspace/test_jshellpane.cpp LIBS bp_app)
set_tests_properties(test_jshellpane PROPERTIES COST 40)
bp_add_bench(bench_tests SOURCES bench/bench_tests.cpp LIBS bp_app)
