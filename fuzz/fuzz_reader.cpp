// Any bytes: read them as an LMHOSTS file, write every entry as a line and read
// the line back. Also checks the address scan against the C library's sscanf.

#include "lmhostsdocument.h"
#include "lmhostsline.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The first line, if it has no NUL and is an entry line, scanned by sscanf.
void CompareWithSscanf(const std::string& bytes)
{
    std::string line = bytes.substr(0, bytes.find('\n'));
    if (line.find('\0') != std::string::npos)
        return;
    std::size_t start = 0;
    while (start < line.size() && IsBlank(line[start]))
        ++start;
    if (start == line.size() || line[start] == '#' || line[0] == '\x1A')
        return;
    std::string scan = line.substr(start);
    for (std::size_t i = 0; i < scan.size() && i < 15; ++i) {
        if (scan[i] == '.')
            scan[i] = '$';
    }
    int o[4] = {0, 0, 0, 0};
    std::sscanf(scan.c_str(), "%3i$%3i$%3i$%3i", &o[0], &o[1], &o[2], &o[3]);
    const std::optional<HostEntry> e = ParseLmhostsLine(line);
    Check(e.has_value(), "entry line read as an entry");
    Check(e->octet1 == o[0] && e->octet2 == o[1] && e->octet3 == o[2] && e->octet4 == o[3],
          "octets as sscanf reads them");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CompareWithSscanf(bytes);

    HostTable table;
    ReadHostTable(bytes, table);
    for (int i = 0; i < table.size(); ++i) {
        const HostEntry& e = table.at(i);
        const std::string line = FormatLmhostsLine(e);
        Check(!line.empty() && line.back() == '\n', "line ends in a line feed");
        const std::optional<HostEntry> back =
            ParseLmhostsLine(std::string_view(line).substr(0, line.size() - 1));
        Check(back.has_value(), "formatted line is an entry");
        if (LineCanHold(e))
            Check(*back == e, "formatted line reads back as the entry");
    }
    return 0;
}
