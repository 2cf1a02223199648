#pragma once

#include "hostentry.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// One line of an LMHOSTS file, without its line break: how it reads as an
// entry and how an entry is written as a line.

// No entry for blank lines, lines whose first non-blank character is "#" and
// lines starting with Ctrl-Z. Every line is read on its own: octets the address
// does not reach are 0.
std::optional<HostEntry> ParseLmhostsLine(std::string_view line);
// The same into `entry`, which a line that is not an entry leaves as it was.
bool ParseLmhostsLine(std::string_view line, HostEntry& entry);

// The entry as one line, ending in "\n". A line break inside a text goes out as
// a space, so that the entry stays one line.
std::string FormatLmhostsLine(const HostEntry& entry);

// Whether FormatLmhostsLine writes a line that reads back as the same entry:
// octets of at most three characters, no quote in the name, no blank in the
// domain, no line break, no keyword inside a text.
bool LineCanHold(const HostEntry& entry);

// Whether ParseLmhostsLine reads an entry from the line.
bool IsEntryLine(std::string_view line);

// Whether the line reads as exactly this entry.
bool LineReadsAs(std::string_view line, const HostEntry& entry);

// Words of an entry line that its entry does not hold: those after the name
// and before "#COMMENT:", except the keyword words, joined by single spaces.
std::string UnusedWords(std::string_view line);

// Appends the entry as FormatLmhostsLine writes it, without the line break,
// with `kept` (words of an old line) before the comment. Returns where `kept`
// starts in `out`.
std::size_t AppendEntryLine(std::string& out, const HostEntry& entry, std::string_view kept);
