# SPDX-License-Identifier: GPL-3.0-or-later
# resources/: the command table (ids, captions, keys, hints, icon names) and the
# icons compiled in from brewpad.qrc. Includes no other folder. The library is
# static, so every program that loads icons calls initBrewpadResources()
# (resources/resources.h) once before loading ":/icons/...".
add_library(bp_resources STATIC
  resources/commands.cpp
  resources/colours.cpp
  resources/resources.cpp
  resources/resources.h
  resources/brewpad.qrc)
set_target_properties(bp_resources PROPERTIES AUTORCC ON)
target_link_libraries(bp_resources PUBLIC Qt6::Core Qt6::Gui)

# The drawing program behind resources/icons/*.png; not part of the default build.
#   cmake --build <dir> --target regenerate_icons
# redraws every icon in the source tree and writes a contact sheet,
# <dir>/icons-sheet.png, to look at.
add_executable(make_icons EXCLUDE_FROM_ALL
  resources/iconsrc/make_icons.cpp
  resources/iconsrc/icondrawings.cpp
  resources/iconsrc/icondrawings.h
  resources/iconsrc/iconparts.cpp
  resources/iconsrc/iconparts.h
  resources/iconsrc/menuicondrawings.cpp
  resources/iconsrc/menuicondrawings.h)
target_link_libraries(make_icons PRIVATE Qt6::Gui)
add_custom_target(regenerate_icons
  COMMAND make_icons ${CMAKE_SOURCE_DIR}/resources/icons --sheet ${CMAKE_BINARY_DIR}/icons-sheet.png
  COMMENT "Drawing resources/icons/*.png")

bp_add_test(test_resources SOURCES tests/resources/test_resources.cpp LIBS bp_resources)
bp_add_test(test_colours SOURCES tests/resources/test_colours.cpp LIBS bp_resources)
