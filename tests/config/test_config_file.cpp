// SPDX-License-Identifier: GPL-3.0-or-later
// brewpad.cfg and the start-up sequence that reads it or searches the tools.
#include "config/cfgfile.h"
#include "support.h"
#include "config/search.h"
#include "config/toolpaths.h"
#include "scripted_dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <fcntl.h>
#include <future>
#include <map>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

const QString Corrupted = QStringLiteral(" Brewpad.cfg corrupted , recreating...");
const QString NoCompiler = QStringLiteral("sorry javac.exe not found : unable to compile java files");
const QString NoHelp = QStringLiteral("sorry java help file not found");

QString question(const QString& path)
{
    return QStringLiteral("Needed File found :%1 : Keep it ?").arg(path);
}

// Made with mode 0644 whatever the umask: a brewpad.cfg that others may write is refused.
void makeFile(const QString& path, const QByteArray& bytes = QByteArray())
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                     QFileDevice::ReadOther);
}

struct stat statOf(const QString& path)
{
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

// A user id that is not this process's.
constexpr uid_t OtherUser = 54321;

QByteArray le(qint32 n)
{
    const quint32 u = static_cast<quint32>(n);
    const char b[4] = {char(u & 0xff), char((u >> 8) & 0xff), char((u >> 16) & 0xff), char(u >> 24)};
    return QByteArray(b, 4);
}

QByteArray record(const QString& s)
{
    const QByteArray b = QFile::encodeName(s);
    return le(qint32(b.size())) + b;
}

// Sets the variables Brewpad reads for one test and puts everything back afterwards.
class Environment {
public:
    Environment()
    {
        for (const char* v : {"HOME", "XDG_CONFIG_HOME", "TEMP", "TMP", "TMPDIR", "COMSPEC"}) {
            saved[v] = qEnvironmentVariableIsSet(v) ? std::optional<QByteArray>(qgetenv(v)) : std::nullopt;
            qunsetenv(v);
        }
        cwd = QDir::currentPath();
    }
    ~Environment()
    {
        for (const auto& [k, v] : saved) {
            if (v)
                qputenv(k.c_str(), *v);
            else
                qunsetenv(k.c_str());
        }
        QDir::setCurrent(cwd);
    }
    void set(const char* var, const QString& value) { qputenv(var, QFile::encodeName(value)); }

private:
    std::map<std::string, std::optional<QByteArray>> saved;
    QString cwd;
};

// A temporary world: configuration home, TEMP, and a tree holding the tools.
class SetFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(base.isValid());
        env.set("HOME", at("userhome"));
        env.set("XDG_CONFIG_HOME", at("home"));
        env.set("TEMP", at("tmp"));
        env.set("TMPDIR", at("tmpdir"));  // never the machine's own /tmp
        QDir().mkpath(at("tmp"));
        QDir().mkpath(at("tmpdir"));
        QDir().mkpath(at("cwd"));
        QDir::setCurrent(at("cwd"));
        makeFile(javac());
        ASSERT_TRUE(QFile::setPermissions(javac(), QFile::permissions(javac()) | QFileDevice::ExeOwner |
                                                       QFileDevice::ExeGroup | QFileDevice::ExeOther));
        makeFile(help());
        toolsfind::forgetDrives();
        dialogs.answerFor = [](const AskedMessage& m) -> std::optional<Answer> {
            if (m.text.startsWith(QStringLiteral("Needed File found :")))
                return Answer::Yes;
            return std::nullopt;
        };
    }
    void TearDown() override { toolsfind::forgetDrives(); }

    QString at(const QString& rel) const { return base.path() + QLatin1Char('/') + rel; }
    QString tree() const { return at("tree"); }
    QString bin() const { return at("tree/jdk/bin"); }
    QString javac() const { return bin() + QStringLiteral("/javac"); }
    QString help() const { return at("tree/docs/api/element-list"); }
    QString cfg() const { return at("home/brewpad/brewpad.cfg"); }

    // Runs the start-up sequence with the tree as the only volume.
    void start()
    {
        toolsfind tf;
        tf.volumes = [this] {
            ++volumeQueries;
            return std::vector<host::Volume>{host::Volume{tree(), QStringLiteral("ext4"), {}}};
        };
        tf.setfiles();
    }

    QTemporaryDir base;
    Environment env;
    ScriptedDialogs dialogs;
    int volumeQueries = 0;
};

}  // namespace

