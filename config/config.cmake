# SPDX-License-Identifier: GPL-3.0-or-later
# config/: the configuration file, the tool-path globals, the search for the Java
# tools and the "Config" wait window. Includes platform/.
add_library(bp_config STATIC
  config/cfgfile.cpp
  config/lookfile.cpp
  config/toolpaths.cpp
  config/search.cpp
  config/jdks.cpp
  config/jdkswitch.cpp
  config/treewalk.cpp
  config/waitwindow.cpp)
target_link_libraries(bp_config PUBLIC bp_platform bp_resources Qt6::Widgets)

bp_add_test(test_config_file SOURCES tests/config/test_config_file.cpp LIBS bp_config)
bp_add_test(test_config_walk SOURCES tests/config/test_config_walk.cpp LIBS bp_config)
bp_add_test(test_config_window SOURCES tests/config/test_config_window.cpp LIBS bp_config)

bp_add_bench(bench_walk SOURCES bench/bench_walk.cpp LIBS bp_config)
