# project/gui
