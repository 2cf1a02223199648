#include "lmhostsfile.h"

#include "lmhostsdocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <new>
#include <optional>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

QString Message(FileError::Operation operation, const QString& path, const QString& reason)
{
    switch (operation) {
    case FileError::Operation::OpenForReading:
        return QStringLiteral("Cannot open %1 for reading: %2").arg(path, reason);
    case FileError::Operation::Read:
        return QStringLiteral("Cannot read %1: %2").arg(path, reason);
    case FileError::Operation::OpenForWriting:
        return QStringLiteral("Cannot open %1 for writing: %2").arg(path, reason);
    case FileError::Operation::Write:
        break;
    }
    return QStringLiteral("Cannot write %1: %2").arg(path, reason);
}

// Set from the command line; empty: the environment decides.
QString& ChosenFile()
{
    static QString file;
    return file;
}

QString& ChosenWindowsFolder()
{
    static QString folder;
    return folder;
}

QString WindowsFolder()
{
    QString root = ChosenWindowsFolder();
    if (root.isEmpty())
        root = qEnvironmentVariable("SystemRoot");
    if (root.isEmpty()) {
        QString prefix = qEnvironmentVariable("WINEPREFIX");
        if (prefix.isEmpty())
            prefix = qEnvironmentVariable("HOME") + QStringLiteral("/.wine");
        root = prefix + QStringLiteral("/drive_c/windows");
    }
    root.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return root;
}

// The name in `folder` that equals `name` (all capitals) ignoring case. Sorted by
// code point, capitals come first, so the exact spelling wins where there are several.
QString SpellingOnDisk(const QString& folder, const QString& name)
{
    const QStringList entries = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}

