// What a save promises on real file systems: a failed save leaves the old file,
// owner, group, mode and hard links stay, an ordinary user can save where the
// folder is not theirs, two savers do not lose an edit, and nothing that is not
// a regular file, or was not read, is replaced unasked.

#include "lmhostsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{

constexpr uid_t kNobody = 65534;

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

struct stat Stat(const QString& path)
{
    struct stat st {
    };
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

// The entries of a table saved over `old` after adding one.
const QByteArray kOld = "10.0.0.1 alpha #PRE\r\n10.0.0.2 beta\r\n# kept\r\n";
const QByteArray kNew = kOld + "10.9.9.9\t\"probe\"\r\n";

FileError::Problem ProblemOfLoad(HostTable& table)
{
    try {
        LoadHostTable(table);
    } catch (const FileError& e) {
        return e.problem();
    }
    return FileError::Problem(-1);
}

} // namespace

class TestLmhostsSave : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void fullDiskKeepsOldFile_data();
    void fullDiskKeepsOldFile();
    void ownerGroupAndModeStay_data();
    void ownerGroupAndModeStay();
    void ordinaryUser_data();
    void ordinaryUser();
    void hardLinksStay();
    void failedInPlaceWriteKeepsOldFile();
    void secondSaverSeesFirstSaversChange_data();
    void secondSaverSeesFirstSaversChange();
    void notRegularFileNeverReplaced_data();
    void notRegularFileNeverReplaced();
    void unreadFileReplacedOnlyWithConsent_data();
    void unreadFileReplacedOnlyWithConsent();

private:
    QString lmhosts() const { return etc_ + QStringLiteral("/lmhosts"); }
    // Loads kOld and adds the entry the probe adds.
    void loadAndEdit(HostTable& table);

    bool privateMounts_ = false;
    QTemporaryDir dir_;
    QString root_;
    QString etc_;
    QString mount_;
};

void TestLmhostsSave::initTestCase()
{
    QVERIFY(dir_.isValid());
    // The ordinary user of the setpriv cases must reach the tree.
    QVERIFY(QFile::setPermissions(dir_.path(), QFile::Permissions(0x7755)));
    // A tmpfs of our own, seen by this process only.
    privateMounts_ = geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
                     ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    std::signal(SIGXFSZ, SIG_IGN);
}

void TestLmhostsSave::init()
{
    static int n = 0;
    root_ = dir_.path() + QStringLiteral("/w%1").arg(++n);
    etc_ = root_ + QStringLiteral("/System32/drivers/etc");
    QVERIFY(QDir().mkpath(etc_));
    qputenv("SystemRoot", QFile::encodeName(root_));
}

void TestLmhostsSave::cleanup()
{
    if (!mount_.isEmpty())
        ::umount2(QFile::encodeName(mount_).constData(), MNT_DETACH);
    mount_.clear();
}

void TestLmhostsSave::loadAndEdit(HostTable& table)
{
    LoadHostTable(table);
    table.append(HostEntry{"probe", "", "", 10, 9, 9, 9, false});
}

void TestLmhostsSave::fullDiskKeepsOldFile_data()
{
    QTest::addColumn<bool>("edit");
    QTest::addColumn<bool>("hardLink"); // written in place
    QTest::newRow("unchanged") << false << false;
    QTest::newRow("edited") << true << false;
    QTest::newRow("edited, in place") << true << true;
}

