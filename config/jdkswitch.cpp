// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/jdkswitch.h"

#include "config/cfgfile.h"
#include "config/search.h"

JdkChoiceWritten writeJdkChoice(const QString& bin, const QString& helpFile)
{
    JdkChoiceWritten out;
    QString path;
    if (!toolsfind::getfile(path)) {
        QString homedir;
        path = cfgfile::newLocation(&homedir);
    }
    out.configFile = path;
    if (path.isEmpty())
        return out;
    // The records as they stand: a file without the tool record starts with
    // the help-file record (it then fails to name a JDK).
    QString help = helpFile;
    QByteArray data;
    if (cfgfile::load(path, data) == cfgfile::Load::Data) {
        qsizetype pos = 0;
        const std::optional<QString> first = cfgfile::readRecord(data, pos);
        const std::optional<QString> second = first ? cfgfile::readRecord(data, pos) : std::nullopt;
        if (second)
            help = *second;
        else if (first && toolsfind::verify(*first))
            help = *first;
    }
    QByteArray bytes = cfgfile::encodeRecord(bin);
    if (!help.isEmpty())
        bytes += cfgfile::encodeRecord(help);
    out.written = cfgfile::save(path, bytes);
    return out;
}
