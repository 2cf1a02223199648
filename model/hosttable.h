#pragma once

#include "hostentry.h"
#include "textencoding.h"

#include <vector>

// The entries of one LMHOSTS file in file order, followed by the entries added
// while editing. Held by value.
//
// Besides the entries the table remembers the file it was loaded from, so that a
// save can write back every line it did not change byte for byte.
class HostTable {
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

private:
    // Internals (file origin of each entry, the loaded bytes, ...) belong to the
    // reader and writer.
    std::vector<HostEntry> entries_;
};
