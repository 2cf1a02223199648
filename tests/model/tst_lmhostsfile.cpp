// The LMHOSTS file on disk: where it is, loading, saving, errors, change
// detection, and the text codec.

#include "lmhostsfile.h"
#include "textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <optional>
#include <sys/resource.h>

Q_DECLARE_METATYPE(TextEncoding)

namespace
{

QByteArray Qb(const std::string& s)
{
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Sets an environment variable for the life of the object.
class EnvVar
{
public:
    EnvVar(const char* name, const QByteArray& value, bool set = true)
        : name_(name), old_(qgetenv(name)), hadOld_(qEnvironmentVariableIsSet(name))
    {
        if (set)
            qputenv(name, value);
        else
            qunsetenv(name);
    }
    ~EnvVar()
    {
        if (hadOld_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    QByteArray old_;
    bool hadOld_;
};

} // namespace

class TestLmhostsFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void path_data();
    void path();
    void pathWithoutSystemRoot_data();
    void pathWithoutSystemRoot();
    void loadSaveRoundTrip();
    void loadErrors_data();
    void loadErrors();
    void readErrorKeepsEntriesRead();
    void saveCreatesFileAndFolders();
    void saveErrors_data();
    void saveErrors();
    void failedWriteKeepsOldFile();
    void saveWritesThroughSymlink();
    void saveKeepsPermissions();
    void changeDetection_data();
    void changeDetection();
    void windows1252RoundTripsEveryByte();
    void encodeReportsFirstBadCharacter_data();
    void encodeReportsFirstBadCharacter();

private:
    QTemporaryDir dir_;
    QString root_; // the Windows folder
    QString etc_;  // root_/System32/drivers/etc
};

void TestLmhostsFile::init()
{
    QVERIFY(dir_.isValid());
    root_ = dir_.path() + QStringLiteral("/w") +
            QString::number(QRandomGenerator::global()->generate());
    etc_ = root_ + QStringLiteral("/System32/drivers/etc");
    QVERIFY(QDir().mkpath(etc_));
    qputenv("SystemRoot", root_.toLocal8Bit());
}

void TestLmhostsFile::path_data()
{
    QTest::addColumn<QStringList>("onDisk"); // folders and files ("f:" prefix) to make
    QTest::addColumn<QString>("systemRoot"); // %R stands for the scratch folder
    QTest::addColumn<QString>("expected");

    QTest::newRow("case differs on disk")
        << QStringList{"W/System32/drivers/etc", "f:W/System32/drivers/etc/lmhosts"} << "%R/W"
        << "%R/W/System32/drivers/etc/lmhosts";
    QTest::newRow("exact spelling wins")
        << QStringList{"W/system32/drivers", "W/SYSTEM32/DRIVERS/ETC", "W/System32"} << "%R/W"
        << "%R/W/SYSTEM32/DRIVERS/ETC/LMHOSTS";
    QTest::newRow("missing folder keeps the fixed spelling") << QStringList{"W/system32"} << "%R/W"
                                                             << "%R/W/system32/DRIVERS/ETC/LMHOSTS";
    QTest::newRow("Windows folder missing") << QStringList{} << "%R/none"
                                            << "%R/none/SYSTEM32/DRIVERS/ETC/LMHOSTS";
    QTest::newRow("backslashes in the value")
        << QStringList{"W/sub/system32/Drivers/etc"} << "%R\\W\\sub"
        << "%R/W/sub/system32/Drivers/etc/LMHOSTS";
    QTest::newRow("trailing separator") << QStringList{"W/system32"} << "%R/W\\"
                                        << "%R/W/system32/DRIVERS/ETC/LMHOSTS";
    QTest::newRow("long value used whole")
        << QStringList{QString(200, 'a') + "/" + QString(200, 'b') + "/" + QString(200, 'c') +
                       "/system32"}
        << "%R/" + QString(200, 'a') + "/" + QString(200, 'b') + "/" + QString(200, 'c')
        << "%R/" + QString(200, 'a') + "/" + QString(200, 'b') + "/" + QString(200, 'c') +
               "/system32/DRIVERS/ETC/LMHOSTS";
}

void TestLmhostsFile::path()
{
    QFETCH(QStringList, onDisk);
    QFETCH(QString, systemRoot);
    QFETCH(QString, expected);
    QTemporaryDir scratch;
    const QString r = scratch.path();
    for (const QString& item : onDisk) {
        if (item.startsWith("f:"))
            QVERIFY(WriteFile(r + "/" + item.mid(2), "x"));
        else
            QVERIFY(QDir().mkpath(r + "/" + item));
    }
    EnvVar env("SystemRoot", QString(systemRoot).replace("%R", r).toLocal8Bit());
    QCOMPARE(LmhostsPath(), QString(expected).replace("%R", r));
}

void TestLmhostsFile::pathWithoutSystemRoot_data()
{
    QTest::addColumn<bool>("systemRootSet"); // set but empty, or unset
    QTest::addColumn<bool>("winePrefixSet");
    QTest::addColumn<QString>("expected"); // %R: the scratch folder

    QTest::newRow("unset, Wine prefix")
        << false << true << "%R/prefix/drive_c/windows/system32/drivers/etc/hosts-dir/LMHOSTS";
    QTest::newRow("empty, Wine prefix")
        << true << true << "%R/prefix/drive_c/windows/system32/drivers/etc/hosts-dir/LMHOSTS";
    QTest::newRow("unset, default prefix")
        << false << false << "%R/home/.wine/drive_c/windows/SYSTEM32/DRIVERS/ETC/LMHOSTS";
}

void TestLmhostsFile::pathWithoutSystemRoot()
{
    QFETCH(bool, systemRootSet);
    QFETCH(bool, winePrefixSet);
    QFETCH(QString, expected);
    QTemporaryDir scratch;
    const QString r = scratch.path();
    QVERIFY(QDir().mkpath(r + "/prefix/drive_c/windows/system32/drivers/etc"));
    expected.replace("%R", r);
    expected.replace("/hosts-dir", "");
    EnvVar root("SystemRoot", "", systemRootSet);
    EnvVar prefix("WINEPREFIX", (r + "/prefix").toLocal8Bit(), winePrefixSet);
    EnvVar home("HOME", (r + "/home").toLocal8Bit());
    QCOMPARE(LmhostsPath(), expected);
}

void TestLmhostsFile::loadSaveRoundTrip()
{
    const QByteArray bytes = "# hosts\r\n10.0.0.1 alpha #PRE #MH\r\n10.0.0.2 beta\r\n";
    QVERIFY(WriteFile(etc_ + "/lmhosts", bytes));
    QCOMPARE(LmhostsPath(), etc_ + "/lmhosts");
    HostTable table;
    LoadHostTable(table);
    QCOMPARE(table.size(), 2);
    QCOMPARE(table.at(1).hostname, std::string("beta"));

    SaveHostTable(table);
    QCOMPARE(ReadFile(etc_ + "/lmhosts"), bytes);

    table.at(0).octet4 = 9;
    table.removeAt(1);
    SaveHostTable(table);
    const QByteArray edited = "# hosts\r\n10.0.0.9\t\"alpha\"\t#PRE\t#MH\r\n";
    QCOMPARE(ReadFile(etc_ + "/lmhosts"), edited);
    // A second save starts from what the first one wrote.
    SaveHostTable(table);
    QCOMPARE(ReadFile(etc_ + "/lmhosts"), edited);

    HostTable again;
    LoadHostTable(again);
    QCOMPARE(again.size(), 1);
    QVERIFY(again.at(0) == table.at(0));
}

void TestLmhostsFile::loadErrors_data()
{
    QTest::addColumn<QString>("setup"); // what SystemRoot points at
    QTest::addColumn<QString>("reason");

    QTest::newRow("no file") << "empty tree"
                             << "No such file or directory";
    QTest::newRow("Windows folder is a file") << "regular file"
                                              << "Not a directory";
}

void TestLmhostsFile::loadErrors()
{
    QFETCH(QString, setup);
    QFETCH(QString, reason);
    if (setup == "regular file") {
        QVERIFY(WriteFile(root_ + "/file", "x"));
        qputenv("SystemRoot", (root_ + "/file").toLocal8Bit());
    }
    HostTable table;
    table.append(HostEntry{});
    try {
        LoadHostTable(table);
        QFAIL("no error");
    } catch (const FileError& e) {
        QCOMPARE(e.operation(), FileError::Operation::OpenForReading);
        QCOMPARE(e.path(), LmhostsPath());
        QCOMPARE(e.reason(), reason);
        QCOMPARE(QString::fromStdString(e.what()),
                 "Cannot open " + LmhostsPath() + " for reading: " + reason);
    }
    QCOMPARE(table.size(), 0);
}

// /proc/self/mem opens but fails at the first read.
void TestLmhostsFile::readErrorKeepsEntriesRead()
{
    if (!QFile::link("/proc/self/mem", etc_ + "/lmhosts"))
        QSKIP("cannot make the link");
    HostTable table;
    try {
        LoadHostTable(table);
        QFAIL("no error");
    } catch (const FileError& e) {
        QCOMPARE(e.operation(), FileError::Operation::Read);
        QVERIFY(QString::fromStdString(e.what()).startsWith("Cannot read " + LmhostsPath() + ": "));
        QVERIFY(!e.reason().isEmpty());
    }
    QCOMPARE(table.size(), 0);
}

void TestLmhostsFile::saveCreatesFileAndFolders()
{
    HostTable table;
    table.append(HostEntry{"new", "", "", 1, 2, 3, 4, false});
    SaveHostTable(table);
    QCOMPARE(ReadFile(etc_ + "/LMHOSTS"), QByteArray("1.2.3.4\t\"new\"\r\n"));

    // Below an existing Windows folder the missing folders are made.
    QVERIFY(QDir(root_ + "/System32").removeRecursively());
    QCOMPARE(SaveHostTable(table, SaveMode::Overwrite), SaveResult::Saved);
    QCOMPARE(ReadFile(root_ + "/SYSTEM32/DRIVERS/ETC/LMHOSTS"), QByteArray("1.2.3.4\t\"new\"\r\n"));
}

void TestLmhostsFile::saveErrors_data()
{
    QTest::addColumn<QString>("setup");
    QTest::newRow("Windows folder missing") << "missing";
    QTest::newRow("Windows folder is a file") << "regular file";
    QTest::newRow("LMHOSTS is a folder") << "folder";
}

void TestLmhostsFile::saveErrors()
{
    QFETCH(QString, setup);
    if (setup == "missing") {
        qputenv("SystemRoot", (root_ + "/none").toLocal8Bit());
    } else if (setup == "regular file") {
        QVERIFY(WriteFile(root_ + "/file", "x"));
        qputenv("SystemRoot", (root_ + "/file").toLocal8Bit());
    } else {
        QVERIFY(QDir().mkpath(etc_ + "/lmhosts"));
    }
    HostTable table;
    table.append(HostEntry{});
    try {
        SaveHostTable(table);
        QFAIL("no error");
    } catch (const FileError& e) {
        QCOMPARE(e.operation(), FileError::Operation::OpenForWriting);
        QCOMPARE(e.path(), LmhostsPath());
        QVERIFY(!e.reason().isEmpty());
        QCOMPARE(QString::fromStdString(e.what()),
                 "Cannot open " + LmhostsPath() + " for writing: " + e.reason());
    }
    QVERIFY(!QFileInfo::exists(root_ + "/none"));
    QCOMPARE(ReadFile(root_ + "/file"), setup == "regular file" ? QByteArray("x") : "<missing>");
}

// A file size limit makes the write fail also for root.
void TestLmhostsFile::failedWriteKeepsOldFile()
{
    const QByteArray old = "10.0.0.1 old\r\n";
    QVERIFY(WriteFile(etc_ + "/lmhosts", old));
    HostTable table;
    LoadHostTable(table);
    for (int i = 0; i < 2000; ++i)
        table.append(HostEntry{"n" + std::to_string(i), "", "", 10, 0, 0, 1, false});

    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
    // Nothing is checked before the limit is lifted again.
    std::optional<FileError> error;
    try {
        SaveHostTable(table);
    } catch (const FileError& e) {
        error = e;
    }
    QVERIFY(setrlimit(RLIMIT_FSIZE, &saved) == 0);
    QVERIFY(error);
    QCOMPARE(error->operation(), FileError::Operation::Write);
    QVERIFY(!error->reason().isEmpty());
    QCOMPARE(ReadFile(etc_ + "/lmhosts"), old);
    QCOMPARE(QDir(etc_).entryList(QDir::Files | QDir::Hidden), QStringList{"lmhosts"});
    QVERIFY(!HostFileChangedOnDisk(table));
}

void TestLmhostsFile::saveWritesThroughSymlink()
{
    QVERIFY(QDir().mkpath(root_ + "/real"));
    QVERIFY(WriteFile(root_ + "/real/target", "10.0.0.1 a\r\n"));
    QVERIFY(QFile::link("../../../real/target", etc_ + "/lmhosts"));
    HostTable table;
    LoadHostTable(table);
    table.at(0).hostname = "b";
    SaveHostTable(table);
    QVERIFY(QFileInfo(etc_ + "/lmhosts").isSymLink());
    QCOMPARE(ReadFile(root_ + "/real/target"), QByteArray("10.0.0.1\t\"b\"\r\n"));
}

void TestLmhostsFile::saveKeepsPermissions()
{
    const QString path = etc_ + "/lmhosts";
    QVERIFY(WriteFile(path, "10.0.0.1 a\r\n"));
    const auto perms = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadUser |
                       QFile::WriteUser;
    QVERIFY(QFile::setPermissions(path, perms));
    HostTable table;
    LoadHostTable(table);
    table.at(0).hostname = "b";
    SaveHostTable(table);
    QCOMPARE(ReadFile(path), QByteArray("10.0.0.1\t\"b\"\r\n"));
    QCOMPARE(QFile::permissions(path), perms);
}

void TestLmhostsFile::changeDetection_data()
{
    QTest::addColumn<bool>("existsAtLoad");
    QTest::addColumn<QString>("change"); // done to the file after loading
    QTest::addColumn<bool>("changed");

    QTest::newRow("untouched") << true << "" << false;
    QTest::newRow("same size, other bytes") << true << "rewrite" << true;
    QTest::newRow("grown") << true << "append" << true;
    QTest::newRow("removed") << true << "remove" << true;
    QTest::newRow("rewritten with the same bytes") << true << "same" << false;
    QTest::newRow("still missing") << false << "" << false;
    QTest::newRow("created") << false << "create" << true;
}

void TestLmhostsFile::changeDetection()
{
    QFETCH(bool, existsAtLoad);
    QFETCH(QString, change);
    QFETCH(bool, changed);
    const QString path = etc_ + "/lmhosts";
    const QByteArray bytes = "10.0.0.1 a\r\n";
    if (existsAtLoad)
        QVERIFY(WriteFile(path, bytes));
    HostTable table;
    try {
        LoadHostTable(table);
    } catch (const FileError&) {
        QVERIFY(!existsAtLoad);
    }
    if (change == "rewrite")
        QVERIFY(WriteFile(path, "10.0.0.2 a\r\n"));
    else if (change == "append")
        QVERIFY(WriteFile(path, bytes + "#\r\n"));
    else if (change == "remove")
        QVERIFY(QFile::remove(path));
    else if (change == "same" || change == "create")
        QVERIFY(WriteFile(path, bytes));
    QCOMPARE(HostFileChangedOnDisk(table), changed);

    // A checked save writes nothing over another program's change; our own
    // save is the new baseline.
    if (change != "remove") {
        table.append(HostEntry{});
        const QByteArray before = ReadFile(path);
        QCOMPARE(SaveHostTable(table) == SaveResult::ChangedOnDisk, changed);
        if (changed) {
            QCOMPARE(ReadFile(path), before);
            QCOMPARE(SaveHostTable(table, SaveMode::Overwrite), SaveResult::Saved);
        }
        QVERIFY(!HostFileChangedOnDisk(table));
    }
}

void TestLmhostsFile::windows1252RoundTripsEveryByte()
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const QString text = DecodeText(all, TextEncoding::Windows1252);
    QCOMPARE(text.size(), 256);
    QCOMPARE(text.at(0x80), QChar(0x20AC));
    QCOMPARE(text.at(0x9F), QChar(0x0178));
    for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        QCOMPARE(text.at(b).unicode(), char16_t(b));
    QCOMPARE(text.at(0xFC), QChar(0xFC));
    const std::optional<std::string> back = EncodeText(text, TextEncoding::Windows1252);
    QVERIFY(back);
    QCOMPARE(Qb(*back), Qb(all));

    const QString utf8 = QString::fromUtf8("M\xc3\xbcller \xe2\x82\xac \xf0\x9f\x98\x80");
    const std::optional<std::string> bytes = EncodeText(utf8, TextEncoding::Utf8);
    QVERIFY(bytes);
    QCOMPARE(DecodeText(*bytes, TextEncoding::Utf8), utf8);
}

void TestLmhostsFile::encodeReportsFirstBadCharacter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addColumn<QString>("firstBad");

    QTest::newRow("CJK in Windows-1252")
        << QString::fromUtf8("ab\xe4\xb8\xad\xe6\x96\x87") << TextEncoding::Windows1252
        << QString::fromUtf8("\xe4\xb8\xad");
    QTest::newRow("C1 control that 1252 maps elsewhere")
        << QString(QChar(0x80)) << TextEncoding::Windows1252 << QString(QChar(0x80));
    QTest::newRow("emoji in Windows-1252")
        << QString::fromUtf8("x\xf0\x9f\x98\x80") << TextEncoding::Windows1252
        << QString::fromUtf8("\xf0\x9f\x98\x80");
    QTest::newRow("lone surrogate in UTF-8")
        << QString("a") + QChar(0xD800) + "b" << TextEncoding::Utf8 << QString(QChar(0xD800));
}

void TestLmhostsFile::encodeReportsFirstBadCharacter()
{
    QFETCH(QString, text);
    QFETCH(TextEncoding, encoding);
    QFETCH(QString, firstBad);
    QString bad;
    QVERIFY(!EncodeText(text, encoding, &bad));
    QCOMPARE(bad, firstBad);
}

QTEST_GUILESS_MAIN(TestLmhostsFile)
#include "tst_lmhostsfile.moc"