void TestLmhostsSave::fullDiskKeepsOldFile()
{
    QFETCH(bool, edit);
    QFETCH(bool, hardLink);
    if (!privateMounts_)
        QSKIP("needs root for a private tmpfs");
    mount_ = dir_.path() + QStringLiteral("/full%1").arg(QTest::currentDataTag()).remove(u' ');
    QVERIFY(QDir().mkpath(mount_));
    QVERIFY(::mount("none", QFile::encodeName(mount_).constData(), "tmpfs", 0, "size=64k") == 0);
    root_ = mount_ + QStringLiteral("/Windows");
    etc_ = root_ + QStringLiteral("/System32/drivers/etc");
    QVERIFY(QDir().mkpath(etc_));
    qputenv("SystemRoot", QFile::encodeName(root_));
    QVERIFY(WriteFile(lmhosts(), kOld));
    if (hardLink)
        QVERIFY(::link(QFile::encodeName(lmhosts()), QFile::encodeName(mount_ + "/link")) == 0);

    HostTable table;
    LoadHostTable(table);
    // More than the page the old file has.
    for (int i = 0; edit && i < 300; ++i)
        table.append(HostEntry{"n" + std::to_string(i), "", "", 10, 0, 0, 1, false});
    QFile filler(mount_ + QStringLiteral("/filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }

    try {
        SaveHostTable(table);
        QFAIL("the save reported success on a full disk");
    } catch (const FileError& e) {
        QCOMPARE(e.operation(), FileError::Operation::Write);
        QCOMPARE(e.reason(), QStringLiteral("No space left on device"));
    }
    QCOMPARE(ReadFile(lmhosts()), kOld);
    QCOMPARE(QDir(etc_).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"lmhosts"});
}

void TestLmhostsSave::ownerGroupAndModeStay_data()
{
    QTest::addColumn<uint>("uid");
    QTest::addColumn<uint>("gid");
    QTest::addColumn<uint>("mode");
    QTest::newRow("nobody:nogroup 640") << 65534u << 65534u << 0640u;
    QTest::newRow("root:nogroup 2664") << 0u << 65534u << 02664u;
    QTest::newRow("nobody:root 600") << 65534u << 0u << 0600u;
}

void TestLmhostsSave::ownerGroupAndModeStay()
{
    QFETCH(uint, uid);
    QFETCH(uint, gid);
    QFETCH(uint, mode);
    if (geteuid() != 0)
        QSKIP("needs root to give the file another owner");
    QVERIFY(WriteFile(lmhosts(), kOld));
    const QByteArray path = QFile::encodeName(lmhosts());
    QVERIFY(::chown(path.constData(), uid, gid) == 0);
    QVERIFY(::chmod(path.constData(), mode) == 0);

    HostTable table;
    loadAndEdit(table);
    QCOMPARE(SaveHostTable(table), SaveResult::Saved);
    QCOMPARE(ReadFile(lmhosts()), kNew);
    const struct stat st = Stat(lmhosts());
    QCOMPARE(uint(st.st_uid), uid);
    QCOMPARE(uint(st.st_gid), gid);
    QCOMPARE(uint(st.st_mode & 07777), mode);
}

// The real save run as nobody through setpriv.
void TestLmhostsSave::ordinaryUser_data()
{
    QTest::addColumn<uint>("folderOwner");
    QTest::addColumn<uint>("fileOwner");
    QTest::addColumn<uint>("fileMode");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("written");

    QTest::newRow("own file in a folder not ours") << 0u << kNobody << 0644u << 0 << true;
    QTest::newRow("group-writable file of root") << kNobody << 0u << 0664u << 0 << true;
    QTest::newRow("write-only file") << kNobody << kNobody << 0200u << 3 << false;
    QTest::newRow("file we may not touch") << 0u << 0u << 0600u << 3 << false;
}

void TestLmhostsSave::ordinaryUser()
{
    QFETCH(uint, folderOwner);
    QFETCH(uint, fileOwner);
    QFETCH(uint, fileMode);
    QFETCH(int, exitCode);
    QFETCH(bool, written);
    if (geteuid() != 0)
        QSKIP("needs root to act as another user");
    for (const QString& folder : {root_, root_ + "/System32", root_ + "/System32/drivers", etc_})
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0755) == 0);
    QVERIFY(::chown(QFile::encodeName(etc_).constData(), folderOwner, 0) == 0);
    QVERIFY(WriteFile(lmhosts(), kOld));
    const QByteArray path = QFile::encodeName(lmhosts());
    QVERIFY(::chown(path.constData(), fileOwner, kNobody) == 0);
    QVERIFY(::chmod(path.constData(), fileMode) == 0);
    const struct stat before = Stat(lmhosts());

    QProcess probe;
    probe.start(QStringLiteral("setpriv"),
                {"--reuid=65534", "--regid=65534", "--clear-groups", SAVEPROBE});
    QVERIFY2(probe.waitForFinished(30000), "the probe hangs");
    const QByteArray output = probe.readAll();
    QVERIFY2(probe.exitStatus() == QProcess::NormalExit, output.constData());
    QVERIFY2(probe.exitCode() == exitCode, output.constData());

    QCOMPARE(ReadFile(lmhosts()), written ? kNew : kOld);
    const struct stat after = Stat(lmhosts());
    QCOMPARE(after.st_ino, before.st_ino); // written in place
    QCOMPARE(after.st_uid, before.st_uid);
    QCOMPARE(after.st_gid, before.st_gid);
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(QDir(etc_).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"lmhosts"});
}

