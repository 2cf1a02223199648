#include "addressscan.h"

namespace
{

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

int DigitValue(char c, int base)
{
    int d;
    if (c >= '0' && c <= '9')
        d = c - '0';
    else if (c >= 'a' && c <= 'f')
        d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        d = c - 'A' + 10;
    else
        return -1;
    return d < base ? d : -1;
}

// One "%3i" conversion as glibc's scanf does it: blanks skipped and not counted,
// the width counts the sign and a "0x" prefix, "0x" without digits reads as 0.
bool ScanNumber(std::string_view s, std::size_t& pos, std::int32_t& value)
{
    std::size_t i = pos;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    int width = 3;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
        --width;
    }
    int base = 10;
    bool digits = false;
    std::int32_t v = 0;
    if (i < s.size() && s[i] == '0') {
        ++i;
        --width;
        digits = true;
        base = 8;
        if (width > 0 && i < s.size() && (s[i] == 'x' || s[i] == 'X')) {
            ++i;
            --width;
            base = 16;
        }
    }
    for (; width > 0 && i < s.size(); ++i, --width) {
        const int d = DigitValue(s[i], base);
        if (d < 0)
            break;
        v = v * base + d;
        digits = true;
    }
    if (!digits)
        return false;
    value = negative ? -v : v;
    pos = i;
    return true;
}

bool IsSeparator(std::string_view s, std::size_t i)
{
    return s[i] == '$' || (s[i] == '.' && i < 15);
}

} // namespace

void ScanAddress(std::string_view s, std::int32_t (&octets)[4])
{
    std::size_t pos = 0;
    for (int k = 0; k < 4; ++k) {
        if (k > 0) {
            if (pos >= s.size() || !IsSeparator(s, pos))
                return;
            ++pos;
        }
        if (!ScanNumber(s, pos, octets[k]))
            return;
    }
}
