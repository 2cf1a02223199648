#pragma once

#include "hostentry.h"
#include "textencoding.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct HostTableIo;

void* AllocateBigBlock(std::size_t bytes);
void FreeBigBlock(void* block, std::size_t bytes);

// For the table's two big blocks, the file and the entries: blocks of a few
// megabytes and more go on huge pages where the system offers them, which makes
// first touching the memory of a large file several times cheaper.
template <class T> struct BigBlockAllocator {
    using value_type = T;
    BigBlockAllocator() = default;
    template <class U> BigBlockAllocator(const BigBlockAllocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(AllocateBigBlock(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) { FreeBigBlock(p, n * sizeof(T)); }
    template <class U> bool operator==(const BigBlockAllocator<U>&) const { return true; }
};

using FileBytes = std::basic_string<char, std::char_traits<char>, BigBlockAllocator<char>>;

// Where an entry came from: its line in the table's file and what that line reads as,
// so the writer can tell an untouched entry from an edited one without
// parsing the line again. Offsets inside the line are 32-bit to keep the
// slot small; `spansValid` is false for lines too long for them.
struct LineOrigin {
    std::uint64_t lineStart = NoLine;
    std::uint64_t contentLength = 0; // without the line break
    std::uint32_t nameStart = 0, nameLength = 0;
    std::uint32_t domainStart = 0, domainLength = 0;
    std::uint32_t commentStart = 0, commentLength = 0;
    // For a line the writer made: where it put the words kept from the old line.
    std::uint32_t keptStart = 0, keptLength = 0;
    std::int32_t octets[4] = {0, 0, 0, 0};
    std::uint8_t breakLength = 0; // 0, 1 (LF) or 2 (CRLF)
    bool preload = false;
    bool spansValid = true;
    // Made by the writer: the spans say where it put the entry's texts, which
    // need not be what the line reads as (a name with a quote, say).
    bool written = false;

    static constexpr std::uint64_t NoLine = ~std::uint64_t{0};
    bool fromFile() const { return lineStart != NoLine; }
};

using LineOrigins = std::vector<LineOrigin, BigBlockAllocator<LineOrigin>>;

// The entries of one LMHOSTS file in file order, followed by the entries added
// while editing. Held by value.
//
// Besides the entries the table remembers the file it was loaded from, so that a
// save can write back every line it did not change byte for byte.
class HostTable
{
public:
    int size() const;
    HostEntry& at(int index);
    const HostEntry& at(int index) const;
    // Returns the new entry's index: the size before the call.
    int append(HostEntry entry);
    // Later entries move down one position, keeping their order.
    void removeAt(int index);

    // Encoding of the file's texts; a table that was not loaded from a file
    // holds Windows-1252, the ANSI code page of Windows.
    TextEncoding encoding() const;

    // The file was there at load but could not be read, or was refused: what
    // it holds is not in the table, so a save must not replace it unasked.
    bool fileUnread() const { return fileUnread_; }
    void setFileUnread(bool unread) { fileUnread_ = unread; }

private:
    friend struct HostTableIo;

    struct Slot {
        HostEntry entry;
        LineOrigin origin;
    };
    std::vector<Slot, BigBlockAllocator<Slot>> slots_;
    // The file as loaded or last saved, byte-order mark included.
    FileBytes file_;
    std::size_t bodyStart_ = 0;      // after a byte-order mark
    std::size_t fileEntryLines_ = 0; // entry lines in `file_`
    bool fileExists_ = false;        // the file was there at load or save
    bool fileUnread_ = false;
    bool crlf_ = true; // line break for lines the writer adds
    TextEncoding encoding_ = TextEncoding::Windows1252;
};
