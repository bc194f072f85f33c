# SPDX-License-Identifier: GPL-3.0-or-later
# javatext/: the rules of Java source text, one place each: the lexer that
# tells code from comments and literals, identifiers, the gaps between words,
# the source extension and the split of a path into base name and extension,
# the package and class a source declares; the editor's line rules (brackets,
# indentation, Toggle Comment), where completion puts an import, and the
# public type that names a file. Used by the classification, the compile
# service's requests, the breakpoints, the message window and the editor.
# Includes platform/ (the host's path separator); otherwise QtCore only.
add_library(bp_javatext STATIC
  javatext/javalexer.cpp
  javatext/javalines.cpp
  javatext/javaimports.cpp
  javatext/javatypename.cpp
  javatext/javaidentifiers.cpp
  javatext/javasource.cpp)
target_link_libraries(bp_javatext PUBLIC bp_platform Qt6::Core)

bp_add_test(test_javalines SOURCES tests/javatext/test_javalines.cpp LIBS bp_javatext)
bp_add_test(test_javalexer SOURCES tests/javatext/test_javalexer.cpp LIBS bp_javatext)
bp_add_test(test_javatext SOURCES tests/javatext/test_javatext.cpp LIBS bp_javatext)
