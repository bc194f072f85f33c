# bp_add_test(NAME SOURCES files... LIBS libs...)
# A GoogleTest program run headless; tests/test_main.cpp gives it a QApplication.
function(bp_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${CMAKE_SOURCE_DIR}/tests/test_main.cpp)
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest Qt6::Widgets Qt6::Test)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;BREWPAD_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    TIMEOUT 600)
endfunction()

# bp_add_bench(NAME SOURCES files... LIBS libs...)
function(bp_add_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} Qt6::Widgets)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()