QString Join(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// Keeps only whole lines: a line cut by a read error is not read as an entry.
FileBytes WholeLines(FileBytes bytes)
{
    const std::size_t lastBreak = bytes.rfind('\n');
    bytes.resize(lastBreak == std::string::npos ? 0 : lastBreak + 1);
    return bytes;
}

QString ProblemReason(FileError::Problem problem)
{
    switch (problem) {
    case FileError::Problem::NotRegularFile:
        return QStringLiteral("Not a regular file");
    case FileError::Problem::TooLarge:
        return QStringLiteral("File too large");
    case FileError::Problem::Utf16:
        return QStringLiteral("UTF-16 text, which cannot be edited here");
    case FileError::Problem::Locked:
        return QStringLiteral("Locked by another program");
    case FileError::Problem::System:
        break;
    }
    return {};
}

[[noreturn]] void Fail(FileError::Operation operation, const QString& path, int error)
{
    throw FileError(operation, path, qt_error_string(error));
}

[[noreturn]] void Fail(FileError::Operation operation, const QString& path,
                       FileError::Problem problem)
{
    throw FileError(operation, path, ProblemReason(problem), problem);
}

// A file descriptor that closes itself.
class Fd
{
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept
    {
        reset(std::exchange(other.fd_, -1));
        return *this;
    }
    ~Fd() { reset(); }

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

// Never blocks, not even on a pipe with no writer.
Fd Open(const QByteArray& path, int flags)
{
    int fd;
    do
        fd = ::open(path.constData(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    while (fd < 0 && errno == EINTR);
    return Fd(fd);
}

// 0, or the error that stopped the reading.
int ReadAll(int fd, FileBytes& bytes, std::size_t sizeHint)
{
    bytes.resize(sizeHint);
    std::size_t got = 0;
    for (;;) {
        // Once the size known at open is in, a small read finds the end without
        // first growing the block.
        char probe[512];
        const bool full = got == bytes.size();
        char* const to = full ? probe : bytes.data() + got;
        const ssize_t n = ::read(fd, to, full ? sizeof probe : bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            bytes.resize(got);
            return error;
        }
        if (n == 0)
            break;
        if (full) {
            // Past the size known at open: the file grew meanwhile.
            if (got + static_cast<std::size_t>(n) > static_cast<std::size_t>(kMaxFileSize))
                return EFBIG;
            bytes.resize(std::min<std::size_t>(bytes.size() * 2 + 65536, kMaxFileSize));
            std::memcpy(bytes.data() + got, probe, static_cast<std::size_t>(n));
        }
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return 0;
}

// 0, or the error that stopped the writing. Every byte goes straight to the
// file: nothing waits in a buffer whose flush could fail unseen.
int WriteAll(int fd, std::string_view bytes, off_t offset)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t chunk = std::min<std::size_t>(bytes.size() - done, 1 << 30);
        const ssize_t n =
            ::pwrite(fd, bytes.data() + done, chunk, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

QByteArray FolderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// The file a chain of symbolic links ends at, so that a save replaces that file
// and keeps the links. A path with nothing at its end is returned as it is.
QByteArray FollowLinks(QByteArray path, int& error)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {
        };
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        QByteArray target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.constData(), target.data(), target.size());
        if (n < 0) {
            error = errno;
            return {};
        }
        target.truncate(n);
        path = target.startsWith('/') ? target : FolderOf(path) + '/' + target;
    }
    error = ELOOP;
    return {};
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether `path` holds other bytes than the table knows, or is there when it
// was not (or the other way round). What cannot be read counts as changed.
bool DiffersFromTable(const HostTable& table, const QByteArray& path)
{
    struct stat st {
    };
    const bool existsNow = ::stat(path.constData(), &st) == 0;
    const LoadedFile& file = table.file();
    if (!file.existed() || !existsNow)
        return existsNow != file.existed();
    const FileBytes& known = file.bytes();
    if (!S_ISREG(st.st_mode) || static_cast<std::uint64_t>(st.st_size) != known.size())
        return true;
    const Fd fd = Open(path, O_RDONLY);
    if (!fd)
        return true;
    std::size_t at = 0;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return true;
        if (n == 0)
            return at != known.size();
        const auto count = static_cast<std::size_t>(n);
        if (count > known.size() - at || std::memcmp(buffer, known.data() + at, count) != 0)
            return true;
        at += count;
    }
}

// An exclusive lock on the file to be saved (on its folder while there is no
// file yet), held from the check for other programs' changes to the end of the
// write. Only programs that lock too are kept out, other editors of ours among them.
struct FileLock {
    Fd fd;
    bool exists = false;
    struct stat st {
    }; // of the file, when it exists
};

// False when another program held the lock for too long.
bool WaitForLock(int fd)
{
    using namespace std::chrono_literals;
    const auto giveUp = std::chrono::steady_clock::now() + 10s;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return true; // no locks on this file system: go on without
        if (std::chrono::steady_clock::now() > giveUp)
            return false;
        std::this_thread::sleep_for(10ms);
    }
}

FileLock LockFile(const QByteArray& target, const QString& path)
{
    constexpr auto kOp = FileError::Operation::OpenForWriting;
    for (int attempt = 0; attempt < 100; ++attempt) {
        FileLock lock;
        Fd fd = Open(target, O_RDONLY);
        if (!fd && errno == EACCES)
            fd = Open(target, O_WRONLY);
        if (fd) {
            if (::fstat(fd.get(), &lock.st) != 0)
                Fail(kOp, path, errno);
            lock.exists = true;
        } else if (::stat(target.constData(), &lock.st) == 0) {
            lock.exists = true; // there, but not ours to open: the write will say why
        } else if (errno == ENOENT) {
            fd = Open(FolderOf(target), O_RDONLY | O_DIRECTORY);
        } else {
            Fail(kOp, path, errno);
        }
        if (lock.exists && !S_ISREG(lock.st.st_mode))
            Fail(kOp, path, FileError::Problem::NotRegularFile);
        if (fd && !WaitForLock(fd.get()))
            Fail(kOp, path, FileError::Problem::Locked);
        // Another saver may have replaced the file while we waited: the lock
        // counts only if it is on the file now at the path.
        struct stat now {
        };
        const bool existsNow = ::stat(target.constData(), &now) == 0;
        if (existsNow == lock.exists && (!existsNow || SameFile(now, lock.st))) {
            lock.fd = std::move(fd);
            return lock;
        }
    }
    Fail(kOp, path, FileError::Problem::Locked);
}

void SyncFolder(const QByteArray& folder)
{
    const Fd fd = Open(folder, O_RDONLY | O_DIRECTORY);
    if (fd)
        ::fsync(fd.get()); // the rename is done; a folder that cannot sync loses nothing
}

// Writes the bytes into the file itself. The old bytes, where they can be read,
// are put back if the new ones cannot all be written.
void WriteInPlace(const QByteArray& target, const QString& path, std::string_view bytes)
{
    const Fd fd = Open(target, O_WRONLY);
    if (!fd)
        Fail(FileError::Operation::OpenForWriting, path, errno);
    std::optional<FileBytes> old;
    if (const Fd reader = Open(target, O_RDONLY)) {
        struct stat st {
        };
        FileBytes bytesNow;
        if (::fstat(reader.get(), &st) == 0 &&
            ReadAll(reader.get(), bytesNow, static_cast<std::size_t>(st.st_size)) == 0)
            old = std::move(bytesNow);
    }
    // Claim the space first, so a full disk stops the save before it changes a byte.
    int error = 0;
    if (old && bytes.size() > old->size() &&
        ::fallocate(fd.get(), 0, 0, static_cast<off_t>(bytes.size())) != 0 && errno != EOPNOTSUPP &&
        errno != ENOSYS)
        error = errno;
    if (!error)
        error = WriteAll(fd.get(), bytes, 0);
    if (!error && ::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) != 0)
        error = errno;
    if (!error && ::fsync(fd.get()) != 0)
        error = errno;
    if (error) {
        if (old) {
            WriteAll(fd.get(), *old, 0);
            ::ftruncate(fd.get(), static_cast<off_t>(old->size()));
            ::fsync(fd.get());
        }
        Fail(FileError::Operation::Write, path, error);
    }
}

mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Removes the temporary file unless the save went through.
class TemporaryFile
{
public:
    explicit TemporaryFile(QByteArray path) : path_(std::move(path)) {}
    ~TemporaryFile()
    {
        if (!path_.isEmpty())
            ::unlink(path_.constData());
    }
    void keep() { path_.clear(); }

private:
    QByteArray path_;
};

void WriteFile(const QByteArray& target, const QString& path, const FileLock& lock,
               std::string_view bytes)
{
    constexpr auto kOp = FileError::Operation::Write;
    // Replacing the file would split it from its other names.
    if (lock.exists && lock.st.st_nlink > 1)
        return WriteInPlace(target, path, bytes);

    const QByteArray folder = FolderOf(target);
    const qsizetype slash = target.lastIndexOf('/');
    QByteArray temp = folder + "/." + target.mid(slash + 1) + ".XXXXXX";
    Fd fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (!fd) {
        const int error = errno;
        if (lock.exists && (error == EACCES || error == EPERM || error == EROFS))
            return WriteInPlace(target, path, bytes); // a folder we may not write to
        Fail(FileError::Operation::OpenForWriting, path, error);
    }
    TemporaryFile cleanup(temp);

    if (lock.exists) {
        struct stat mine {
        };
        if (::fstat(fd.get(), &mine) != 0)
            Fail(kOp, path, errno);
        if ((mine.st_uid != lock.st.st_uid || mine.st_gid != lock.st.st_gid) &&
            ::fchown(fd.get(), lock.st.st_uid, lock.st.st_gid) != 0)
            return WriteInPlace(target, path, bytes); // owner or group would be lost
    }
    // After the owner: changing it clears set-id bits.
    if (::fchmod(fd.get(), lock.exists ? lock.st.st_mode & 07777 : NewFileMode()) != 0)
        Fail(kOp, path, errno);
    if (const int error = WriteAll(fd.get(), bytes, 0))
        Fail(kOp, path, error);
    if (::fsync(fd.get()) != 0)
        Fail(kOp, path, errno);
    if (::close(fd.release()) != 0)
        Fail(kOp, path, errno);
    if (::rename(temp.constData(), target.constData()) != 0)
        Fail(kOp, path, errno);
    cleanup.keep();
    SyncFolder(folder);
}

} // namespace

