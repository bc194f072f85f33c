# SPDX-License-Identifier: GPL-3.0-or-later
# print/: the print host, its "Printing" window and the printout of a text.
# Includes platform/.
add_library(bp_print STATIC print/printing.cpp print/printing.h)
target_link_libraries(bp_print PUBLIC bp_platform Qt6::Widgets Qt6::PrintSupport)

bp_add_test(test_printing SOURCES tests/print/test_printing.cpp LIBS bp_print)