void TestLmhostsSave::hardLinksStay()
{
    QVERIFY(WriteFile(lmhosts(), kOld));
    const QString other = root_ + QStringLiteral("/other-name");
    QVERIFY(::link(QFile::encodeName(lmhosts()).constData(),
                   QFile::encodeName(other).constData()) == 0);

    HostTable table;
    loadAndEdit(table);
    QCOMPARE(SaveHostTable(table), SaveResult::Saved);
    QCOMPARE(ReadFile(lmhosts()), kNew);
    QCOMPARE(ReadFile(other), kNew);
    QCOMPARE(Stat(lmhosts()).st_ino, Stat(other).st_ino);
}

// A file size limit stops the write also for root.
void TestLmhostsSave::failedInPlaceWriteKeepsOldFile()
{
    QVERIFY(WriteFile(lmhosts(), kOld));
    QVERIFY(::link(QFile::encodeName(lmhosts()).constData(),
                   QFile::encodeName(root_ + "/other-name").constData()) == 0);
    HostTable table;
    LoadHostTable(table);
    for (int i = 0; i < 2000; ++i)
        table.append(HostEntry{"n" + std::to_string(i), "", "", 10, 0, 0, 1, false});

    rlimit saved{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
    QString reason;
    try {
        SaveHostTable(table);
    } catch (const FileError& e) {
        reason = e.reason();
    }
    QVERIFY(setrlimit(RLIMIT_FSIZE, &saved) == 0);
    QVERIFY(!reason.isEmpty());
    QCOMPARE(ReadFile(lmhosts()), kOld);
    QCOMPARE(ReadFile(root_ + "/other-name"), kOld);
}

void TestLmhostsSave::secondSaverSeesFirstSaversChange_data()
{
    QTest::addColumn<bool>("replace"); // the first saver renames a new file over
    QTest::newRow("first saver replaces the file") << true;
    QTest::newRow("first saver writes in place") << false;
}

// This test plays the first saver: it holds the lock while the second one, on
// another thread, waits for it, changes the file and lets go.
void TestLmhostsSave::secondSaverSeesFirstSaversChange()
{
    QFETCH(bool, replace);
    QVERIFY(WriteFile(lmhosts(), kOld));
    HostTable table;
    loadAndEdit(table);

    const int held = ::open(QFile::encodeName(lmhosts()).constData(), O_RDONLY | O_CLOEXEC);
    QVERIFY(held >= 0);
    QVERIFY(::flock(held, LOCK_EX) == 0);
    SaveResult result = SaveResult::Saved;
    QString error;
    std::thread second([&] {
        try {
            result = SaveHostTable(table);
        } catch (const FileError& e) {
            error = e.reason();
        }
    });
    QTest::qWait(300);
    const QByteArray first = kOld + "10.1.1.1\t\"first\"\r\n";
    if (replace) {
        QVERIFY(WriteFile(etc_ + "/new", first));
        QVERIFY(::rename(QFile::encodeName(etc_ + "/new").constData(),
                         QFile::encodeName(lmhosts()).constData()) == 0);
    } else {
        QVERIFY(WriteFile(lmhosts(), first));
    }
    ::close(held);
    second.join();

    QCOMPARE(error, QString());
    QCOMPARE(result, SaveResult::ChangedOnDisk);
    QCOMPARE(ReadFile(lmhosts()), first);
}

void TestLmhostsSave::notRegularFileNeverReplaced_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("notRegular"); // else a system error
    QTest::newRow("pipe") << "fifo" << true;
    QTest::newRow("folder") << "folder" << true;
    QTest::newRow("link to /dev/zero") << "device" << true;
    QTest::newRow("socket") << "socket" << true;
    QTest::newRow("symbolic link loop") << "loop" << false;
}

