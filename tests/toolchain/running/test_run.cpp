// SPDX-License-Identifier: GPL-3.0-or-later
// Java Run and Applet Run: the class choice, the argument splitting, the
// commands started through stand-in programs, the applet page's bytes and
// the texts of failed starts.
#include "toolchain/running/run.h"
#include "support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A stand-in script of tests/stand-ins copied into `dir`, runnable.
QString standIn(const QTemporaryDir& dir, const QString& name)
{
    const QString to = dir.filePath(name);
    installStandIn(name, to);
    return to;
}

QStringList nulSeparated(const QByteArray& bytes)
{
    QStringList out;
    for (const QByteArray& p : bytes.split('\0'))
        out << QString::fromLocal8Bit(p);
    out.removeLast();  // after the last NUL
    return out;
}

// Sets an environment variable for the scope of a test.
struct EnvGuard {
    EnvGuard(const char* name, const QByteArray* value) : name_(name), had_(qEnvironmentVariableIsSet(name))
    {
        old_ = qgetenv(name);
        set(value);
    }
    ~EnvGuard() { set(had_ ? &old_ : nullptr); }
    void set(const QByteArray* value)
    {
        if (value)
            qputenv(name_, *value);
        else
            qunsetenv(name_);
    }
    const char* name_;
    bool had_;
    QByteArray old_;
};

}  // namespace

TEST(StartFailures, TextsAndErrnoMapping)
{
    EXPECT_EQ(libelle_erreur(0), QStringLiteral("Out of Memory"));
    EXPECT_EQ(libelle_erreur(1), QStringLiteral("? 01 ?"));
    EXPECT_EQ(libelle_erreur(2), QStringLiteral("Programe not found"));
    EXPECT_EQ(libelle_erreur(3), QStringLiteral("? 03 ?"));
    EXPECT_EQ(libelle_erreur(31), QStringLiteral("? 31 ?"));
    EXPECT_EQ(startFailureIndex(ENOENT), 2);
    EXPECT_EQ(startFailureIndex(ENOTDIR), 2);
    EXPECT_EQ(startFailureIndex(ENOMEM), 0);
    EXPECT_EQ(startFailureIndex(EACCES), 5);
    EXPECT_EQ(startFailureIndex(ENOEXEC), 11);
    EXPECT_EQ(startFailureIndex(E2BIG), 31);
}

