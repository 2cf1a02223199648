#pragma once

#include "hostentry.h"
#include "hugepages.h"
#include "loadedfile.h"
#include "textencoding.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A large file's entries fill a big block: on huge pages, it takes a fraction of
// the page faults.
using HostEntries = std::vector<HostEntry, BigBlockAllocator<HostEntry>>;

// The entries of one LMHOSTS file in file order, followed by the entries added
// while editing. Held by value.
//
// Besides the entries the table holds the file it was loaded from, and for each
// entry the line it was read from, so that a save can write back every line it
// did not change byte for byte.
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
    bool fileUnread() const { return file_.unread(); }
    void setFileUnread(bool unread) { file_.setUnread(unread); }

    // The file as loaded or last saved.
    const LoadedFile& file() const { return file_; }
    LoadedFile& file() { return file_; }
    // The entry line of file() that entry `index` was read from; kNoLine for an
    // entry added since.
    static constexpr std::size_t kNoLine = ~std::size_t{0};
    std::size_t fileLineOf(int index) const;

    // Replaces everything: entry k is the one read from the file's entry line k.
    void assign(LoadedFile file, HostEntries entries);
    // The entries as they are are now entry lines 0, 1, ... of `file`: the file
    // a save wrote.
    void rebase(LoadedFile file);

private:
    HostEntries entries_;
    // Each entry's line in file_, or kNoLineIndex. 32 bits hold the lines of
    // any file much larger than the editor opens. Empty until the first
    // removal: till then entry k < readLines_ is line k, and later ones are added.
    std::vector<std::uint32_t, BigBlockAllocator<std::uint32_t>> lines_;
    std::size_t readLines_ = 0;
    LoadedFile file_;

    static constexpr std::uint32_t kNoLineIndex = ~std::uint32_t{0};
};
