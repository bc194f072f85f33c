add_library(bp_platform STATIC platform/host.cpp)
target_link_libraries(bp_platform PUBLIC Qt6::Core)
