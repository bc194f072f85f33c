# Reading Java project files and classifying their entries.
add_library(bp_projfile STATIC project/projfile.cpp)
target_link_libraries(bp_projfile PUBLIC bp_classify)

bp_add_test(test_projfile SOURCES tests/test_projfile.cpp LIBS bp_projfile)
