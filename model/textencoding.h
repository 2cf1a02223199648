#pragma once

// Character encoding of an LMHOSTS file's bytes.
enum class TextEncoding {
    Utf8,
    Windows1252,
};
