#pragma once

#include <string_view>

// Character encoding of an LMHOSTS file's bytes.
enum class TextEncoding {
    Utf8,
    Windows1252,
};

// The encoding the file's bytes are in: UTF-8 when they are valid UTF-8 and
// start with a UTF-8 byte-order mark or are not all ASCII; Windows-1252, which
// maps every byte, otherwise.
TextEncoding DetectTextEncoding(std::string_view bytes);
