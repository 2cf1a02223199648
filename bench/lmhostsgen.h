#pragma once

#include <string>

// A realistic LMHOSTS file of `entries` entry lines, CRLF: plain, quoted, #PRE,
// #DOM: and #COMMENT: entries, with a comment line before every tenth entry.
// The same count always gives the same bytes.
std::string GenerateLmhosts(int entries);

// One entry whose comment (or, with `inName`, whose hostname) is `bytes` long.
std::string GenerateLongLine(std::size_t bytes, bool inName);
