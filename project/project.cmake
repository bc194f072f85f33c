# SPDX-License-Identifier: GPL-3.0-or-later
# project/: Java project files (.jpr), read as plain data (QtCore only).
# Includes platform/.
add_library(bp_project STATIC project/projfile.cpp)
target_link_libraries(bp_project PUBLIC bp_platform Qt6::Core)
