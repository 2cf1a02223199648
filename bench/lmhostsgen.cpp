#include "lmhostsgen.h"

#include <cstdio>

std::string GenerateLmhosts(int entries)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(entries) * 56);
    char line[160];
    for (int i = 0; i < entries; ++i) {
        const int a = (i >> 16) & 255, b = (i >> 8) & 255, c = i & 255;
        if (i % 10 == 0) {
            std::snprintf(line, sizeof line, "# block %d\r\n", i / 10);
            out += line;
        }
        switch (i % 5) {
        case 0:
            std::snprintf(line, sizeof line, "10.%d.%d.%d\thost%d\r\n", a, b, c, i);
            break;
        case 1:
            std::snprintf(line, sizeof line, "192.%d.%d.%d     \"Print Room %d\"    #PRE\r\n", a, b,
                          c, i);
            break;
        case 2:
            std::snprintf(line, sizeof line, "172.%d.%d.%d   DC%d   #PRE  #DOM:CORP%d\r\n", a, b, c,
                          i, i % 7);
            break;
        case 3:
            std::snprintf(line, sizeof line,
                          "10.%d.%d.%d   FileSrv%d   #COMMENT:file server %d, floor %d\r\n", a, b,
                          c, i, i, i % 9);
            break;
        default:
            std::snprintf(line, sizeof line, "10.%d.%d.%d   app%d   #DOM:LAB #MH\r\n", a, b, c, i);
            break;
        }
        out += line;
    }
    return out;
}

std::string GenerateLongLine(std::size_t bytes, bool inName)
{
    std::string text;
    text.reserve(bytes);
    // Words of a few letters, as a pasted document would have.
    static const char* const kWords[] = {"alpha ", "bravo ", "charlie ", "delta ", "echo "};
    for (std::size_t i = 0; text.size() < bytes; ++i)
        text += kWords[i % 5];
    text.resize(bytes);
    if (inName) {
        for (char& c : text)
            c = c == ' ' ? '-' : c;
        return "10.0.0.1\t\"" + text + "\"\r\n";
    }
    return "10.0.0.1\tbig\t#COMMENT:" + text + "\r\n";
}