void TestLmhostsSave::notRegularFileNeverReplaced()
{
    QFETCH(QString, kind);
    QFETCH(bool, notRegular);
    const QByteArray path = QFile::encodeName(lmhosts());
    int socketFd = -1;
    if (kind == "fifo") {
        QVERIFY(::mkfifo(path.constData(), 0644) == 0);
    } else if (kind == "folder") {
        QVERIFY(QDir().mkpath(lmhosts()));
    } else if (kind == "device") {
        QVERIFY(QFile::link("/dev/zero", lmhosts()));
    } else if (kind == "socket") {
        socketFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        QVERIFY(size_t(path.size()) < sizeof address.sun_path);
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        QVERIFY(::bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
    } else {
        QVERIFY(QFile::link("lmhosts2", lmhosts()));
        QVERIFY(QFile::link("lmhosts", etc_ + "/lmhosts2"));
    }
    const struct stat before = Stat(lmhosts());

    HostTable table;
    try {
        LoadHostTable(table);
        QFAIL("loaded");
    } catch (const FileError& e) {
        QCOMPARE(e.operation(), FileError::Operation::OpenForReading);
        QCOMPARE(e.problem() == FileError::Problem::NotRegularFile, notRegular);
    }
    QCOMPARE(table.size(), 0);
    QVERIFY(table.fileUnread());
    QCOMPARE(SaveHostTable(table), SaveResult::NotReadAtLoad);
    // Not even with the user's consent.
    QVERIFY_THROWS_EXCEPTION(FileError, SaveHostTable(table, SaveMode::Overwrite));

    const struct stat after = Stat(lmhosts());
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(QFileInfo("/dev/zero").isFile(), false);
    if (socketFd >= 0)
        ::close(socketFd);
}

void TestLmhostsSave::unreadFileReplacedOnlyWithConsent_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("size"); // a sparse file of this size when not 0
    QTest::addColumn<int>("problem");

    QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFE"
                                             "1\0.\0"
                                             "2\0 \0"
                                             "a\0\r\0\n\0",
                                             16)
                               << qint64(0) << int(FileError::Problem::Utf16);
    QTest::newRow("UTF-16 BE") << QByteArray("\xFE\xFF"
                                             "\0"
                                             "1\0.\0"
                                             "2\0 \0"
                                             "a\0\r\0\n",
                                             16)
                               << qint64(0) << int(FileError::Problem::Utf16);
    QTest::newRow("over 1 GiB") << QByteArray() << kMaxFileSize + 1
                                << int(FileError::Problem::TooLarge);
}

void TestLmhostsSave::unreadFileReplacedOnlyWithConsent()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, size);
    QFETCH(int, problem);
    QVERIFY(WriteFile(lmhosts(), bytes));
    if (size)
        QVERIFY(QFile::resize(lmhosts(), size));

    HostTable table;
    QCOMPARE(int(ProblemOfLoad(table)), problem);
    QCOMPARE(table.size(), 0);
    table.append(HostEntry{"probe", "", "", 10, 9, 9, 9, false});
    QCOMPARE(SaveHostTable(table), SaveResult::NotReadAtLoad);
    QCOMPARE(QFileInfo(lmhosts()).size(), size ? size : bytes.size());
    if (!size)
        QCOMPARE(ReadFile(lmhosts()), bytes);

    QCOMPARE(SaveHostTable(table, SaveMode::Overwrite), SaveResult::Saved);
    QCOMPARE(ReadFile(lmhosts()), QByteArray("10.9.9.9\t\"probe\"\r\n"));
}

QTEST_GUILESS_MAIN(TestLmhostsSave)
#include "tst_lmhostssave.moc"
