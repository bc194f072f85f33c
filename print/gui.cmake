# print/gui