TEST(ConfigRecords, LengthsAreLittleEndianOnEveryHost)
{
    const char twelve[4] = {0x0c, 0, 0, 0};
    const char big[4] = {0x00, 0x01, 0x00, 0x00};
    const char max[4] = {char(0xff), char(0xff), char(0xff), 0x7f};
    const char minus1[4] = {char(0xff), char(0xff), char(0xff), char(0xff)};
    EXPECT_EQ(cfgfile::decodeLength(twelve), 12);
    EXPECT_EQ(cfgfile::decodeLength(big), 256);
    EXPECT_EQ(cfgfile::decodeLength(max), 2147483647);
    EXPECT_EQ(cfgfile::decodeLength(minus1), -1);
    EXPECT_EQ(cfgfile::encodeLength(0x01020304), QByteArray("\x04\x03\x02\x01", 4));
    // A directory of 10 characters takes exactly 4 + 10 bytes, no terminator.
    EXPECT_EQ(cfgfile::encodeRecord(QStringLiteral("C:/JDK/BIN")), QByteArray("\x0a\0\0\0C:/JDK/BIN", 14));
}

TEST(ConfigRecords, ReadsValidRecordsAndRejectsBadLengths)
{
    // Two records made by hand, as another host would write them.
    QByteArray data = QByteArray("\x0c\0\0\0/usr/jdk/bin", 16) + QByteArray("\x03\0\0\0abc", 7);
    qsizetype pos = 0;
    EXPECT_EQ(cfgfile::readRecord(data, pos), QStringLiteral("/usr/jdk/bin"));
    EXPECT_EQ(pos, 16);
    EXPECT_EQ(cfgfile::readRecord(data, pos), QStringLiteral("abc"));
    EXPECT_FALSE(cfgfile::readRecord(data, pos)) << "nothing after the last record";

    auto one = [](const QByteArray& d) {
        qsizetype p = 0;
        return cfgfile::readRecord(d, p);
    };
    EXPECT_EQ(one(le(0)), QString());
    EXPECT_EQ(one(le(4095) + QByteArray(4095, 'x'))->size(), 4095);
    EXPECT_FALSE(one(le(4096) + QByteArray(4096, 'x'))) << "oversized";
    EXPECT_FALSE(one(le(-1) + QByteArray(8, 'x'))) << "negative";
    EXPECT_FALSE(one(le(12) + QByteArray("/usr/jdk", 8))) << "runs past the end";
    EXPECT_FALSE(one(QByteArray("\x0c\0", 2))) << "incomplete length";
}

TEST(ConfigLocation, CandidatesInOrderConfigTempTmpCurrent)
{
    Environment env;
    QTemporaryDir base;
    const QString p = base.path();
    for (const char* d : {"home", "temp", "tmp", "cwd"})
        QDir().mkpath(p + QLatin1Char('/') + QLatin1String(d));
    env.set("XDG_CONFIG_HOME", p + "/home");
    env.set("TEMP", p + "/temp");
    env.set("TMP", p + "/tmp");
    QDir::setCurrent(p + "/cwd");
    const QString cwdPath = QDir::currentPath();

    EXPECT_EQ(cfgfile::candidates(), QStringList({p + "/home/brewpad/brewpad.cfg", p + "/temp/brewpad.cfg",
                                                  p + "/tmp/brewpad.cfg", cwdPath + "/brewpad.cfg"}));

    QString found;
    EXPECT_FALSE(toolsfind::getfile(found));
    EXPECT_TRUE(found.isEmpty());
    // Each file added in a higher place takes precedence.
    makeFile(cwdPath + "/brewpad.cfg");
    ASSERT_TRUE(toolsfind::getfile(found));
    EXPECT_EQ(found, cwdPath + "/brewpad.cfg");
    makeFile(p + "/tmp/brewpad.cfg");
    toolsfind::getfile(found);
    EXPECT_EQ(found, p + "/tmp/brewpad.cfg");
    QDir().mkpath(p + "/temp/brewpad.cfg");  // a directory of that name counts as existing
    toolsfind::getfile(found);
    EXPECT_EQ(found, p + "/temp/brewpad.cfg");
    makeFile(p + "/home/brewpad/brewpad.cfg");
    toolsfind::getfile(found);
    EXPECT_EQ(found, p + "/home/brewpad/brewpad.cfg");

    // Unset (or empty) variables are left out.
    qunsetenv("TEMP");
    env.set("TMP", QString());
    EXPECT_EQ(cfgfile::candidates(), QStringList({p + "/home/brewpad/brewpad.cfg", cwdPath + "/brewpad.cfg"}));
    // A new file goes to the configuration directory.
    QString home = QStringLiteral("untouched");
    EXPECT_EQ(cfgfile::newLocation(&home), p + "/home/brewpad/brewpad.cfg");
    EXPECT_EQ(home, QStringLiteral("untouched"));
}

