# SPDX-License-Identifier: GPL-3.0-or-later
# How the brewpad program is linked, for a quick start (bench_startup measures
# it): the dynamic loader's work before main is most of what the program adds
# to the start of a bare Qt program that shows one box.
#  - --as-needed: the program needs no library it does not call. Qt's print
#    support stays in the libraries' link interface (the tests call QPrinter),
#    but the program calls it only through the module that it loads when it
#    first wants a printer (platform/printsupport.h), so it is not loaded at
#    every start; the check startup_libraries keeps it so.
#  - The Qt libraries that every start uses come first among the needed
#    libraries: each of the thousands of symbols the loader binds is looked up
#    through them in that order.
#  - --hash-style=gnu: symbol tables searched through GNU hash tables only;
#    -O1: the linker optimises those tables; --gc-sections: sections of the
#    libraries' objects that nothing uses are left out.
# Calls stay bound lazily (no -z now, no -fno-plt): a start calls a small part
# of the functions the program imports, and binding all of them before main
# would cost more than it saves.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang" AND NOT BREWPAD_SANITIZE AND NOT BREWPAD_FUZZ)
  target_link_options(brewpad PRIVATE
    -Wl,-O1 -Wl,--as-needed -Wl,--hash-style=gnu -Wl,--gc-sections
    $<TARGET_LINKER_FILE:Qt6::Widgets> $<TARGET_LINKER_FILE:Qt6::Gui> $<TARGET_LINKER_FILE:Qt6::Core>)

  find_program(BREWPAD_READELF readelf)
  if(BREWPAD_READELF)
    add_test(NAME startup_libraries
      COMMAND ${CMAKE_COMMAND} -DREADELF=${BREWPAD_READELF} -DPROGRAM=$<TARGET_FILE:brewpad>
              -P ${CMAKE_SOURCE_DIR}/cmake/startup-check.cmake)
  endif()
endif()
