// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/servicejvm.h"

#include <QFileInfo>

namespace {

bool setsHeapLimit(const QString& option)
{
    return option.startsWith(QLatin1String("-Xmx")) || option.startsWith(QLatin1String("-XX:MaxHeapSize=")) ||
           option.startsWith(QLatin1String("-XX:MaxRAM"));
}

bool choosesCollector(const QString& option)
{
    return option.startsWith(QLatin1String("-XX:+Use")) && option.endsWith(QLatin1String("GC"));
}

}  // namespace

QStringList serviceJvmOptions(const QStringList& javacArgs)
{
    QStringList opts;
    bool heap = false, collector = false;
    for (const QString& a : javacArgs) {
        if (!a.startsWith(QLatin1String("-J")))
            continue;
        const QString o = a.mid(2);
        heap = heap || setsHeapLimit(o);
        collector = collector || choosesCollector(o);
        opts << o;
    }
    // The service's own defaults come first, so that the user's options win.
    // A resident JVM should stay small: a heap that starts small and shrinks
    // back after the idle service's collection, the quick JIT only (its code
    // is compact and it needs little memory to compile), no statistics file.
    QStringList defaults;
    if (!heap)
        defaults << QStringLiteral("-Xmx256m") << QStringLiteral("-Xms8m");
    if (!collector)
        defaults << QStringLiteral("-XX:+UseSerialGC");
    defaults << QStringLiteral("-XX:MinHeapFreeRatio=10") << QStringLiteral("-XX:MaxHeapFreeRatio=30")
             << QStringLiteral("-XX:TieredStopAtLevel=1") << QStringLiteral("-XX:ReservedCodeCacheSize=32m")
             << QStringLiteral("-XX:-UsePerfData");
    return defaults + opts;
}

QStringList javacArgsWithoutJvmOptions(const QStringList& javacArgs)
{
    QStringList out;
    for (const QString& a : javacArgs) {
        if (!a.startsWith(QLatin1String("-J")))
            out << a;
    }
    return out;
}

QString javaBinOfJavac(const QString& javacPath)
{
    const QString real = QFileInfo(javacPath).canonicalFilePath();
    if (real.isEmpty())
        return QString();
    const QString dir = QFileInfo(real).absolutePath();
    const QFileInfo java(dir + QStringLiteral("/java"));
    return java.isFile() && java.isExecutable() ? dir : QString();
}
