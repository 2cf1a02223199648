#pragma once

#include "hugepages.h"
#include "textencoding.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A file's bytes; a large file's on huge pages.
using FileBytes = std::basic_string<char, std::char_traits<char>, BigBlockAllocator<char>>;

// The file a host table was read from or last written to, as far as a save
// needs it to write back every line it did not change: its bytes and where its
// entry lines start. Built by the reader and the writer (lmhostsdocument.h).
class LoadedFile
{
public:
    // No file: nothing was there.
    LoadedFile() = default;
    // `bytes` as read; `tailStart` is where the part Windows does not read
    // starts (a Ctrl-Z), the file's size when there is none.
    LoadedFile(FileBytes bytes, std::size_t bomLength, std::size_t tailStart, bool crlf,
               TextEncoding encoding);

    // The whole file, byte-order mark included.
    const FileBytes& bytes() const { return bytes_; }
    std::size_t bomLength() const { return bomLength_; }
    std::size_t tailStart() const { return tailStart_; }
    // Line break for lines added to the file.
    bool crlf() const { return crlf_; }
    // Windows-1252 for a table that was not read from a file.
    TextEncoding encoding() const { return encoding_; }

    // The file was there at load or save.
    bool existed() const { return existed_; }
    void setExisted(bool existed) { existed_ = existed; }
    // The file was there at load but could not be read, or was refused.
    bool unread() const { return unread_; }
    void setUnread(bool unread) { unread_ = unread; }

    // The lines that hold entries, in file order: where line k starts.
    std::size_t entryLineCount() const { return lineStarts_.size(); }
    std::size_t entryLineStart(std::size_t k) const { return lineStarts_[k]; }
    void reserveEntryLines(std::size_t count) { lineStarts_.reserve(count); }
    void addEntryLine(std::size_t start) { lineStarts_.push_back(start); }

    // A line the writer made from an entry keeps words of the entry's old line;
    // what an edit of the entry keeps again is where it put them, which need not
    // be what the line reads as (a name with a quote, say).
    struct KeptWords {
        std::size_t start = 0; // in bytes()
        std::size_t length = 0;
    };
    // For a file the writer made: where its entry lines start, and the kept
    // words of those it made, by line number in increasing order.
    using LineStarts = std::vector<std::uint64_t, BigBlockAllocator<std::uint64_t>>;
    void setEntryLines(LineStarts starts, std::vector<std::pair<std::size_t, KeptWords>> made);
    // Null for a line that was read, not made by the writer.
    const KeptWords* keptWords(std::size_t k) const;

private:
    FileBytes bytes_;
    std::size_t bomLength_ = 0;
    std::size_t tailStart_ = 0;
    bool crlf_ = true;
    TextEncoding encoding_ = TextEncoding::Windows1252;
    bool existed_ = false;
    bool unread_ = false;
    LineStarts lineStarts_;
    // Sorted by line; few: only the lines the last save changed or added.
    std::vector<std::pair<std::size_t, KeptWords>> written_;
};
