#include "textencoding.h"

#include <cstdint>
#include <cstring>

namespace
{

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

} // namespace

TextEncoding DetectTextEncoding(std::string_view s)
{
    // A byte-order mark alone does not make a file UTF-8: behind it may be
    // Windows-1252 text, which a UTF-8 decoding would not give back.
    bool nonAscii = s.starts_with(kUtf8Bom);
    if (nonAscii)
        s.remove_prefix(kUtf8Bom.size());
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n) {
        // Runs of ASCII are the common case; skip them eight bytes at a time.
        while (i + 8 <= n) {
            std::uint64_t word;
            std::memcpy(&word, s.data() + i, 8);
            if (word & 0x8080808080808080ull)
                break;
            i += 8;
        }
        if (i >= n)
            break;
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        nonAscii = true;
        int more;
        std::uint32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            cp = c & 0x07;
        } else {
            return TextEncoding::Windows1252;
        }
        if (i + more >= n)
            return TextEncoding::Windows1252;
        for (int k = 1; k <= more; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80)
                return TextEncoding::Windows1252;
            cp = (cp << 6) | (cc & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
        if ((more == 2 && cp < 0x800) || (more == 3 && cp < 0x10000) || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return TextEncoding::Windows1252;
        i += more + 1;
    }
    return nonAscii ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}
