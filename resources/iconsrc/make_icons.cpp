// SPDX-License-Identifier: GPL-3.0-or-later
// make_icons: draws Brewpad's icons with QPainter and writes them as PNG files.
//
//   make_icons <output dir>                 writes every icon into <output dir>
//   make_icons <output dir> --sheet <png>   also writes a contact sheet to look at
//   make_icons --hicolor <theme dir>        writes the program's icon at the sizes of
//                                           a desktop icon theme, as
//                                           <theme dir>/<N>x<N>/apps/brewpad.png
//
// Every icon is drawn on a 32 by 32 unit grid (scaled up for the 64 pixel frame
// icon) from one palette and a few shared parts (iconparts.h); the drawings are
// in icondrawings.h (the windows and the tool bar) and menuicondrawings.h (the
// menus). This file holds the table of icons and writes them.
#include "resources/iconsrc/icondrawings.h"
#include "resources/iconsrc/menuicondrawings.h"

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <vector>

namespace {

using namespace iconart;

struct Icon {
    const char* name;
    int size;
    void (*draw)(QPainter&);
    const char* caption;
};

const std::vector<Icon>& icons()
{
    static const std::vector<Icon> all = {
        {"brewpad", 64, drawBrewpad, "frame"},
        {"brewpad-32", 32, drawBrewpad, "frame 32"},
        {"editor", 32, drawEditor, "editor"},
        {"project", 32, drawProject, "project"},
        {"world", 32, drawWorld, "world"},
        {"new-java-file", 32, drawNewFile, "New Java"},
        {"open-java-file", 32, drawOpenFile, "Open Java"},
        {"save", 32, drawSave, "Save"},
        {"save-as", 32, drawSaveAs, "Save As"},
        {"print", 32, drawPrint, "Print"},
        {"undo", 32, drawUndo, "Undo"},
        {"cut", 32, drawCut, "Cut"},
        {"copy", 32, drawCopy, "Copy"},
        {"paste", 32, drawPaste, "Paste"},
        {"goto-line", 32, drawGotoLine, "Goto Line"},
        {"find", 32, drawFind, "Find"},
        {"replace", 32, drawReplace, "Replace"},
        {"find-next", 32, drawFindNext, "Find next"},
        {"compile", 32, drawCompile, "Compile"},
        {"run", 32, drawRun, "Run"},
        {"applet-run", 32, drawAppletRun, "Applet"},
        {"hint-mode", 32, drawToggleHint, "Hint mode"},
        {"move-tool-bar", 32, drawToggleBar, "Bar pos."},
        {"new-project", 32, drawNewProject, "New Proj."},
        {"open-project", 32, drawOpenProject, "Open Proj."},
        {"save-project", 32, drawSaveProject, "Save Proj."},
        {"view-project", 32, drawViewProject, "View Proj."},
        {"unix2dos", 32, drawUnix2Dos, "Unix2Dos"},
        {"arguments", 32, drawArguments, "Arguments"},
        {"compiler-options", 32, drawOptions, "Options"},
        {"java-help", 32, drawJavaHelp, "JAVA..."},
        {"about", 32, drawAbout, "About"},
        {"add-node", 32, drawAddNode, "Add Node"},
        {"delete-node", 32, drawDeleteNode, "Del Node"},
        {"font", 32, drawFont, "Font"},
        {"exit", 32, drawExit, "Exit"},
        {"delete", 32, drawDelete, "Delete"},
        {"clear-all", 32, drawClearAll, "Clear All"},
        {"print-setup", 32, drawPrintSetup, "Print Set."},
        {"cascade", 32, drawCascade, "Cascade"},
        {"tile", 32, drawTile, "Tile"},
        {"close-all", 32, drawCloseAll, "Close All"},
    };
    return all;
}

QImage render(const Icon& icon, int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    icon.draw(p);
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

// Every icon at 16 and 32 pixels and zoomed to 64, on a light and a dark ground.
QImage contactSheet()
{
    const int cellW = 150, cellH = 92, cols = 4;
    const int rows = int(icons().size() + cols - 1) / cols;
    QImage sheet(cols * cellW * 2, rows * cellH, QImage::Format_ARGB32);
    QPainter p(&sheet);
    const QColor grounds[2] = {QColor(0xf2, 0xf2, 0xf2), QColor(0x2b, 0x2b, 0x2b)};
    for (int half = 0; half < 2; ++half)
        p.fillRect(half * cols * cellW, 0, cols * cellW, sheet.height(), grounds[half]);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    p.setFont(f);
    for (size_t i = 0; i < icons().size(); ++i) {
        const Icon& icon = icons()[i];
        const QImage full = render(icon, icon.size);
        const QImage at32 = full.scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QImage at16 = full.scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QImage zoom = icon.size == 64 ? full
                                            : full.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        for (int half = 0; half < 2; ++half) {
            const int x = half * cols * cellW + int(i % cols) * cellW + 6;
            const int y = int(i / cols) * cellH + 6;
            p.setPen(half ? QColor(0xdd, 0xdd, 0xdd) : QColor(0x22, 0x22, 0x22));
            p.drawText(x, y + 10, QStringLiteral("%1 %2").arg(QLatin1String(icon.name), QLatin1String(icon.caption)));
            p.drawImage(x, y + 20, at16);
            p.drawImage(x + 22, y + 20, at32);
            p.drawImage(x + 60, y + 16, zoom);
        }
    }
    p.end();
    return sheet;
}

// The sizes at which desktops look for an application's icon.
const int kThemeSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

int writeThemeIcons(const QDir& theme)
{
    const Icon& app = icons().front();  // "brewpad"
    for (int size : kThemeSizes) {
        const QString sub = QStringLiteral("%1x%1/apps").arg(size);
        const QString file = theme.filePath(sub + QStringLiteral("/brewpad.png"));
        if (!QDir().mkpath(theme.filePath(sub)) || !render(app, size).save(file, "PNG")) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--hicolor"))
        return writeThemeIcons(QDir(args[2]));
    if (args.size() != 2 && !(args.size() == 4 && args[2] == QLatin1String("--sheet"))) {
        std::fprintf(stderr,
                     "usage: make_icons <output dir> [--sheet <png>]\n       make_icons --hicolor <theme dir>\n");
        return 2;
    }
    const QDir out(args[1]);
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "make_icons: cannot create %s\n", qPrintable(out.path()));
        return 1;
    }
    for (const Icon& icon : icons()) {
        const QString file = out.filePath(QLatin1String(icon.name) + QLatin1String(".png"));
        if (!render(icon, icon.size).save(file, "PNG")) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    if (args.size() == 4 && !contactSheet().save(args[3], "PNG")) {
        std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(args[3]));
        return 1;
    }
    std::printf("make_icons: wrote %zu icons to %s\n", icons().size(), qPrintable(out.path()));
    return 0;
}
