# SPDX-License-Identifier: GPL-3.0-or-later
# Checks of the source tree, run by ctest like the tests:
#   include_order  a folder includes only its own headers and those of the
#                  folders its library links (the table below, derived from the
#                  libraries' links once every folder is described);
#   code_size      no program file over 500 lines, no function over 60
#                  (tables aside: tests/checks/codesize.h)
#                  (-DBREWPAD_CHECK_SIZE=OFF leaves it out);
#   format         the sources as clang-format (.clang-format) writes them
#                  (scripts/check-format; scripts/apply-format rewrites them)
#                  (-DBREWPAD_CHECK_FORMAT=OFF leaves it out).
option(BREWPAD_CHECK_SIZE "Run the code_size check with the tests" ON)
option(BREWPAD_CHECK_FORMAT "Run the format check with the tests" ON)

set(bp_program_folders app config workspace editor project print platform javatext toolchain resources)
set(bp_layer_table ${CMAKE_BINARY_DIR}/include-order.txt)

add_library(bp_checks STATIC
  ${CMAKE_SOURCE_DIR}/tests/checks/sourcetext.cpp
  ${CMAKE_SOURCE_DIR}/tests/checks/includeorder.cpp
  ${CMAKE_SOURCE_DIR}/tests/checks/codesize.cpp)
set_target_properties(bp_checks PROPERTIES AUTOMOC OFF)
add_executable(check_tree ${CMAKE_SOURCE_DIR}/tests/checks/check_tree.cpp)
target_link_libraries(check_tree PRIVATE bp_checks)
set_target_properties(check_tree PROPERTIES AUTOMOC OFF)

bp_add_test(test_checks SOURCES tests/checks/test_checks.cpp LIBS bp_checks)
target_compile_definitions(test_checks PRIVATE BP_CHECK_TREE="$<TARGET_FILE_NAME:check_tree>")
add_dependencies(test_checks check_tree)

add_test(NAME include_order COMMAND check_tree include-order ${bp_layer_table} ${CMAKE_SOURCE_DIR})
add_test(NAME code_size COMMAND check_tree code-size ${CMAKE_SOURCE_DIR} ${bp_program_folders})
add_test(NAME format COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-format)
set_tests_properties(include_order code_size format PROPERTIES LABELS check)
if(NOT BREWPAD_CHECK_SIZE)
  set_tests_properties(code_size PROPERTIES DISABLED TRUE)
endif()
if(NOT BREWPAD_CHECK_FORMAT)
  set_tests_properties(format PROPERTIES DISABLED TRUE)
endif()

# The folder of a target: the first folder of its first source in the tree.
function(bp_target_folder target out)
  get_target_property(sources ${target} SOURCES)
  set(folder "")
  foreach(source ${sources})
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${CMAKE_SOURCE_DIR})
    cmake_path(IS_PREFIX CMAKE_SOURCE_DIR "${source}" inside)
    if(inside)
      file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${source})
      string(REGEX REPLACE "/.*" "" folder "${rel}")
      break()
    endif()
  endforeach()
  set(${out} "${folder}" PARENT_SCOPE)
endfunction()

# The targets of this build a target links, directly or through the targets it
# links (Qt's and GoogleTest's are left out).
function(bp_linked_targets target out)
  set(seen "")
  set(todo ${target})
  while(todo)
    list(POP_FRONT todo t)
    get_target_property(links ${t} LINK_LIBRARIES)
    get_target_property(ilinks ${t} INTERFACE_LINK_LIBRARIES)
    foreach(link ${links} ${ilinks})
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
      if(NOT TARGET ${link} OR link IN_LIST seen)
        continue()
      endif()
      get_target_property(imported ${link} IMPORTED)
      if(NOT imported)
        list(APPEND seen ${link})
        list(APPEND todo ${link})
      endif()
    endforeach()
  endwhile()
  set(${out} "${seen}" PARENT_SCOPE)
endfunction()

# Writes the table "folder: folders it may include" of the program's folders.
# Deferred to the end of the configuration: some links are added by deferred calls.
function(bp_write_layer_table)
  get_property(targets DIRECTORY ${CMAKE_SOURCE_DIR} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(folder ${bp_program_folders})
    set(allowed_${folder} "")
  endforeach()
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    bp_target_folder(${target} folder)
    if(NOT folder IN_LIST bp_program_folders OR type STREQUAL "UTILITY")
      continue()
    endif()
    bp_linked_targets(${target} linked)
    foreach(link ${linked})
      bp_target_folder(${link} other)
      if(other IN_LIST bp_program_folders AND NOT other STREQUAL folder)
        list(APPEND allowed_${folder} ${other})
      endif()
    endforeach()
  endforeach()
  set(table "")
  foreach(folder ${bp_program_folders})
    list(REMOVE_DUPLICATES allowed_${folder})
    list(SORT allowed_${folder})
    list(JOIN allowed_${folder} " " list)
    string(APPEND table "${folder}: ${list}\n")
  endforeach()
  file(CONFIGURE OUTPUT ${bp_layer_table} CONTENT "${table}")
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL bp_write_layer_table)
