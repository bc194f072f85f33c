# One main for every test program, compiled once: a QApplication on the offscreen
# platform, so that widget tests and plain tests share it, and the helpers of
# tests/support.h. Before every test it puts the build settings and tool paths
# back to those of a fresh start.
add_library(bp_test_main STATIC ${CMAKE_SOURCE_DIR}/tests/test_main.cpp ${CMAKE_SOURCE_DIR}/tests/support.cpp)
target_link_libraries(bp_test_main PUBLIC GTest::gtest Qt6::Widgets Qt6::Test bp_toolchain)
target_include_directories(bp_test_main PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_compile_definitions(bp_test_main PRIVATE BP_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
set_target_properties(bp_test_main PROPERTIES AUTOMOC OFF)

# bp_add_test(NAME SOURCES files... LIBS libs...)
# A GoogleTest program run headless. Test sources declare no QObject classes of
# their own, so they are not run through moc.
function(bp_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} bp_test_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  set_target_properties(${name} PROPERTIES AUTOMOC OFF)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;BREWPAD_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    TIMEOUT 600)
endfunction()

# The shared main and helpers themselves.
bp_add_test(test_support SOURCES tests/test_support.cpp LIBS bp_toolchain)

# bp_add_bench(NAME SOURCES files... LIBS libs...)
# Benchmarks are built by `make bench` (the target "benches"), not by default.
add_custom_target(benches)
function(bp_add_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} EXCLUDE_FROM_ALL ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} Qt6::Widgets)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  add_dependencies(benches ${name})
endfunction()
