# Configuration file, tool discovery and the "Config" wait window.
add_library(bp_config STATIC
  config/cfgfile.cpp
  config/search.cpp
  config/waitwindow.cpp)
target_link_libraries(bp_config PUBLIC bp_common bp_platform Qt6::Widgets)

bp_add_test(test_config_file SOURCES tests/test_config_file.cpp LIBS bp_config)
bp_add_test(test_config_walk SOURCES tests/test_config_walk.cpp LIBS bp_config)
bp_add_test(test_config_window SOURCES tests/test_config_window.cpp LIBS bp_config)

bp_add_bench(bench_walk SOURCES bench/bench_walk.cpp LIBS bp_config)
