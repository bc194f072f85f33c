# SPDX-License-Identifier: GPL-3.0-or-later
# editor/: the editor window of one file and its commands, the edit control, text
# files with their encodings and line breaks, safe writing of the user's files,
# line-end conversion, syntax colouring, and Find and Replace.
# Includes toolchain/, print/, project/, config/, javatext/, platform/ and resources/.
add_library(bp_editor STATIC
  editor/editorwindow.cpp
  editor/projectnodes.cpp
  editor/typingcheck.cpp
  editor/saveproposal.cpp
  editor/completion.cpp
  editor/completionpopup.cpp
  editor/quickfix.cpp
  editor/quickfixpopup.cpp
  editor/parameterhints.cpp
  editor/zoom.cpp
  editor/marks.cpp
  editor/sourcedocument.cpp
  editor/sourcelayout.cpp
  editor/indent.cpp
  editor/editcontrol.cpp
  editor/hoverrest.cpp
  editor/editcommands.cpp
  editor/commentlines.cpp
  editor/editinput.cpp
  editor/editdefaults.cpp
  editor/lineendedit.cpp
  editor/editedfile.cpp
  editor/editmargin.cpp
  editor/debugmarks.cpp
  editor/trackedlines.cpp
  editor/fileexchange.cpp
  editor/shownblocks.cpp
  editor/texthighlights.cpp
  editor/textfile.cpp
  editor/textdoc.cpp
  editor/diskfile.cpp
  editor/xattrs.cpp
  editor/unix2dos.cpp
  editor/finddialogs.cpp
  editor/highlighter.cpp)
target_link_libraries(bp_editor PUBLIC bp_toolchain bp_building bp_debugger bp_print bp_javatext Qt6::Widgets Qt6::PrintSupport)

bp_add_test(test_find SOURCES tests/editor/test_find.cpp LIBS bp_editor)
bp_add_test(test_highlighter SOURCES tests/editor/test_highlighter.cpp LIBS bp_editor)
bp_add_test(test_unix2dos SOURCES tests/editor/test_unix2dos.cpp LIBS bp_editor)
bp_add_test(test_diskfile SOURCES tests/editor/test_diskfile.cpp LIBS bp_editor)
bp_add_test(test_editedfile SOURCES tests/editor/test_editedfile.cpp LIBS bp_editor)
bp_add_test(test_breakpoints SOURCES tests/editor/test_breakpoints.cpp LIBS bp_editor)
bp_add_test(test_sourcedocument SOURCES tests/editor/test_sourcedocument.cpp LIBS bp_editor)
bp_add_test(test_comfort SOURCES tests/editor/test_comfort.cpp LIBS bp_editor)
bp_add_test(test_sourcelayout SOURCES tests/editor/test_sourcelayout.cpp LIBS bp_editor)

bp_add_bench(bench_highlight SOURCES bench/bench_highlight.cpp LIBS bp_editor)
bp_add_bench(bench_unix2dos SOURCES bench/bench_unix2dos.cpp LIBS bp_editor)
bp_add_bench(bench_type SOURCES bench/bench_type.cpp LIBS bp_app Qt6::Test)
