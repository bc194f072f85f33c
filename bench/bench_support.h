// SPDX-License-Identifier: GPL-3.0-or-later
// What the benchmarks share: the median of repeated timings, letting the event
// loop settle, writing a file (or stopping the benchmark), setting a file's
// modification time, and a generated Java source.
#pragma once
#include <QApplication>
#include <QByteArray>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace bench {

// The compiler the benchmarks run (Debian's JDK puts it there).
inline const QString kJavac = QStringLiteral("/usr/bin/javac");

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

inline void settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    f.write(bytes);
}

inline void setMtime(const QString& path, time_t sec)
{
    struct timespec ts[2] = {{sec, 0}, {sec, 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), ts, 0);
}

// A Java class `className` of repeated methods, at least `minBytes` long and
// `minLines` lines.
inline QByteArray generatedJavaSource(const char* className, qsizetype minBytes, int minLines)
{
    QByteArray out = "package bench;\n\nimport java.util.*;\n\n/** A generated class. */\npublic class ";
    out += className;
    out += " {\n";
    int n = 0;
    int lines = int(std::count(out.begin(), out.end(), '\n'));
    while (out.size() < minBytes || lines < minLines - 1) {
        out += "    /* method " + QByteArray::number(n) + " */\n";
        out += "    public static int m" + QByteArray::number(n) + "(int a, String s) {\n";
        out += "        // add the length of \"s\" to a\n";
        out += "        int r = a + s.length() * " + QByteArray::number(n % 97) + ";\n";
        out += "        if (r > 100) { return r - 1; } else { return r + 0x1F; }\n    }\n\n";
        ++n;
        lines += 7;
    }
    out += "}\n";
    return out;
}

}  // namespace bench