TEST(SplitArguments, LikeAShellWithoutExpansion)
{
    bool ok = false;
    EXPECT_EQ(splitArguments(QStringLiteral("a b"), &ok), (QStringList{"a", "b"}));
    EXPECT_TRUE(ok);
    EXPECT_EQ(splitArguments(QStringLiteral("  'x  y' \"p q\"\tr\\ s  "), &ok), (QStringList{"x  y", "p q", "r s"}));
    EXPECT_TRUE(ok);
    EXPECT_EQ(splitArguments(QStringLiteral(R"("say \"hi\" \$HOME \\ \n" 'it\'s)"), &ok).first(),
              QStringLiteral(R"(say "hi" $HOME \ \n)"));
    EXPECT_EQ(splitArguments(QStringLiteral("$HOME ~ *.java `id` a\"b\"'c' '' \"\""), &ok),
              (QStringList{"$HOME", "~", "*.java", "`id`", "abc", "", ""}));
    EXPECT_TRUE(ok);
    EXPECT_TRUE(splitArguments(QString(), &ok).isEmpty());
    EXPECT_TRUE(ok);
    for (const char* bad : {"\"open", "'open", "a\\", "x \"y\\\""}) {
        splitArguments(QString::fromLatin1(bad), &ok);
        EXPECT_FALSE(ok) << bad;
    }
}

TEST(ChooseClass, ClassenameThenBaseNameThenNotFound)
{
    QTemporaryDir d;
    QString missing;
    // Absent or equal: the base name, nothing tested on disk.
    EXPECT_EQ(chooseClass("Foo", std::nullopt, d.path(), &missing), QStringLiteral("Foo"));
    EXPECT_EQ(chooseClass("Foo", QStringLiteral("Foo"), d.path(), &missing), QStringLiteral("Foo"));
    // Neither class file.
    EXPECT_EQ(chooseClass("Foo", QStringLiteral("Bar"), d.path(), &missing), std::nullopt);
    EXPECT_EQ(missing, QStringLiteral("Foo.class"));
    writeFile(d.filePath("Foo.class"), "x");
    EXPECT_EQ(chooseClass("Foo", QStringLiteral("Bar"), d.path(), &missing), QStringLiteral("Foo"));
    writeFile(d.filePath("Bar.class"), "x");
    EXPECT_EQ(chooseClass("Foo", QStringLiteral("Bar"), d.path(), &missing), QStringLiteral("Bar"));
    // Case-sensitive comparison with the base name.
    EXPECT_EQ(chooseClass("Foo", QStringLiteral("foo"), d.path(), &missing), QStringLiteral("Foo"));
}

TEST(JavaRunCommand, TerminalOrComspecForms)
{
    const QByteArray comspec = "/opt/cmd";
    {
        EnvGuard g("COMSPEC", &comspec);
        StartCommand c = javaRunCommand("/opt/cmd", "/usr/bin/java", "Hello", QStringLiteral("a 'b c'"), "/src");
        EXPECT_EQ(c.program, QStringLiteral("/opt/cmd"));
        EXPECT_EQ(c.args, (QStringList{"/k", "/usr/bin/java", "Hello", "a", "b c"}));
        EXPECT_EQ(c.display, QStringLiteral("/opt/cmd /k /usr/bin/java Hello a 'b c'"));
        EXPECT_EQ(c.workDir, QStringLiteral("/src"));
    }
    EnvGuard g("COMSPEC", nullptr);
    bool ok = false;
    StartCommand c = javaRunCommand("/usr/bin/xterm", "/usr/bin/java", "Hello", std::nullopt, "/src", &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(c.args,
              (QStringList{"-e", "/bin/sh", "-c", terminalScript(), "brewpad-run", "/usr/bin/java", "Hello"}));
    EXPECT_EQ(c.display, QStringLiteral("/usr/bin/xterm -e /usr/bin/java Hello"));
    javaRunCommand("/usr/bin/xterm", "/usr/bin/java", "Hello", QStringLiteral("\"unclosed"), "/src", &ok);
    EXPECT_FALSE(ok);
}

TEST(JavaRun, ThroughStandInTerminalWithShellSplitArguments)
{
    QTemporaryDir d;
    const QString dir = d.filePath("run dir");
    ASSERT_TRUE(QDir().mkpath(dir));
    writeFile(dir + "/Echo.java",
              "public class Echo { public static void main(String[] a) {\n"
              "  System.out.println(\"cwd=\" + System.getProperty(\"user.dir\"));\n"
              "  for (String s : a) System.out.println(\"[\" + s + \"]\");\n"
              "  System.exit(3); } }\n");
    const QString javacPath = javacOrSkip();
    if (javacPath.isEmpty())
        return;
    QProcess javac;
    javac.setWorkingDirectory(dir);
    javac.start(javacPath, {"Echo.java"});
    ASSERT_TRUE(javac.waitForFinished(60000));
    ASSERT_EQ(javac.exitCode(), 0) << javac.readAllStandardError().constData();

    const QString terminal = standIn(d, "terminal.sh");
    const QByteArray log = QFile::encodeName(d.filePath("log"));
    const QByteArray shell = "/bin/true";  // the shell the terminal stays in, here ending at once
    EnvGuard g1("BREWPAD_STANDIN_LOG", &log), g2("SHELL", &shell), g3("COMSPEC", nullptr);

    bool ok = false;
    StartCommand c = javaRunCommand(terminal, "/usr/bin/java", "Echo",
                                    QStringLiteral("one 'two words' \"say \\\"hi\\\"\" $HOME"), dir, &ok);
    ASSERT_TRUE(ok);
    int index = -1;
    ASSERT_TRUE(startDetached(c, &index)) << index;
    ASSERT_TRUE(waitForFile(d.filePath("log.done")));

    const QStringList argv = nulSeparated(readFile(d.filePath("log.argv")));
    EXPECT_EQ(argv.mid(0, 3), (QStringList{"-e", "/bin/sh", "-c"}));
    EXPECT_EQ(argv.mid(4),
              (QStringList{"brewpad-run", "/usr/bin/java", "Echo", "one", "two words", "say \"hi\"", "$HOME"}));
    EXPECT_EQ(readFile(d.filePath("log.cwd")).trimmed(), QFile::encodeName(dir));
    const QByteArray out = readFile(d.filePath("log.out"));
    EXPECT_TRUE(out.startsWith("cwd=" + QFile::encodeName(dir) + "\n[one]\n[two words]\n[say \"hi\"]\n[$HOME]\n"))
        << out.constData();
    EXPECT_TRUE(out.contains("[Program ended with exit code 3]")) << out.constData();
}

TEST(StartDetached, FailedStartsGiveTheirIndex)
{
    QTemporaryDir d;
    int index = -1;
    EXPECT_FALSE(startDetached(appletCommand(d.filePath("jdk/appletviewer"), d.path()), &index));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(libelle_erreur(index), QStringLiteral("Programe not found"));

    index = -1;
    EXPECT_FALSE(startDetached(javaRunCommand(QString(), "/usr/bin/java", "A", std::nullopt, d.path()), &index));
    EXPECT_EQ(index, 2);  // no terminal

    writeFile(d.filePath("plain"), "#!/bin/sh\n");
    EXPECT_FALSE(startDetached({d.filePath("plain"), {}, d.path(), {}}, &index));
    EXPECT_EQ(index, 5);

    writeExecutable(d.filePath("garbage"), "\x01\x02\x03 not a program");
    EXPECT_FALSE(startDetached({d.filePath("garbage"), {}, d.path(), {}}, &index));
    EXPECT_EQ(index, 11);

    EXPECT_FALSE(startDetached({"/bin/true", {}, d.filePath("no such dir"), {}}, &index));
    EXPECT_EQ(index, 2);
}

TEST(AppletRun, PageBytesAndViewerThroughStandIn)
{
    const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9));
    const QByteArray expected =
        "<html><head><title>\r\n"
        "\t  Clock.java\r\n"
        "\t  </title></head>\r\n"
        "\t  <h1 align=left>Clock.java</h1>\r\n"
        "\t  <i><h5 align=right>G\xE9n\xE9r\xE9 le 5 Mar 2024 a 14:07:09 avec Brewpad</h5></i>\r\n"
        "\t  <hr><p><applet alt=\"Clock.java\" code=\"Clock.class\" width=400 height=300>\r\n"
        "\t  </applet></p></body></html>";
    EXPECT_EQ(appletPage("Clock", when, QLocale::c()), expected);

    // A 12-hour locale is forced to 24 hours.
    const QByteArray us = appletPage("Clock", when, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(us.contains(" le 3/5/24 a 14:07:09 avec ")) << us.constData();
    // A class name outside Windows-1252 is kept as character references.
    EXPECT_TRUE(
        appletPage(QString::fromUtf8("Ώρα"), when, QLocale::c()).contains("code=\"&#911;&#961;&#945;.class\""));

    QTemporaryDir d;
    QString error;
    ASSERT_TRUE(writeAppletPage(d.path(), expected, &error)) << qPrintable(error);
    EXPECT_EQ(readFile(d.filePath("brewpad.html")), expected);
    EXPECT_FALSE(writeAppletPage(d.filePath("missing"), expected, &error));

    const QString viewer = standIn(d, "appletviewer.sh");
    const QByteArray log = QFile::encodeName(d.filePath("log"));
    EnvGuard g("BREWPAD_STANDIN_LOG", &log);
    int index = -1;
    ASSERT_TRUE(startDetached(appletCommand(viewer, d.path()), &index)) << index;
    ASSERT_TRUE(waitForFile(d.filePath("log.done")));
    EXPECT_EQ(nulSeparated(readFile(d.filePath("log.argv"))), QStringList{"brewpad.html"});
    EXPECT_EQ(readFile(d.filePath("log.cwd")).trimmed(), QFile::encodeName(d.path()));
    EXPECT_EQ(readFile(d.filePath("log.page")), expected);
}