TEST(ConfigVerify, ExactEntryNamesAndExistingFiles)
{
    QTemporaryDir dir;
    makeFile(dir.path() + "/upper/JAVAC");
    makeFile(dir.path() + "/lower/javac");
    EXPECT_FALSE(toolsfind::verify(dir.path() + "/upper", QStringLiteral("javac")));
    EXPECT_TRUE(toolsfind::verify(dir.path() + "/lower", QStringLiteral("javac")));
    EXPECT_FALSE(toolsfind::verify(dir.path() + "/missing", QStringLiteral("javac")));
    EXPECT_FALSE(toolsfind::verify(QString(), QStringLiteral("javac")));
    EXPECT_TRUE(toolsfind::verify(dir.path() + "/lower/javac"));
    EXPECT_FALSE(toolsfind::verify(dir.path() + "/lower")) << "a directory is not the help file";
    EXPECT_FALSE(toolsfind::verify(dir.path() + "/lower/nothing"));
    if (const QString javac = findJavac(); !javac.isEmpty()) {
        const QString bin = QFileInfo(javac).absolutePath();
        EXPECT_TRUE(toolsfind::verify(bin, QStringLiteral("javac")));
        EXPECT_FALSE(toolsfind::verify(bin, QStringLiteral("JAVAC")));
    }
}

TEST(ConfigClean, RemovesOnlyErrFilesOfThatDirectory)
{
    QTemporaryDir dir;
    const QString p = dir.path();
    for (const char* f : {"/A.err", "/b.err", "/keep.txt", "/sub/c.err", "/a.err.txt"})
        makeFile(p + QLatin1String(f));
    toolsfind::clean(p);
    EXPECT_FALSE(QFile::exists(p + "/A.err"));
    EXPECT_FALSE(QFile::exists(p + "/b.err"));
    EXPECT_TRUE(QFile::exists(p + "/keep.txt"));
    EXPECT_TRUE(QFile::exists(p + "/sub/c.err"));
    EXPECT_TRUE(QFile::exists(p + "/a.err.txt"));
}

TEST_F(SetFiles, FirstStartSearchesWritesAndNextStartDoesNot)
{
    env.set("COMSPEC", QStringLiteral("/usr/bin/myterm"));
    const QString capture = at("tmp/brewpad-") + QString::number(getuid());
    ASSERT_EQ(mkdir(QFile::encodeName(capture).constData(), 0700), 0);
    makeFile(capture + "/Old.err");
    makeFile(capture + "/Other.txt");
    start();
    EXPECT_EQ(dialogs.texts(), QStringList({question(javac()), question(help())}));
    EXPECT_EQ(volumeQueries, 1) << "the second search reuses the volume list";
    EXPECT_EQ(javabin, bin());
    EXPECT_EQ(javahlp, help());
    EXPECT_EQ(doscmd, QStringLiteral("/usr/bin/myterm"));
    EXPECT_EQ(temp, at("tmp/brewpad-") + QString::number(getuid()));
    EXPECT_FALSE(QFile::exists(capture + "/Old.err"));
    EXPECT_TRUE(QFile::exists(capture + "/Other.txt"));
    EXPECT_EQ(readFile(cfg()), record(bin()) + record(help()));

    dialogs.messages.clear();
    toolsfind::forgetDrives();
    volumeQueries = 0;
    javabin.clear();
    start();
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(volumeQueries, 0);
    EXPECT_EQ(javabin, bin());
    EXPECT_EQ(javahlp, help());
}

TEST_F(SetFiles, FileFoundInTempOrTmpOrCurrentDirectoryIsUsed)
{
    const QByteArray valid = record(bin()) + record(help());
    // TEMP holds a valid file, the configuration directory none.
    makeFile(at("tmp/brewpad.cfg"), valid);
    start();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(javabin, bin());

    // TEMP unset, TMP set.
    qunsetenv("TEMP");
    QDir().mkpath(at("tmp2"));
    env.set("TMP", at("tmp2"));
    makeFile(at("tmp2/brewpad.cfg"), record(bin()) + record(javac()));
    start();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(javahlp, javac());

    // Neither: the current directory.
    qunsetenv("TMP");
    makeFile(at("cwd/brewpad.cfg"), valid);
    start();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(javahlp, help());
    EXPECT_EQ(volumeQueries, 0);
    EXPECT_FALSE(QFile::exists(cfg()));
}

TEST_F(SetFiles, EmptyFileIsRebuiltSilently)
{
    makeFile(cfg());
    start();
    EXPECT_EQ(dialogs.texts(), QStringList({question(javac()), question(help())}));
    EXPECT_EQ(readFile(cfg()), record(bin()) + record(help()));
}

