# The editor's text files in the edit control's document, with their line breaks.
target_sources(bp_app PRIVATE editor/textdoc.cpp editor/textdoc.h)

bp_add_test(test_savefiles SOURCES tests/test_savefiles.cpp LIBS bp_app bp_resources)
