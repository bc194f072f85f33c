# workspace/gui
