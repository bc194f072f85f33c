qt_add_executable(brewpad app/brewpad.cpp)
target_link_libraries(brewpad PRIVATE bp_common)
