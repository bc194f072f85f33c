# editor/gui
