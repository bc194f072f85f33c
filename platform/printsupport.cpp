// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/printsupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <dlfcn.h>

namespace {

struct Loaded {
    PrintSupport* support = nullptr;
    QString error;
};

// The module beside the program (a build folder), else where it is installed
// from the program's folder (BREWPAD_MODULE_DIR, relative to it).
QStringList modulePlaces()
{
    if (!QCoreApplication::instance())
        return {};
    const QString bin = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    const QString name = QLatin1String(kPrintSupportModule);
    return {bin + name, bin + QStringLiteral(BREWPAD_MODULE_DIR "/") + name};
}

Loaded load()
{
    Loaded out;
    QStringList failures;
    for (const QString& path : modulePlaces()) {
        if (!QFileInfo(path).isFile()) {
            failures << path + QStringLiteral(": no such file");
            continue;
        }
        // Kept for the whole run: the printers it makes live as long.
        void* lib = ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!lib) {
            failures << QString::fromLocal8Bit(::dlerror());
            continue;
        }
        auto entry = reinterpret_cast<PrintSupportEntry>(::dlsym(lib, kPrintSupportEntry));
        if (entry && (out.support = entry()))
            return out;
        failures << path + QStringLiteral(": not Brewpad's print support");
        ::dlclose(lib);
    }
    if (failures.isEmpty())
        failures << QStringLiteral("the program's folder is not known");
    out.error = failures.join(QLatin1Char('\n'));
    return out;
}

const Loaded& loaded()
{
    static const Loaded once = load();
    return once;
}

}  // namespace

PrintSupport* printSupport()
{
    return loaded().support;
}

QString printSupportError()
{
    return loaded().error;
}
