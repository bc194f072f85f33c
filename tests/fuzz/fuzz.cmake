# libFuzzer targets over every reader of outside input (see tests/fuzz/README.md).
# Included only with -DBREWPAD_FUZZ=ON and clang; run them with `make fuzz`.
# The code under test is compiled into each target with the sanitizers, so
# the program's own libraries (built without them) are not linked.

if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "BREWPAD_FUZZ needs clang (libFuzzer): -DCMAKE_CXX_COMPILER=clang++")
endif()

set(BP_FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer)

add_custom_target(fuzzers)

# bp_add_fuzzer(NAME SOURCES files... LIBS libs...)
function(bp_add_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_compile_options(${name} PRIVATE ${BP_FUZZ_FLAGS})
  target_link_options(${name} PRIVATE ${BP_FUZZ_FLAGS})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  add_dependencies(fuzzers ${name})
endfunction()

set(BP_FUZZ_DIR ${CMAKE_SOURCE_DIR}/tests/fuzz)

bp_add_fuzzer(fuzz_config
  SOURCES ${BP_FUZZ_DIR}/fuzz_config.cpp config/cfgfile.cpp platform/host.cpp
  LIBS Qt6::Core)

bp_add_fuzzer(fuzz_classify
  SOURCES ${BP_FUZZ_DIR}/fuzz_classify.cpp toolchain/classify.cpp platform/host.cpp
  LIBS Qt6::Core)

# FnMatch lives with the tool search, which needs the shared pieces.
bp_add_fuzzer(fuzz_fnmatch
  SOURCES ${BP_FUZZ_DIR}/fuzz_fnmatch.cpp config/search.cpp config/cfgfile.cpp platform/host.cpp
          resources/commands.cpp platform/dialogs.cpp platform/filedata.cpp config/toolpaths.cpp toolchain/settings.cpp
  LIBS Qt6::Core Qt6::Gui Qt6::Widgets Qt6::PrintSupport)

bp_add_fuzzer(fuzz_unix2dos
  SOURCES ${BP_FUZZ_DIR}/fuzz_unix2dos.cpp editor/unix2dos.cpp editor/diskfile.cpp
  LIBS Qt6::Core)

bp_add_fuzzer(fuzz_project
  SOURCES ${BP_FUZZ_DIR}/fuzz_project.cpp project/projfile.cpp
  LIBS Qt6::Core)

bp_add_fuzzer(fuzz_messages
  SOURCES ${BP_FUZZ_DIR}/fuzz_messages.cpp toolchain/messages.cpp
  LIBS Qt6::Core)

bp_add_fuzzer(fuzz_inistore
  SOURCES ${BP_FUZZ_DIR}/fuzz_inistore.cpp app/inistore.cpp platform/host.cpp
  LIBS Qt6::Core)

bp_add_fuzzer(fuzz_textfile
  SOURCES ${BP_FUZZ_DIR}/fuzz_textfile.cpp editor/textfile.cpp editor/textdoc.cpp
  LIBS Qt6::Core Qt6::Gui)
