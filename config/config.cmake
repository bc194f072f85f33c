# Configuration file, tool discovery and the "Config" wait window.
add_library(bp_config STATIC
  config/cfgfile.cpp
  config/search.cpp
  config/waitwindow.cpp)
target_link_libraries(bp_config PUBLIC bp_common bp_platform Qt6::Widgets)
