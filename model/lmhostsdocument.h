#pragma once

#include "hosttable.h"

#include <functional>
#include <string>
#include <string_view>

// An LMHOSTS file as a whole, on bytes: which lines are entries, what a save
// writes. No file access here: see lmhostsfile.h for that.

// Replaces the table's entries and file with those of `bytes`. From a Ctrl-Z at
// the start of a line on, the file holds no entries: Windows reads a text file
// only up to it.
void ReadHostTable(FileBytes bytes, HostTable& table);
void ReadHostTable(std::string_view bytes, HostTable& table);

// The file the table stands for. Unchanged entries and every line that is not
// an entry come back byte for byte; an edited entry is written anew, keeping the
// words of its old line that are not part of the entry; added entries go after
// the last line, but before a Ctrl-Z that ends the file's entries.
std::string WriteHostTable(const HostTable& table);

// The table's file when that is what WriteHostTable would write, else nullptr.
const FileBytes* UnchangedFile(const HostTable& table);

// Hands the bytes WriteHostTable gives to `writeAll`; once it returns, they are
// the table's file, which existed. If it throws, the table stays as it was.
void SaveHostTableWith(HostTable& table, const std::function<void(std::string_view)>& writeAll);
