# editor/core
