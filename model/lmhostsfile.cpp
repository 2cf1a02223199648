#include "lmhostsfile.h"

#include "lmhostsformat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstring>

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

QString WindowsFolder()
{
    QString root = qEnvironmentVariable("SystemRoot");
    if (root.isEmpty()) {
        QString prefix = qEnvironmentVariable("WINEPREFIX");
        if (prefix.isEmpty())
            prefix = qEnvironmentVariable("HOME") + QStringLiteral("/.wine");
        root = prefix + QStringLiteral("/drive_c/windows");
    }
    root.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return root;
}

// The name in `folder` that equals `name` ignoring case, an exact match first.
QString SpellingOnDisk(const QString& folder, const QString& name)
{
    const QStringList entries = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    if (entries.contains(name))
        return name;
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

} // namespace

FileError::FileError(Operation operation, const QString& path, const QString& reason)
    : std::runtime_error(Message(operation, path, reason).toStdString()), operation_(operation),
      path_(path), reason_(reason)
{
}

QString LmhostsPath()
{
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
    const QString path = LmhostsPath();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        HostTableIo::read({}, table);
        HostTableIo::setFileExists(table, false);
        throw FileError(FileError::Operation::OpenForReading, path, file.errorString());
    }
    // Read straight into the string the table keeps, so the file is held once.
    FileBytes bytes(static_cast<std::size_t>(std::max<qint64>(file.size(), 0)), '\0');
    std::size_t got = 0;
    for (;;) {
        qint64 n;
        if (got < bytes.size()) {
            n = file.read(bytes.data() + got, static_cast<qint64>(bytes.size() - got));
        } else {
            // Past the size known at open: the file grew, or has no size (a pipe).
            char more[65536];
            n = file.read(more, sizeof more);
            if (n > 0)
                bytes.append(more, static_cast<std::size_t>(n));
        }
        if (n < 0) {
            const QString reason = file.errorString();
            bytes.resize(got);
            HostTableIo::read(WholeLines(std::move(bytes)), table);
            throw FileError(FileError::Operation::Read, path, reason);
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    HostTableIo::read(std::move(bytes), table);
}

void SaveHostTable(HostTable& table)
{
    const QString path = LmhostsPath();
    const QString folder = QFileInfo(path).path();
    if (!QFileInfo(folder).isDir() && QFileInfo(WindowsFolder()).isDir())
        QDir().mkpath(folder); // a failure shows when the file is opened

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(FileError::Operation::OpenForWriting, path, file.errorString());
    HostTableIo::save(table, [&](std::string_view bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const qint64 chunk =
                static_cast<qint64>(std::min<std::size_t>(bytes.size() - done, 1 << 30));
            const qint64 n = file.write(bytes.data() + done, chunk);
            if (n <= 0) {
                const QString reason = file.errorString();
                file.cancelWriting();
                throw FileError(FileError::Operation::Write, path, reason);
            }
            done += static_cast<std::size_t>(n);
        }
        if (!file.commit())
            throw FileError(FileError::Operation::Write, path, file.errorString());
    });
}

bool HostFileChangedOnDisk(const HostTable& table)
{
    const QString path = LmhostsPath();
    const bool existsNow = QFileInfo::exists(path);
    if (!HostTableIo::fileExists(table) || !existsNow)
        return existsNow != HostTableIo::fileExists(table);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    const FileBytes& known = HostTableIo::file(table);
    std::size_t at = 0;
    char buffer[65536];
    for (;;) {
        const qint64 n = file.read(buffer, sizeof buffer);
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
