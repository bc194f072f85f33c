# The print host, its "Printing" window and the printout of the editor's text.
add_library(bp_printing STATIC print/printing.cpp print/printing.h)
target_link_libraries(bp_printing PUBLIC bp_common Qt6::Widgets Qt6::PrintSupport)

bp_add_test(test_printing SOURCES tests/test_printing.cpp LIBS bp_printing)