FileError::FileError(Operation operation, const QString& path, const QString& reason,
                     Problem problem)
    : std::runtime_error(Message(operation, path, reason).toStdString()), operation_(operation),
      problem_(problem), path_(path), reason_(reason)
{
}

void UseLmhostsFile(const QString& file)
{
    ChosenFile() = file;
    ChosenWindowsFolder().clear();
}

void UseWindowsFolder(const QString& folder)
{
    ChosenWindowsFolder() = folder;
    ChosenFile().clear();
}

QString LmhostsPath()
{
    if (!ChosenFile().isEmpty())
        return ChosenFile();
    QString path = WindowsFolder();
    bool onDisk = QFileInfo(path).isDir();
    for (const char* fixed : {"SYSTEM32", "DRIVERS", "ETC", "LMHOSTS"}) {
        QString name = QString::fromLatin1(fixed);
        if (onDisk) {
            const QString found = SpellingOnDisk(path, name);
            if (found.isEmpty())
                onDisk = false;
            else
                name = found;
        }
        path = Join(path, name);
        onDisk = onDisk && QFileInfo(path).isDir();
    }
    return path;
}

void LoadHostTable(HostTable& table)
{
    constexpr auto kOp = FileError::Operation::OpenForReading;
    const QString path = LmhostsPath();
    const QByteArray native = QFile::encodeName(path);
    table.assign(LoadedFile(), {});

    const Fd fd = Open(native, O_RDONLY);
    struct stat st {
    };
    if (!fd) {
        const int error = errno;
        // Nothing there is a new file; anything else is a file we must not
        // replace unasked.
        table.setFileUnread(error != ENOENT && error != ENOTDIR);
        if (::stat(native.constData(), &st) == 0 && !S_ISREG(st.st_mode))
            Fail(kOp, path, FileError::Problem::NotRegularFile);
        Fail(kOp, path, error);
    }
    table.setFileUnread(true); // until the bytes are in
    if (::fstat(fd.get(), &st) != 0)
        Fail(kOp, path, errno);
    if (!S_ISREG(st.st_mode))
        Fail(kOp, path, FileError::Problem::NotRegularFile);
    if (st.st_size > kMaxFileSize)
        Fail(kOp, path, FileError::Problem::TooLarge);

    try {
        // Read straight into the string the table keeps, so the file is held once.
        FileBytes bytes;
        const int error = ReadAll(fd.get(), bytes, static_cast<std::size_t>(st.st_size));
        if (error == EFBIG)
            Fail(kOp, path, FileError::Problem::TooLarge);
        if (error) {
            ReadHostTable(WholeLines(std::move(bytes)), table);
            table.setFileUnread(true);
            Fail(FileError::Operation::Read, path, error);
        }
        // Windows' "Unicode" files. Read as bytes they would be junk, and an edit
        // would write 8-bit text into them.
        const std::string_view start(bytes.data(), std::min<std::size_t>(bytes.size(), 2));
        if (start == "\xFF\xFE" || start == "\xFE\xFF")
            Fail(kOp, path, FileError::Problem::Utf16);
        ReadHostTable(std::move(bytes), table);
    } catch (const std::bad_alloc&) {
        table.assign(LoadedFile(), {});
        table.setFileUnread(true);
        Fail(kOp, path, FileError::Problem::TooLarge);
    }
}

