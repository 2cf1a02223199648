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

    FileError(Operation operation, const QString& path, const QString& reason);

    Operation operation() const { return operation_; }
    QString path() const { return path_; }
    // The system's description of the failure, e.g. "No such file or directory".
    QString reason() const { return reason_; }

private:
    Operation operation_;
    QString path_;
    QString reason_;
};

// "SystemRoot" (or, when unset or empty, the Windows folder of the Wine prefix
// $WINEPREFIX, default $HOME/.wine) followed by SYSTEM32/DRIVERS/ETC/LMHOSTS.
// Backslashes separate folders. Each of the four names is looked up on disk
// ignoring case, so a Windows tree spelled "System32/drivers/etc/lmhosts" is
// found; a name not on disk keeps the spelling above. Built afresh every call.
QString LmhostsPath();

// Replaces the table with the file's entries. Throws FileError; after a read
// error the table holds the entries of the lines read before it.
void LoadHostTable(HostTable& table);

// Writes the table through a temporary file that replaces the old one only
// once it is complete, so a failed save leaves the old file as it was. Missing
// SYSTEM32/DRIVERS/ETC folders are created when the Windows folder exists.
// Afterwards the written file is what the table compares against.
void SaveHostTable(HostTable& table);

// Whether the file was created, removed or changed since the table was loaded
// or last saved. A file that cannot be read counts as changed.
bool HostFileChangedOnDisk(const HostTable& table);
