# SPDX-License-Identifier: GPL-3.0-or-later
# The compile service: the JDK's compiler kept warm in a resident JVM
# (toolchain/compiling/service/, built with CMake's Java support into
# brewpad-compile-service.jar beside the program, installed in share/brewpad:
# a jar is data for the JVM, not a program of its own), and its client. Without a
# JDK at configure time the program is built without the jar, and F9 always
# starts javac.
include(GNUInstallDirs)
find_package(Java 11 COMPONENTS Development)

set(bp_service_jar_name brewpad-compile-service)
set(bp_service_install_dir ${CMAKE_INSTALL_DATADIR}/brewpad)
# Where the installed program finds the jar, relative to its own directory.
file(RELATIVE_PATH bp_service_relative /${CMAKE_INSTALL_BINDIR} /${bp_service_install_dir}/${bp_service_jar_name}.jar)

add_library(bp_compileservice STATIC toolchain/compiling/compileservice.cpp toolchain/compiling/servicereplies.cpp
  toolchain/compiling/servicescratch.cpp toolchain/compiling/servicerequest.cpp toolchain/compiling/shippedfile.cpp
  toolchain/compiling/servicenavigation.cpp toolchain/compiling/completionitems.cpp
  toolchain/compiling/servicejvm.cpp toolchain/compiling/serviceoutbox.cpp toolchain/compiling/serviceprotocol.cpp
  toolchain/compiling/quickfixes.cpp toolchain/compiling/quickfixedit.cpp
  toolchain/compiling/renaming.cpp toolchain/compiling/servicedoc.cpp)
target_link_libraries(bp_compileservice PUBLIC bp_javatext bp_platform Qt6::Core)
target_compile_definitions(bp_compileservice PRIVATE BREWPAD_SERVICE_JAR_RELATIVE="${bp_service_relative}")
# JavacRunner (bp_toolchain, described in toolchain.cmake, which is read after
# this file) hands compilations to the service.
cmake_language(DEFER CALL target_link_libraries bp_toolchain PUBLIC bp_compileservice)

set(bp_service_jar "")
# The test programs name the jar relative to the build folder they stand in.
set(bp_service_jar_built "")
if(Java_Development_FOUND)
  include(UseJava)
  set(CMAKE_JAVA_COMPILE_FLAGS -Xlint:all -Werror --release 11)
  # The package brewpad.service, one file a class.
  set(bp_service_dir toolchain/compiling/service/brewpad/service)
  set(bp_service_sources)
  foreach(class CompileService RequestDecoder Request ReplyEncoder Reply Check Elsewhere Launcher WarmUp Navigate
      DeclFinder JdkSources JarSources ParamNames Complete Signature Imports Fixes FixNames Rename RenameClash
      Docs DocReferences)
    list(APPEND bp_service_sources ${bp_service_dir}/${class}.java)
  endforeach()
  add_jar(brewpad_compile_service
    SOURCES ${bp_service_sources}
    OUTPUT_NAME ${bp_service_jar_name}
    OUTPUT_DIR ${CMAKE_BINARY_DIR})
  get_target_property(bp_service_jar brewpad_compile_service JAR_FILE)
  file(RELATIVE_PATH bp_service_jar_built ${CMAKE_BINARY_DIR} ${bp_service_jar})
  add_dependencies(bp_compileservice brewpad_compile_service)
  install(FILES ${bp_service_jar} DESTINATION ${bp_service_install_dir})
  # A Java test of the service: the class brewpad.service.CLASS of
  # tests/java/brewpad/service/, built against the service's jar into a jar of
  # its own (brewpad_service_JAR), run by CTest as TEST with ARGS.
  function(bp_service_java_test test jar class)
    add_jar(brewpad_service_${jar}
      SOURCES tests/java/brewpad/service/${class}.java
      INCLUDE_JARS brewpad_compile_service
      OUTPUT_DIR ${CMAKE_BINARY_DIR}/tests)
    get_target_property(test_jar brewpad_service_${jar} JAR_FILE)
    add_test(NAME ${test}
      COMMAND ${Java_JAVA_EXECUTABLE} -cp ${test_jar}:${bp_service_jar} brewpad.service.${class} ${ARGN})
  endfunction()
  # The service's decoder and encoder against the golden frames that
  # test_serviceprotocol reads too.
  bp_service_java_test(test_service_java protocol_test ProtocolTest ${CMAKE_SOURCE_DIR}/tests/golden/service)
  # Rename on sources in a temporary folder.
  bp_service_java_test(test_service_rename_java rename_test RenameTest)
else()
  message(STATUS "No JDK found: Brewpad is built without its compile service")
endif()

bp_add_test(test_serviceprotocol SOURCES tests/toolchain/compiling/test_serviceprotocol.cpp LIBS bp_compileservice)
bp_add_test(test_quickfixedit SOURCES tests/toolchain/compiling/test_quickfixedit.cpp LIBS bp_compileservice)
bp_add_test(test_compileservice SOURCES tests/toolchain/compiling/test_compileservice.cpp LIBS bp_toolchain)
target_compile_definitions(test_compileservice PRIVATE BP_SERVICE_JAR="${bp_service_jar_built}")
bp_add_bench(bench_compile_warm SOURCES bench/bench_compile_warm.cpp LIBS bp_toolchain)
target_compile_definitions(bench_compile_warm PRIVATE BP_SERVICE_JAR="${bp_service_jar}")
bp_add_bench(bench_check SOURCES bench/bench_check.cpp LIBS bp_toolchain)
target_compile_definitions(bench_check PRIVATE BP_SERVICE_JAR="${bp_service_jar}")
bp_add_test(test_compileservice_limits SOURCES tests/toolchain/compiling/test_compileservice_limits.cpp LIBS bp_toolchain)
target_compile_definitions(test_compileservice_limits PRIVATE BP_SERVICE_JAR="${bp_service_jar_built}")
# They start a JVM or several: among the first tests started.
set_tests_properties(test_compileservice test_compileservice_limits PROPERTIES COST 50)
bp_add_bench(bench_navigate SOURCES bench/bench_navigate.cpp LIBS bp_toolchain)
target_compile_definitions(bench_navigate PRIVATE BP_SERVICE_JAR="${bp_service_jar}")
