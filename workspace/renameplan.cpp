// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/renameplan.h"

#include "project/openprojects.h"
#include "project/projectmodel.h"
#include "toolchain/settings/settings.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

namespace {

bool identifierChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// The ".java" files below `root` (with its subfolders when `deep`), into `out`.
void addSources(const QString& root, bool deep, const QString& except, int limit, QStringList& out)
{
    QDirIterator it(root, {QStringLiteral("*.java")}, QDir::Files,
                    deep ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (it.hasNext() && out.size() < limit) {
        const QString p = QDir::cleanPath(it.next());
        if (p != except && !out.contains(p))
            out << p;
    }
}

}  // namespace

QString identifierAt(const QString& text, int position)
{
    int start = std::clamp(position, 0, int(text.size()));
    int end = start;
    while (start > 0 && identifierChar(text[start - 1]))
        --start;
    while (end < text.size() && identifierChar(text[end]))
        ++end;
    const QString word = text.mid(start, end - start);
    return word.isEmpty() || word[0].isDigit() ? QString() : word;
}

QStringList renameProjectSources(const QString& file, int limit)
{
    const QString self = QDir::cleanPath(QFileInfo(file).absoluteFilePath());
    QStringList out;
    if (const std::optional<HeldSource> held = openprojects::holding(self)) {
        for (const QString& root : held->project.sourceRoots + held->project.testSourceRoots)
            addSources(root, true, self, limit, out);
    } else if (const ProjectModel m = singleSourceModel(self, modelSettings()); !m.packageRoot.isEmpty()) {
        addSources(m.packageRoot, true, self, limit, out);
    } else {
        addSources(QFileInfo(self).absolutePath(), false, self, limit, out);
    }
    std::sort(out.begin(), out.end());
    return out;
}

QStringList listedSources(const QString& projectFile, const QString& projectText)
{
    QStringList out;
    const QDir dir = QFileInfo(projectFile).absoluteDir();
    for (const QString& line : projectText.split(QLatin1Char('\n'))) {
        const QString name = line.trimmed();
        if (!name.isEmpty())
            out << QDir::cleanPath(dir.absoluteFilePath(name));
    }
    return out;
}

QList<RenameFileEdits> renameEditsByFile(const QList<RenamePlace>& places)
{
    QList<RenameFileEdits> out;
    for (const RenamePlace& p : places) {
        auto it = std::find_if(out.begin(), out.end(), [&](const RenameFileEdits& f) { return f.path == p.path; });
        if (it == out.end())
            out << RenameFileEdits{p.path, {p}};
        else
            it->places << p;
    }
    for (RenameFileEdits& f : out)
        std::sort(f.places.begin(), f.places.end(),
                  [](const RenamePlace& a, const RenamePlace& b) { return a.offset < b.offset; });
    return out;
}

QString diskSourceText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

int editorOffset(const QString& diskText, int offset)
{
    int pairs = 0;
    const int end = std::min(offset, int(diskText.size()));
    for (int i = 0; i + 1 < end; ++i) {
        if (diskText[i] == u'\r' && diskText[i + 1] == u'\n')
            ++pairs;
    }
    return offset - pairs;
}

RenamePreviewRow renamePreviewRow(const QString& file, const QString& text, int offset)
{
    const int at = std::clamp(offset, 0, int(text.size()));
    int start = at;
    while (start > 0 && text[start - 1] != u'\n' && text[start - 1] != u'\r')
        --start;
    int end = at;
    while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
        ++end;
    int line = 1;
    for (int i = 0; i < start; ++i) {
        if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n')))
            ++line;
    }
    return RenamePreviewRow{file, line, text.mid(start, end - start)};
}
