# SPDX-License-Identifier: GPL-3.0-or-later
# The check startup_libraries (cmake/startup.cmake): the built program does
# not load Qt's print support at start, and the Qt libraries every start uses
# come first among the libraries it needs.
#   cmake -DREADELF=readelf -DPROGRAM=out/brewpad -P cmake/startup-check.cmake
execute_process(COMMAND ${READELF} -d ${PROGRAM} OUTPUT_VARIABLE dynamic RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${READELF} -d ${PROGRAM} failed")
endif()
string(REGEX MATCHALL "Shared library: \\[[^]]+\\]" needed "${dynamic}")
string(REGEX REPLACE "Shared library: \\[([^]]+)\\]" "\\1" needed "${needed}")
message(STATUS "needed: ${needed}")
if(needed MATCHES "PrintSupport")
  message(FATAL_ERROR "${PROGRAM} loads Qt's print support at start: ${needed}")
endif()
list(SUBLIST needed 0 3 first)
if(NOT first STREQUAL "libQt6Widgets.so.6;libQt6Gui.so.6;libQt6Core.so.6")
  message(FATAL_ERROR "${PROGRAM} does not need Qt's Widgets, Gui and Core first: ${needed}")
endif()
