# The program's windows: frame, workspace, editor windows and their commands.
add_library(bp_app STATIC
  app/brewpad.cpp
  app/recent.cpp
  app/cmdline.cpp
  workspace/client.cpp
  workspace/startup.cpp
  editor/textfile.cpp
  editor/editcontrol.cpp
  editor/child.cpp
  editor/childcmds.cpp
  project/projet.cpp
  toolchain/messagelist.cpp)
target_link_libraries(bp_app PUBLIC bp_common bp_platform bp_keyboard bp_find bp_inistore bp_config bp_lists bp_options bp_classify bp_projfile bp_compile bp_unix2dos bp_printing bp_highlight Qt6::Widgets Qt6::PrintSupport)

set_source_files_properties(app/cmdline.cpp PROPERTIES COMPILE_DEFINITIONS BREWPAD_VERSION="${PROJECT_VERSION}")

qt_add_executable(brewpad app/main.cpp)
target_link_libraries(brewpad PRIVATE bp_app bp_resources)

bp_add_test(test_frame SOURCES tests/test_frame.cpp LIBS bp_app bp_resources)
bp_add_test(test_editor SOURCES tests/test_editor.cpp LIBS bp_app bp_resources)
bp_add_test(test_workflow SOURCES tests/test_workflow.cpp LIBS bp_app bp_resources)
bp_add_bench(bench_open SOURCES bench/bench_open.cpp LIBS bp_app bp_resources)
bp_add_test(test_startup SOURCES tests/test_startup.cpp LIBS bp_app bp_resources)
bp_add_test(test_shell SOURCES tests/test_shell.cpp LIBS bp_app bp_resources)
bp_add_test(test_badinput SOURCES tests/test_badinput.cpp LIBS bp_app bp_resources)
# The command line: files opened at start through the window, and the built
# program's --help and --version.
bp_add_test(test_cmdline SOURCES tests/test_cmdline.cpp LIBS bp_app bp_resources)
target_compile_definitions(test_cmdline PRIVATE BREWPAD_PROGRAM="$<TARGET_FILE:brewpad>"
                                                BREWPAD_VERSION="${PROJECT_VERSION}")
add_dependencies(test_cmdline brewpad)
