# SPDX-License-Identifier: GPL-3.0-or-later
# The whole user story, driven through a virtual X server against the built
# program (tests/e2e/story.sh): first start, the search for the Java tools,
# editing, compiling, running, a compiler message followed to its line, Exit.
add_test(NAME story_with_stand_in_terminal
  COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/xserver.sh ${CMAKE_SOURCE_DIR}/tests/e2e/story.sh $<TARGET_FILE:brewpad>
          ${CMAKE_SOURCE_DIR}/tests/stand-ins/terminal.sh)
# It presses keys and waits for windows with time limits: no other test runs
# beside it.
set_tests_properties(story_with_stand_in_terminal PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=xcb" TIMEOUT 420
                     RUN_SERIAL TRUE LABELS program)

# A brewpad.cfg in the start folder runs nothing of its JDK before the first
# F9: the built program started for real, its JDK stand-ins writing down that
# they ran (tests/e2e/planted_config.sh).
add_test(NAME planted_config_runs_nothing_before_f9
  COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/xserver.sh ${CMAKE_SOURCE_DIR}/tests/e2e/planted_config.sh $<TARGET_FILE:brewpad>)
set_tests_properties(planted_config_runs_nothing_before_f9 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=xcb" TIMEOUT 180
                     LABELS program)
