#pragma once

#include "hostentry.h"
#include "hosttable.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The LMHOSTS line format and whole-file reading and writing on bytes. No file
// access here: see lmhostsfile.h for that.

// One line, without its line break. No entry for blank lines, lines whose
// first non-blank character is "#" and lines starting with Ctrl-Z. Every line is read on its own:
// octets the address does not reach are 0.
std::optional<HostEntry> ParseLmhostsLine(std::string_view line);

// The entry as one line, ending in "\n". A line break inside a text goes out as
// a space, so that the entry stays one line.
std::string FormatLmhostsLine(const HostEntry& entry);

// Whether FormatLmhostsLine writes a line that reads back as the same entry:
// octets of at most three characters, no quote in the name, no blank in the
// domain, no line break, no keyword inside a text.
bool LineCanHold(const HostEntry& entry);

// Replaces the table's entries and remembered file with those of `bytes`.
// From a Ctrl-Z at the start of a line on, the file holds no entries: Windows
// reads a text file only up to it.
void ReadHostTable(std::string bytes, HostTable& table);

// The file the table stands for. Unchanged entries and every line that is not
// an entry come back byte for byte; an edited entry is written anew, keeping the
// words of its old line that are not part of the entry; added entries go after
// the last line, but before a Ctrl-Z that ends the file's entries.
std::string WriteHostTable(const HostTable& table);

// The encoding the file's bytes are in: UTF-8 when they are valid UTF-8 and
// start with a UTF-8 byte-order mark or are not all ASCII; Windows-1252, which
// maps every byte, otherwise.
TextEncoding DetectTextEncoding(std::string_view bytes);

// Access to the table's remembered file, for the file edge.
struct HostTableIo {
    static void read(FileBytes bytes, HostTable& table);
    // The remembered file when nothing changed, else nullptr.
    static const FileBytes* unchangedFile(const HostTable& table);
    // The bytes to write; `origins` receives where each entry lands in them.
    static FileBytes write(const HostTable& table, LineOrigins* origins);
    // Hands the bytes to `writeAll`; once it returns, they are the remembered
    // file. If it throws, the table stays as it was.
    static void save(HostTable& table, const std::function<void(std::string_view)>& writeAll);
    static const FileBytes& file(const HostTable& table) { return table.file_; }
    static bool fileExists(const HostTable& table) { return table.fileExists_; }
    static void setFileExists(HostTable& table, bool exists) { table.fileExists_ = exists; }
    static std::size_t fileEntryLines(const HostTable& table) { return table.fileEntryLines_; }
    static void clear(HostTable& table);
};
