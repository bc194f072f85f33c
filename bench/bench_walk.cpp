// SPDX-License-Identifier: GPL-3.0-or-later
// Times the tool-discovery walk over a generated tree against `find DIR -name javac`.
// The last line is "ratio: <walk time / find time>".
#include "config/search.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int TopDirs = 20;
constexpr int SubDirs = 1000;    // per top directory: 20,000 leaf directories
constexpr int FilesPerDir = 10;  // 200,000 files

bool generate(const QByteArray& root)
{
    static const char* const names[FilesPerDir] = {"Main.java", "Main.class", "README", "build.xml", "javac.txt",
                                                   "Util.java", "Util.class", "notes",  "Makefile",  "index.html"};
    char path[4096];
    for (int t = 0; t < TopDirs; ++t) {
        snprintf(path, sizeof path, "%s/d%02d", root.constData(), t);
        if (mkdir(path, 0755) != 0)
            return false;
        for (int s = 0; s < SubDirs; ++s) {
            snprintf(path, sizeof path, "%s/d%02d/e%04d", root.constData(), t, s);
            if (mkdir(path, 0755) != 0)
                return false;
            for (const char* n : names) {
                char file[4200];
                snprintf(file, sizeof file, "%s/%s", path, n);
                const int fd = open(file, O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
                if (fd < 0)
                    return false;
                close(fd);
            }
        }
    }
    return true;
}

// Removes a directory tree without following links.
void removeTree(int parent, const char* name)
{
    const int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        if (DIR* d = fdopendir(fd)) {
            while (const dirent* e = readdir(d)) {
                const char* n = e->d_name;
                if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0')))
                    continue;
                if (e->d_type == DT_DIR)
                    removeTree(fd, n);
                else if (unlinkat(fd, n, 0) != 0 && errno == EISDIR)
                    removeTree(fd, n);
            }
            closedir(d);
        } else {
            close(fd);
        }
    }
    unlinkat(parent, name, AT_REMOVEDIR);
}

double timeWalk(const QString& root, long* dirs)
{
    toolsfind::forgetDrives();
    toolsfind tf;
    tf.volumes = [root] { return std::vector<host::Volume>{{root, QStringLiteral("ext4"), {}}}; };
    QElapsedTimer t;
    t.start();
    const QString hit = tf.ffind(QStringLiteral("javac"));
    const double ms = t.nsecsElapsed() / 1e6;
    if (!hit.isEmpty())
        std::fprintf(stderr, "unexpected hit %s\n", qPrintable(hit));
    *dirs = tf.file_count;
    return ms;
}

double timeFind(const QString& root)
{
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(QStringLiteral("find"), {root, QStringLiteral("-name"), QStringLiteral("javac")});
    p.waitForFinished(-1);
    const double ms = t.nsecsElapsed() / 1e6;
    if (p.exitCode() != 0 || !p.readAllStandardOutput().isEmpty())
        std::fprintf(stderr, "find did not run cleanly\n");
    return ms;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir base(QDir::tempPath() + QStringLiteral("/bench_walk-XXXXXX"));
    if (!base.isValid())
        return 1;
    const QString root = base.path();

    QElapsedTimer gen;
    gen.start();
    if (!generate(QFile::encodeName(root))) {
        std::fprintf(stderr, "cannot generate the tree under %s\n", qPrintable(root));
        return 1;
    }
    std::printf("tree: %d files in %d directories, generated in %.0f ms\n", TopDirs * SubDirs * FilesPerDir,
                TopDirs * SubDirs + TopDirs + 1, gen.nsecsElapsed() / 1e6);

    // One untimed pass of each warms the caches, then the best of five runs counts.
    long dirs = 0;
    timeWalk(root, &dirs);
    timeFind(root);
    double walk = 1e300, find = 1e300;
    for (int i = 0; i < 5; ++i) {
        walk = std::min(walk, timeWalk(root, &dirs));
        find = std::min(find, timeFind(root));
    }
    std::printf("walk: %.1f ms (%ld directories)\n", walk, dirs);
    std::printf("find: %.1f ms\n", find);

    QElapsedTimer rm;
    rm.start();
    removeTree(AT_FDCWD, QFile::encodeName(root).constData());
    base.remove();
    std::printf("tree removed in %.0f ms\n", rm.nsecsElapsed() / 1e6);
    std::printf("ratio: %.2f\n", walk / find);
    return 0;
}
