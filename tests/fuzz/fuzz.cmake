# SPDX-License-Identifier: GPL-3.0-or-later
# The fuzz targets in tests/fuzz/ (see tests/fuzz/README.md), linked with the
# folders' libraries as the programs and tests are.
#   - In the normal and sanitizer builds each target gets a small main that
#     runs it over its seed corpus, and ctest runs it so: every target is
#     compiled, linked and exercised by `make test`.
#   - With -DBREWPAD_FUZZ=ON (clang; `make fuzz`) every library is compiled
#     with -fsanitize=fuzzer-no-link and the sanitizers (see CMakeLists.txt),
#     and the targets are linked with libFuzzer.

if(BREWPAD_FUZZ)
  add_custom_target(fuzzers)
else()
  add_library(bp_fuzz_replay STATIC ${CMAKE_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
  set_target_properties(bp_fuzz_replay PROPERTIES AUTOMOC OFF)
endif()

set(BP_FUZZ_DIR ${CMAKE_SOURCE_DIR}/tests/fuzz)

# bp_add_fuzzer(NAME LIBS libs...): the target tests/fuzz/NAME.cpp, whose seeds
# are tests/fuzz/corpus/<NAME without "fuzz_">/.
function(bp_add_fuzzer name)
  cmake_parse_arguments(F "" "" "LIBS" ${ARGN})
  add_executable(${name} ${BP_FUZZ_DIR}/${name}.cpp)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  set_target_properties(${name} PROPERTIES AUTOMOC OFF RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  if(BREWPAD_FUZZ)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    add_dependencies(fuzzers ${name})
  else()
    target_link_libraries(${name} PRIVATE bp_fuzz_replay)
    string(REGEX REPLACE "^fuzz_" "" seeds ${name})
    add_test(NAME ${name} COMMAND ${name} ${BP_FUZZ_DIR}/corpus/${seeds})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
  endif()
endfunction()

bp_add_fuzzer(fuzz_config LIBS bp_config)
bp_add_fuzzer(fuzz_classify LIBS bp_toolchain)
bp_add_fuzzer(fuzz_fnmatch LIBS bp_config)
bp_add_fuzzer(fuzz_unix2dos LIBS bp_editor)
bp_add_fuzzer(fuzz_project LIBS bp_project)
bp_add_fuzzer(fuzz_messages LIBS bp_toolchain)
bp_add_fuzzer(fuzz_inistore LIBS bp_app)
bp_add_fuzzer(fuzz_textfile LIBS bp_editor)
bp_add_fuzzer(fuzz_edits LIBS bp_editor Qt6::Test)