SaveResult SaveHostTable(HostTable& table, SaveMode mode)
{
    const QString path = LmhostsPath();
    const QString folder = QFileInfo(path).path();
    if (ChosenFile().isEmpty() && !QFileInfo(folder).isDir() && QFileInfo(WindowsFolder()).isDir())
        QDir().mkpath(folder); // a failure shows when the file is opened

    if (mode == SaveMode::CheckFirst && table.fileUnread())
        return SaveResult::NotReadAtLoad;

    int linkError = 0;
    const QByteArray target = FollowLinks(QFile::encodeName(path), linkError);
    if (linkError)
        Fail(FileError::Operation::OpenForWriting, path, linkError);

    const FileLock lock = LockFile(target, path);
    if (mode == SaveMode::CheckFirst && DiffersFromTable(table, target))
        return SaveResult::ChangedOnDisk;
    SaveHostTableWith(table, [&](std::string_view bytes) { WriteFile(target, path, lock, bytes); });
    table.setFileUnread(false);
    return SaveResult::Saved;
}

bool HostFileChangedOnDisk(const HostTable& table)
{
    int linkError = 0;
    const QByteArray target = FollowLinks(QFile::encodeName(LmhostsPath()), linkError);
    return linkError != 0 || DiffersFromTable(table, target);
}
