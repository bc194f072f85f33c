# SPDX-License-Identifier: GPL-3.0-or-later
# workspace/: the MDI client holding editor windows, option windows and the
# message window, with the commands that need no editor window (opening files
# and projects, the option windows, the message window, settling the tool paths
# at start). Includes editor/ and everything below it.
add_library(bp_workspace STATIC
  workspace/workspace.cpp
  workspace/toolsettling.cpp
  workspace/messagecontroller.cpp
  workspace/projectcommands.cpp
  workspace/javahelp.cpp
  workspace/optionwindows.cpp
  workspace/windowplacement.cpp
  workspace/workspaceaccessible.cpp
  workspace/debugcontroller.cpp
  workspace/breakpointsync.cpp
  workspace/filesearch.cpp
  workspace/findresults.cpp
  workspace/findinfiles.cpp
  workspace/navigationcontroller.cpp
  workspace/renamecontroller.cpp
  workspace/renameplan.cpp
  workspace/documentationcontroller.cpp
  workspace/servicesource.cpp
  workspace/servicelink.cpp
  workspace/caretcommand.cpp
  workspace/windowcommands.cpp
  workspace/dialogrecords.cpp
  workspace/paneframe.cpp
  workspace/panearea.cpp
  workspace/placehistory.cpp
  workspace/fileplaces.cpp
  workspace/jdkchooser.cpp
  workspace/testatcaret.cpp
  workspace/testresultswindow.cpp
  workspace/testcommands.cpp
  workspace/breakpointcommands.cpp
  workspace/watchcommands.cpp
  workspace/breakpointspane.cpp
  workspace/jshellcommands.cpp
  workspace/mavenwindow.cpp
  workspace/mavencommands.cpp)
target_link_libraries(bp_workspace PUBLIC bp_editor bp_testing bp_jshell Qt6::Widgets)

bp_add_bench(bench_findfiles SOURCES bench/bench_findfiles.cpp LIBS bp_workspace)

bp_add_test(test_mavenproject SOURCES tests/workspace/test_mavenproject.cpp LIBS bp_app)
target_compile_definitions(test_mavenproject PRIVATE BP_SERVICE_JAR="${bp_service_jar_built}")
set_tests_properties(test_mavenproject PROPERTIES COST 60)
bp_add_test(test_renameplan SOURCES tests/workspace/test_renameplan.cpp LIBS bp_app)