TEST_F(SetFiles, UpperCaseCompilerEntryFailsVerification)
{
    makeFile(at("other/JAVAC"));
    makeFile(cfg(), record(at("other")) + record(help()));
    start();
    EXPECT_EQ(dialogs.texts(), QStringList({Corrupted, question(javac()), question(help())}));
    EXPECT_EQ(javabin, bin());
}

TEST_F(SetFiles, MissingHelpFileIsCorruption)
{
    makeFile(cfg(), record(bin()) + record(at("gone/element-list")));
    start();
    EXPECT_EQ(dialogs.texts(), QStringList({Corrupted, question(javac()), question(help())}));
    // A file ending after record 1 is corrupted the same way.
    dialogs.messages.clear();
    makeFile(cfg(), record(bin()));
    start();
    EXPECT_EQ(dialogs.texts(), QStringList({Corrupted, question(javac()), question(help())}));
}

TEST_F(SetFiles, FileWithoutRecordOneIsReportedAtTheNextStart)
{
    QFile::remove(javac());
    start();
    EXPECT_EQ(dialogs.texts(), QStringList({NoCompiler, question(help())}));
    EXPECT_TRUE(javabin.isEmpty());
    EXPECT_EQ(readFile(cfg()), record(help()));

    dialogs.messages.clear();
    toolsfind::forgetDrives();
    start();
    EXPECT_EQ(dialogs.texts(), QStringList({Corrupted, NoCompiler, question(help())}));

    // Nothing accepted at all: an empty file, rebuilt without a word next time.
    dialogs.messages.clear();
    dialogs.answerFor = nullptr;  // every question declined
    start();
    EXPECT_EQ(dialogs.texts(), QStringList({Corrupted, NoCompiler, question(help()), NoHelp}));
    EXPECT_TRUE(javahlp.isEmpty());
    EXPECT_EQ(readFile(cfg()), QByteArray());
    dialogs.messages.clear();
    start();
    EXPECT_EQ(dialogs.texts(), QStringList({NoCompiler, question(help()), NoHelp}));
}

TEST_F(SetFiles, BadLengthsAreCorruption)
{
    const QList<QByteArray> bad = {
        QByteArray("\x05\0", 2),                               // incomplete length
        le(200) + QFile::encodeName(bin()),                    // truncated text
        le(-4) + QFile::encodeName(bin()) + record(help()),    // negative
        le(4096) + QByteArray(4096, 'a') + record(help()),     // oversized
        record(bin()) + le(1000) + QFile::encodeName(help()),  // truncated second record
        record(bin()) + le(-1),                                // negative second record
    };
    for (const QByteArray& b : bad) {
        dialogs.messages.clear();
        makeFile(cfg(), b);
        start();
        EXPECT_EQ(dialogs.texts(), QStringList({Corrupted, question(javac()), question(help())}))
            << b.toHex().left(40).toStdString();
        EXPECT_EQ(readFile(cfg()), record(bin()) + record(help()));
    }
    // A long path, beyond the old 100-character limit, is kept whole.
    const QString deep = at("tree/") + QString(150, 'd') + QStringLiteral("/bin");
    makeFile(deep + "/javac");
    makeFile(cfg(), record(deep) + record(help()));
    dialogs.messages.clear();
    start();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(javabin, deep);
}

// Random bytes of any length, also around good records, are reported and rebuilt.
TEST_F(SetFiles, RandomBytesAreReportedAndTheFileRebuilt)
{
    const QByteArray good = record(bin()) + record(help());
    const QList<QByteArray> scrambled = {
        randomBytes(1, 1),
        randomBytes(2, 3),
        randomBytes(3, 100),
        randomBytes(4, 65536),
        randomBytes(5, 1 << 20),
        le(12) + randomBytes(6, 500),        // a plausible length, then noise
        record(bin()) + randomBytes(8, 64),  // a good first record, then noise
        randomBytes(9, 64) + good,           // noise before good records
    };
    for (const QByteArray& bytes : scrambled) {
        SCOPED_TRACE(bytes.left(16).toHex().toStdString());
        makeFile(cfg(), bytes);
        dialogs.messages.clear();
        toolsfind::forgetDrives();
        start();
        EXPECT_EQ(dialogs.texts(), QStringList({Corrupted, question(javac()), question(help())}));
        EXPECT_EQ(javabin, bin());
        EXPECT_EQ(javahlp, help());
        EXPECT_EQ(readFile(cfg()), good);
    }
    // The rebuilt file is taken without a word at the next start.
    dialogs.messages.clear();
    start();
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SetFiles, UnwritableLocationStillFillsThePaths)
{
    makeFile(at("blocker"));
    env.set("XDG_CONFIG_HOME", at("blocker"));  // the configuration directory cannot be made
    start();
    EXPECT_EQ(dialogs.texts(), QStringList({question(javac()), question(help())}));
    EXPECT_EQ(javabin, bin());
    EXPECT_EQ(javahlp, help());
}

