# SPDX-License-Identifier: GPL-3.0-or-later
# project/: the project model (what is built and run) and its loaders, and
# Java project files (.jpr), read as plain data (QtCore only).
# Includes platform/ and javatext/ (the package a source declares).
add_library(bp_project STATIC project/projfile.cpp project/projectmodel.cpp project/jprloader.cpp
  project/modelclasspath.cpp project/openprojects.cpp)
target_link_libraries(bp_project PUBLIC bp_platform bp_javatext Qt6::Core)
