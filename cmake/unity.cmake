# SPDX-License-Identifier: GPL-3.0-or-later
# Unity builds: each library is compiled as a few larger sources, each of which
# includes several of its .cpp files, so the headers they share are read and
# their templates instantiated once per batch rather than once per file. On by
# default; configure with -DBREWPAD_UNITY=OFF to compile every source alone,
# which rebuilds less after an edit to one file and checks that each source
# stands on its own. A source with definitions of its own (app/cmdline.cpp) is
# compiled alone by CMake. Should two sources of a library clash when compiled
# together (the same name in their anonymous namespaces), leave the sources as
# they are and compile one of them alone:
#   set_source_files_properties(dir/file.cpp PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
option(BREWPAD_UNITY "Compile the libraries as unity builds" ON)
set(BREWPAD_UNITY_BATCH 8 CACHE STRING "Sources of a library compiled together in a unity build")

if(BREWPAD_UNITY)
  foreach(lib bp_platform bp_javatext bp_config bp_project bp_compileservice bp_toolchain bp_debugger bp_print
              bp_editor bp_workspace bp_app bp_resources)
    set_target_properties(${lib} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE ${BREWPAD_UNITY_BATCH})
  endforeach()
endif()
