#pragma once

#include "hosttable.h"

#include <QString>

#include <stdexcept>

// The LMHOSTS file on disk.

// A file that could not be opened, read or written. what() is an English
// message; the editor builds its own, translated, from the parts.
class FileError : public std::runtime_error
{
public:
    enum class Operation { OpenForReading, Read, OpenForWriting, Write };
    // What went wrong when the system's own reason does not say it.
    enum class Problem {
        System,         // see reason()
        NotRegularFile, // a folder, pipe, device or socket
        TooLarge,       // more than kMaxFileSize, or more than memory holds
        Utf16,          // a "Unicode" file, which the editor does not write
        Locked,         // another program holds the file's lock
    };

    FileError(Operation operation, const QString& path, const QString& reason,
              Problem problem = Problem::System);

    Operation operation() const { return operation_; }
    Problem problem() const { return problem_; }
    QString path() const { return path_; }
    // The system's description of the failure, e.g. "No such file or directory";
    // an English one for the other problems.
    QString reason() const { return reason_; }

private:
    Operation operation_;
    Problem problem_;
    QString path_;
    QString reason_;
};

// "SystemRoot" (or, when unset or empty, the Windows folder of the Wine prefix
// $WINEPREFIX, default $HOME/.wine) followed by SYSTEM32/DRIVERS/ETC/LMHOSTS.
// Backslashes separate folders. Each of the four names is looked up on disk
// ignoring case, so a Windows tree spelled "System32/drivers/etc/lmhosts" is
// found; a name not on disk keeps the spelling above. Built afresh every call.
QString LmhostsPath();

// Makes LmhostsPath() name this file, whatever it is called, instead.
void UseLmhostsFile(const QString& file);
// Makes LmhostsPath() look below this Windows folder instead of "SystemRoot".
void UseWindowsFolder(const QString& folder);

// The largest file the editor opens.
constexpr qint64 kMaxFileSize = qint64{1} << 30;

// Replaces the table with the file's entries. Throws FileError; after a read
// error the table holds the entries of the lines read before it. Only a
// regular file is read; anything else fails at once, without blocking.
void LoadHostTable(HostTable& table);

enum class SaveMode {
    CheckFirst, // write only if the file is as the table last saw it
    Overwrite,  // the user agreed to replace what is on disk
};
enum class SaveResult {
    Saved,
    ChangedOnDisk, // CheckFirst found another program's change; nothing written
    NotReadAtLoad, // CheckFirst: the file could not be read at load; nothing written
};

// Writes the table. The check and the write happen under an exclusive lock on
// the file, so two editors saving at once cannot lose an edit unasked.
// Normally a temporary file with the old owner, group and mode replaces the old
// one once it is complete and on disk. Where that would lose owner, group or
// other hard links, or the folder is not writable, the file is rewritten in
// place and its old bytes are put back if that fails. Either way a failed save
// throws FileError and leaves the old file as it was. Links are followed; a
// file that is not a regular file is never replaced. Missing
// SYSTEM32/DRIVERS/ETC folders are created when the Windows folder exists.
// Afterwards the written file is what the table compares against.
SaveResult SaveHostTable(HostTable& table, SaveMode mode = SaveMode::CheckFirst);

// Whether the file was created, removed or changed since the table was loaded
// or last saved. A file that cannot be read counts as changed.
bool HostFileChangedOnDisk(const HostTable& table);
