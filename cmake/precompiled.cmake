# SPDX-License-Identifier: GPL-3.0-or-later
# Precompiled headers: the Qt headers that most sources include, compiled once
# per build instead of once per source (about half of a source's compile time
# went into reading them). bp_platform compiles them, and every library that builds
# on it, with the same Qt modules and options, reuses them. The test programs
# share another set, with GoogleTest's (cmake/helpers.cmake). Configure with
# -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON to check that every source includes
# what it uses.
target_precompile_headers(bp_platform PRIVATE
  <functional> <memory> <optional> <vector>
  <QApplication> <QByteArray> <QDialog> <QDir> <QFile> <QFileInfo> <QHBoxLayout> <QKeyEvent>
  <QLabel> <QMdiSubWindow> <QPainter> <QPlainTextEdit> <QPointer> <QPushButton> <QScrollBar>
  <QString> <QStringList> <QTextBlock> <QTextCursor> <QTextDocument> <QTimer> <QVBoxLayout>)
foreach(lib bp_javatext bp_config bp_project bp_compileservice bp_toolchain bp_debugger bp_print bp_editor bp_workspace bp_app)
  target_precompile_headers(${lib} REUSE_FROM bp_platform)
endforeach()
