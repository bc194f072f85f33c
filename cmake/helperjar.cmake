# SPDX-License-Identifier: GPL-3.0-or-later
# The Java helpers Brewpad starts and talks to over a wire of lines (the
# debugger, the JShell pane's engine), each built the same way with CMake's
# Java support into a jar beside the program and installed where the compile
# service's jar is, and their Java tests of the wire, plain Java programs run
# by CTest. Without a JDK at configure time the program is built without the
# jars.
include_guard(GLOBAL)
include(GNUInstallDirs)
find_package(Java 11 COMPONENTS Development)
if(Java_Development_FOUND)
  include(UseJava)
endif()

# bp_helper_jar(NAME LIBRARY lib ENTRY_POINT class [JAVA_FLAGS flags...] SOURCES files...)
# brewpad-NAME.jar (the target brewpad_NAME) of SOURCES and the wire's line
# (toolchain/running/wire/), made before LIBRARY; sets bp_NAME_jar to its path
# and bp_NAME_jar_built to it relative to the build folder (as the test
# programs name it), both empty without a JDK. LIBRARY hears where the
# installed program finds it: BREWPAD_<NAME>_JAR_RELATIVE.
function(bp_helper_jar name)
  cmake_parse_arguments(H "" "LIBRARY;ENTRY_POINT" "JAVA_FLAGS;SOURCES" ${ARGN})
  set(jar "")
  set(built "")
  if(Java_Development_FOUND)
    set(CMAKE_JAVA_COMPILE_FLAGS -Xlint:all -Werror --release 11 ${H_JAVA_FLAGS})
    add_jar(brewpad_${name}
      SOURCES ${CMAKE_SOURCE_DIR}/toolchain/running/wire/brewpad/wire/WireLine.java ${H_SOURCES}
      ENTRY_POINT ${H_ENTRY_POINT}
      OUTPUT_NAME brewpad-${name}
      OUTPUT_DIR ${CMAKE_BINARY_DIR})
    get_target_property(jar brewpad_${name} JAR_FILE)
    file(RELATIVE_PATH built ${CMAKE_BINARY_DIR} ${jar})
    add_dependencies(${H_LIBRARY} brewpad_${name})
  endif()
  set(bp_${name}_jar ${jar} PARENT_SCOPE)
  set(bp_${name}_jar_built ${built} PARENT_SCOPE)
  # bp_service_install_dir is set in service.cmake, read after the helpers' files.
  cmake_language(EVAL CODE "cmake_language(DEFER CALL bp_helper_jar_install ${name} ${H_LIBRARY})")
endfunction()

function(bp_helper_jar_install name library)
  string(TOUPPER ${name} upper)
  file(RELATIVE_PATH rel /${CMAKE_INSTALL_BINDIR} /${bp_service_install_dir}/brewpad-${name}.jar)
  target_compile_definitions(${library} PRIVATE BREWPAD_${upper}_JAR_RELATIVE="${rel}")
  if(bp_${name}_jar)
    install(FILES ${bp_${name}_jar} DESTINATION ${bp_service_install_dir})
  endif()
endfunction()

# bp_helper_tests(NAME SOURCES files...)
# The jar of the Java tests of the helper NAME (the target brewpad_NAME_tests)
# with the checks they share (tests/java/brewpad/testing/), built against its
# jar; nothing without a JDK.
function(bp_helper_tests name)
  cmake_parse_arguments(H "" "" "SOURCES" ${ARGN})
  if(Java_Development_FOUND)
    set(CMAKE_JAVA_COMPILE_FLAGS -Xlint:all -Werror --release 11)
    add_jar(brewpad_${name}_tests
      SOURCES ${CMAKE_SOURCE_DIR}/tests/java/brewpad/testing/Checks.java ${H_SOURCES}
      INCLUDE_JARS brewpad_${name}
      OUTPUT_DIR ${CMAKE_BINARY_DIR})
  endif()
endfunction()

# bp_helper_test(TEST NAME CLASS class [ARGS args...])
# The CTest test TEST: the class CLASS of the helper NAME's tests run with its
# jar and theirs; nothing without a JDK.
function(bp_helper_test test name)
  cmake_parse_arguments(H "" "CLASS" "ARGS" ${ARGN})
  if(Java_Development_FOUND)
    get_target_property(tests_jar brewpad_${name}_tests JAR_FILE)
    add_test(NAME ${test}
      COMMAND ${Java_JAVA_EXECUTABLE} -cp ${bp_${name}_jar}:${tests_jar} ${H_CLASS} ${H_ARGS})
  endif()
endfunction()