TEST_F(SetFiles, RefusedCaptureDirectoryFallsBackToAPrivateOneRemovedAtTheEnd)
{
    // Someone planted a link where the capture directory belongs.
    const QString planted = at("tmp/brewpad-") + QString::number(getuid());
    QDir().mkpath(at("victim"));
    makeFile(at("victim/keep.err"));
    ASSERT_TRUE(QFile::link(at("victim"), planted));
    makeFile(cfg(), record(bin()) + record(help()));
    QString runDir;
    {
        toolsfind tf;  // held by the workspace for the whole run
        tf.setfiles();
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_TRUE(dialogs.messages[0].text.contains(planted));
        EXPECT_TRUE(dialogs.messages[0].text.contains(temp));
        EXPECT_TRUE(QFile::exists(at("victim/keep.err")));
        ASSERT_FALSE(temp.isEmpty());
        EXPECT_NE(temp, planted);
        struct stat st;
        ASSERT_EQ(lstat(QFile::encodeName(temp).constData(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        runDir = temp;
        // What the run leaves there: capture files, and a link that must not
        // be followed when the directory goes.
        makeFile(runDir + "/Hello.err", "Hello.java:1: error");
        ASSERT_TRUE(QFile::link(at("victim"), runDir + "/link"));
    }
    // The run is over: its directory is gone, and only it.
    EXPECT_FALSE(QFileInfo::exists(runDir));
    EXPECT_TRUE(temp.isEmpty());
    EXPECT_TRUE(QFile::exists(at("victim/keep.err")));
    EXPECT_TRUE(QFileInfo(planted).isSymLink());
    QStringList left = QDir(at("tmp")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    left.sort();
    EXPECT_EQ(left, QStringList({"brewpad-" + QString::number(getuid())}));
}

// Without HOME (a service, a cron job, a clean environment) the file goes to
// the next place of the search order: TEMP, then TMP, then the current
// directory; never to "/.config".
TEST_F(SetFiles, WithoutHomeTheFileGoesToTempThenTmpThenTheCurrentDirectory)
{
    qunsetenv("HOME");
    qunsetenv("XDG_CONFIG_HOME");
    const bool rootConfigBefore = QFileInfo::exists("/.config/brewpad");
    EXPECT_EQ(host::configDir(), QString());
    EXPECT_EQ(cfgfile::candidates(), QStringList({at("tmp/brewpad.cfg"), QDir::currentPath() + "/brewpad.cfg"}));
    start();
    EXPECT_EQ(dialogs.texts(), QStringList({question(javac()), question(help())}));
    EXPECT_EQ(readFile(at("tmp/brewpad.cfg")), record(bin()) + record(help()));
    EXPECT_EQ(QFileInfo::exists("/.config/brewpad"), rootConfigBefore);
    // The next start reads it: no search.
    dialogs.messages.clear();
    start();
    EXPECT_TRUE(dialogs.messages.empty());

    qunsetenv("TEMP");
    QDir().mkpath(at("tmp2"));
    env.set("TMP", at("tmp2"));
    dialogs.messages.clear();
    start();
    EXPECT_EQ(readFile(at("tmp2/brewpad.cfg")), record(bin()) + record(help()));

    qunsetenv("TMP");
    homedir.clear();
    start();
    EXPECT_EQ(readFile(QDir::currentPath() + "/brewpad.cfg"), record(bin()) + record(help()));
    EXPECT_EQ(homedir, QDir::currentPath());

    // A relative HOME is no home either; XDG_CONFIG_HOME alone is enough.
    env.set("HOME", QStringLiteral("relative/home"));
    EXPECT_EQ(host::configDir(), QString());
    env.set("XDG_CONFIG_HOME", at("xdg"));
    EXPECT_EQ(host::configDir(), at("xdg/brewpad"));
}

// A FIFO, a device or a directory named brewpad.cfg: the start neither waits on
// it nor replaces it; the search fills the paths for this run.
TEST_F(SetFiles, SpecialFileNamedBrewpadCfgNeitherBlocksNorIsReplaced)
{
    QDir().mkpath(at("home/brewpad"));
    struct Case {
        const char* what;
        mode_t type;
    };
    std::vector<Case> cases = {{"FIFO", S_IFIFO}, {"directory", S_IFDIR}, {"device", S_IFCHR}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(cfg()).removeRecursively();
        QFile::remove(cfg());
        const QByteArray native = QFile::encodeName(cfg());
        if (c.type == S_IFIFO)
            ASSERT_EQ(mkfifo(native.constData(), 0600), 0);
        else if (c.type == S_IFDIR)
            ASSERT_TRUE(QDir().mkpath(cfg()));
        else if (mknod(native.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
            continue;  // device nodes cannot be made here
        dialogs.messages.clear();
        toolsfind::forgetDrives();
        auto started = std::async(std::launch::async, [this] { start(); });
        // Only a safety net, so that a start blocked on the FIFO fails here
        // instead of hanging the suite: a reader that opens and closes lets a
        // blocked writer go on (as often as it blocks again).
        if (started.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
            ADD_FAILURE() << "the start blocked on the " << c.what;
            for (int i = 0; i < 100 && started.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready;
                 ++i) {
                const int r = ::open(native.constData(), O_RDONLY | O_NONBLOCK);
                if (r >= 0)
                    ::close(r);
            }
        }
        started.get();
        EXPECT_EQ(dialogs.texts(), QStringList({question(javac()), question(help())}));
        EXPECT_EQ(javabin, bin());
        EXPECT_EQ(javahlp, help());
        EXPECT_EQ(statOf(cfg()).st_mode & S_IFMT, c.type) << "replaced";
    }
    QDir(cfg()).removeRecursively();
    QFile::remove(cfg());
}

// A brewpad.cfg that is not the user's own, or that others may write, does
// not choose the compiler: it is passed over as if it did not exist, never
// written over, and the report at start names it.
TEST_F(SetFiles, PlantedConfigurationIsSkippedNamedAndLeftAlone)
{
    makeFile(at("planted/bin/javac"));
    makeFile(at("planted/element-list"));
    const QByteArray planted = record(at("planted/bin")) + record(at("planted/element-list"));
    const QString tempCfg = at("tmp/brewpad.cfg");
    const QString reasonOwner = QStringLiteral("owned by another user");
    const QString reasonMode = QStringLiteral("group or others may write to it");

    struct Case {
        const char* what;
        std::function<bool()> plant;  // false: cannot be made by this user
        QString reason;
    };
    const std::vector<Case> cases = {
        {"writable by others", [&] { return chmod(QFile::encodeName(cfg()).constData(), 0646) == 0; }, reasonMode},
        {"writable by the group", [&] { return chmod(QFile::encodeName(cfg()).constData(), 0664) == 0; }, reasonMode},
        {"owned by another user",
         [&] { return chown(QFile::encodeName(cfg()).constData(), OtherUser, getgid()) == 0; }, reasonOwner},
        {"a link to another user's file",
         [&] {
             makeFile(at("elsewhere/brewpad.cfg"), planted);
             QFile::remove(cfg());
             return QFile::link(at("elsewhere/brewpad.cfg"), cfg()) &&
                    chown(QFile::encodeName(at("elsewhere/brewpad.cfg")).constData(), OtherUser, getgid()) == 0;
         },
         reasonOwner},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(cfg());
        QFile::remove(tempCfg);
        makeFile(cfg(), planted);
        if (!c.plant()) {
            // Only the superuser can give a file to another user.
            EXPECT_NE(geteuid(), 0u) << "cannot plant a file " << c.what;
            continue;
        }
        const struct stat before = statOf(cfg());
        dialogs.messages.clear();
        toolsfind::forgetDrives();
        toolsfind tf;
        tf.volumes = [this] { return std::vector<host::Volume>{host::Volume{tree(), QStringLiteral("ext4"), {}}}; };
        tf.setfiles();
        // The planted paths are not taken: the search runs and its result is
        // kept in the next place, TEMP.
        EXPECT_EQ(dialogs.texts(), QStringList({question(javac()), question(help())}));
        EXPECT_EQ(javabin, bin());
        ASSERT_EQ(tf.skippedConfigs.size(), 1u);
        EXPECT_EQ(tf.skippedConfigs[0].path, cfg());
        EXPECT_EQ(tf.skippedConfigs[0].reason, c.reason);
        EXPECT_EQ(readFile(tempCfg), record(bin()) + record(help()));
        // Left as it was.
        EXPECT_EQ(readFile(cfg()), planted);
        const struct stat after = statOf(cfg());
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(after.st_mode, before.st_mode);

        // The next start takes the file in TEMP, without a search, and still
        // names the planted one.
        dialogs.messages.clear();
        javabin.clear();
        toolsfind next;
        next.setfiles();
        EXPECT_TRUE(dialogs.messages.empty()) << dialogs.texts().join('|').toStdString();
        EXPECT_EQ(javabin, bin());
        ASSERT_EQ(next.skippedConfigs.size(), 1u);
        EXPECT_EQ(next.skippedConfigs[0].path, cfg());
    }

    // The report names each file passed over, and why.
    const QString report = envReport(QStringLiteral("/jdk/bin"), QStringLiteral("/api/element-list"),
                                     {{QStringLiteral("/tmp/brewpad.cfg"), reasonOwner}});
    EXPECT_TRUE(report.startsWith(QStringLiteral("ENV:\nJAVA BIN :\t/jdk/bin\nJAVA HELP:\t/api/element-list\n\n")));
    EXPECT_TRUE(report.contains(QStringLiteral("\n/tmp/brewpad.cfg (owned by another user)\n")));
    EXPECT_EQ(envReport(QStringLiteral("/b"), QStringLiteral("/h"), {}),
              QStringLiteral("ENV:\nJAVA BIN :\t/b\nJAVA HELP:\t/h"));
}

// Brewpad never writes a file that it would refuse itself: whatever the umask
// or the old file's mode, group and others get no write permission.
TEST_F(SetFiles, WrittenConfigurationIsNotWritableByOthers)
{
    makeFile(cfg());  // empty: rebuilt
    chmod(QFile::encodeName(cfg()).constData(), 0600);
    const mode_t old = umask(0);
    start();
    umask(old);
    EXPECT_EQ(readFile(cfg()), record(bin()) + record(help()));
    EXPECT_EQ(statOf(cfg()).st_mode & 077, 0u);

    QFile::remove(cfg());
    const mode_t old2 = umask(002);
    start();
    umask(old2);
    EXPECT_EQ(readFile(cfg()), record(bin()) + record(help()));
    EXPECT_EQ(statOf(cfg()).st_mode & 022, 0u);
}

// Only a program is offered as the compiler: a text file named javac (such as
// /var/lib/dpkg/alternatives/javac) is passed over without a word. The help
// file is no program and is offered as before.
TEST_F(SetFiles, OnlyAnExecutableJavacIsOfferedAsTheCompiler)
{
    makeFile(at("tree/alternatives/javac"), "auto\n/usr/bin/javac\n");
    makeFile(at("tree/alternatives/x/element-list"));
    dialogs.answerFor = nullptr;  // every question declined
    start();
    QStringList asked = dialogs.texts();
    EXPECT_FALSE(asked.contains(question(at("tree/alternatives/javac"))));
    EXPECT_TRUE(asked.contains(question(javac())));
    EXPECT_TRUE(asked.contains(question(at("tree/alternatives/x/element-list"))));
    EXPECT_TRUE(asked.contains(question(help())));
    EXPECT_TRUE(asked.contains(NoCompiler));
}

// The search offers as the compiler only what the next start accepts: a
// program named JAVAC (or Javac) would fail the exact check of brewpad.cfg at
// every later start. The help file's name still matches in any case.
TEST_F(SetFiles, CompilerOfferedOnlyUnderItsExactName)
{
    for (const char* name : {"tree/upper/bin/JAVAC", "tree/mixed/bin/Javac"}) {
        makeFile(at(name));
        ASSERT_EQ(chmod(QFile::encodeName(at(name)).constData(), 0755), 0);
    }
    makeFile(at("tree/upper/docs/ELEMENT-LIST"));
    dialogs.answerFor = nullptr;  // every question declined
    start();
    const QStringList asked = dialogs.texts();
    EXPECT_FALSE(asked.contains(question(at("tree/upper/bin/JAVAC"))));
    EXPECT_FALSE(asked.contains(question(at("tree/mixed/bin/Javac"))));
    EXPECT_TRUE(asked.contains(question(javac())));
    EXPECT_TRUE(asked.contains(question(at("tree/upper/docs/ELEMENT-LIST"))));

    // Accepting what is offered gives a configuration that the next start takes.
    dialogs.answerFor = [](const AskedMessage& m) -> std::optional<Answer> {
        return m.text.startsWith(QStringLiteral("Needed File found :")) ? std::optional(Answer::Yes) : std::nullopt;
    };
    QFile::remove(cfg());
    dialogs.messages.clear();
    start();
    dialogs.messages.clear();
    start();
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(javabin, bin());
}

// A relative TEMP, TMP or TMPDIR is made absolute at start, so that the
// capture files stay in that folder when compiling changes the current directory.
TEST_F(SetFiles, RelativeTempVariablesAreMadeAbsoluteAtStart)
{
    env.set("TEMP", QStringLiteral("rel/temp"));
    env.set("TMP", QStringLiteral("rel/tmp"));
    env.set("TMPDIR", QStringLiteral("./rel/tmpdir"));
    QDir().mkpath(at("cwd/rel/temp"));
    start();
    EXPECT_EQ(qEnvironmentVariable("TEMP"), at("cwd/rel/temp"));
    EXPECT_EQ(qEnvironmentVariable("TMP"), at("cwd/rel/tmp"));
    EXPECT_EQ(qEnvironmentVariable("TMPDIR"), at("cwd/./rel/tmpdir"));
    const QString capture = at("cwd/rel/temp/brewpad-") + QString::number(getuid());
    EXPECT_EQ(temp, capture);
    // A compilation elsewhere still finds the capture directory.
    QDir::setCurrent(at("tree"));
    EXPECT_TRUE(QFileInfo(temp).isDir());
    EXPECT_EQ(QFileInfo(temp).canonicalFilePath(), QFileInfo(capture).canonicalFilePath());
    EXPECT_EQ(qEnvironmentVariable("TEMP"), at("cwd/rel/temp"));  // once: not taken again from here
}

// A brewpad.cfg that is a symbolic link is judged by every link on the way
// and by the file it leads to. One that another user could redirect, or that
// leads nowhere, is passed over, named in the report, and nothing is written
// through it; the user's own link to the user's own file is used.
TEST_F(SetFiles, LinkedConfigurationIsJudgedByTheLinkAndItsTarget)
{
    const QByteArray good = record(bin()) + record(help());
    const QString target = at("elsewhere/brewpad.cfg");
    const QString hop = at("hop/brewpad.cfg");
    const QString tempCfg = at("tmp/brewpad.cfg");
    auto lchownOther = [](const QString& p) {
        return lchown(QFile::encodeName(p).constData(), OtherUser, getgid()) == 0;
    };
    struct Case {
        const char* what;
        std::function<bool()> plant;  // false: cannot be made by this user
        QString reason;               // empty: used
    };
    const std::vector<Case> cases = {
        {"the user's own link to the user's own file", [&] { return QFile::link(target, cfg()); }, QString()},
        {"a link owned by another user", [&] { return QFile::link(target, cfg()) && lchownOther(cfg()); },
         "a link owned by another user"},
        {"a link through another user's link",
         [&] { return QFile::link(target, hop) && QFile::link(hop, cfg()) && lchownOther(hop); },
         "a link owned by another user"},
        {"a link that leads nowhere", [&] { return QFile::remove(target) && QFile::link(target, cfg()); },
         "a link that leads nowhere"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const QString& f : {cfg(), hop, tempCfg, target})
            QFile::remove(f);
        makeFile(target, good);
        QDir().mkpath(at("home/brewpad"));
        QDir().mkpath(at("hop"));
        if (!c.plant()) {
            EXPECT_NE(geteuid(), 0u) << "cannot plant " << c.what;
            continue;
        }
        const bool targetThere = QFileInfo::exists(target);
        dialogs.messages.clear();
        toolsfind::forgetDrives();
        toolsfind tf;
        tf.volumes = [this] { return std::vector<host::Volume>{host::Volume{tree(), QStringLiteral("ext4"), {}}}; };
        tf.setfiles();
        EXPECT_EQ(javabin, bin());
        if (c.reason.isEmpty()) {
            EXPECT_TRUE(dialogs.messages.empty()) << dialogs.texts().join('|').toStdString();
            EXPECT_TRUE(tf.skippedConfigs.empty());
            continue;
        }
        EXPECT_EQ(dialogs.texts(), QStringList({question(javac()), question(help())}));
        ASSERT_EQ(tf.skippedConfigs.size(), 1u);
        EXPECT_EQ(tf.skippedConfigs[0].path, cfg());
        EXPECT_EQ(tf.skippedConfigs[0].reason, c.reason);
        EXPECT_EQ(readFile(tempCfg), good);
        // Nothing was written through the link.
        EXPECT_EQ(statOf(cfg()).st_mode & S_IFMT, S_IFLNK);
        EXPECT_EQ(QFileInfo::exists(target), targetThere);
        if (targetThere) {
            EXPECT_EQ(readFile(target), good);
        }
        EXPECT_FALSE(cfgfile::save(cfg(), QByteArray("planted")));
        EXPECT_EQ(QFileInfo::exists(target), targetThere);
    }
}
