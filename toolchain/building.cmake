# SPDX-License-Identifier: GPL-3.0-or-later
# toolchain/building/: building and running a file over plain data: the run
# kinds (Java Run, Applet Run, Debug Run) as a table, the plan of a run over
# the project model, and the build commands of one file, which reach its
# window through an interface of their own.
add_library(bp_building STATIC
  toolchain/building/runkinds.cpp
  toolchain/building/runplan.cpp
  toolchain/building/filebuild.cpp)
target_link_libraries(bp_building PUBLIC bp_debugger bp_testing bp_toolchain Qt6::Widgets)

bp_add_test(test_building SOURCES tests/toolchain/building/test_building.cpp LIBS bp_building)
# Jars of lib/ and sources in their package's folders, over the model.
bp_add_test(test_librarybuild SOURCES tests/toolchain/building/test_librarybuild.cpp LIBS bp_building)
