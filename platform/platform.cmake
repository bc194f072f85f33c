add_library(bp_platform STATIC platform/host.cpp)
target_link_libraries(bp_platform PUBLIC Qt6::Core)

# Keyboard lock states need the GUI.
add_library(bp_keyboard STATIC platform/keyboard.cpp)
target_link_libraries(bp_keyboard PUBLIC Qt6::Gui ${CMAKE_DL_LIBS})
