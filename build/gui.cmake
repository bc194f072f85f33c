# build/gui
