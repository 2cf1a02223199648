// Any bytes: written back unchanged they come out the same; after editing some
// entries the edited entries read back as edited and every other line stays.

#include "lmhostsformat.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

struct Line {
    std::string content;
    std::string lineBreak;
};

std::vector<Line> Lines(const std::string& bytes)
{
    std::vector<Line> lines;
    std::size_t p = bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    while (p < bytes.size()) {
        const std::size_t nl = bytes.find('\n', p);
        if (nl == std::string::npos) {
            lines.push_back({bytes.substr(p), ""});
            break;
        }
        const bool crlf = nl > p && bytes[nl - 1] == '\r';
        lines.push_back({bytes.substr(p, nl - p - crlf), crlf ? "\r\n" : "\n"});
        p = nl + 1;
    }
    return lines;
}

std::vector<Line> NonEntryLines(const std::string& bytes)
{
    std::vector<Line> out;
    for (Line& line : Lines(bytes)) {
        if (!ParseLmhostsLine(line.content))
            out.push_back(std::move(line));
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    HostTable table;
    ReadHostTable(bytes, table);
    Check(WriteHostTable(table) == bytes, "unchanged table writes the same bytes");

    // Edits picked from the input itself, so the fuzzer steers them.
    const std::uint8_t seed = size ? data[size - 1] : 0;
    for (int i = table.size() - 1; i >= 0; --i) {
        const int pick = (seed + i) % 5;
        HostEntry& e = table.at(i);
        if (pick == 0) {
            table.removeAt(i);
        } else if (pick == 1) {
            e.octet4 = (e.octet4 + 1) % 256;
            e.hostname += "x";
        } else if (pick == 2) {
            e.preload = !e.preload;
            e.comment = e.comment.empty() ? "edited" : "";
        }
    }
    if (seed & 1) {
        HostEntry added;
        added.hostname = "added";
        added.octet1 = 10;
        added.domain = "D";
        table.append(added);
    }
    const HostTable edited = table;

    std::string written;
    HostTableIo::save(table, [&](std::string_view b) { written.assign(b); });
    Check(WriteHostTable(table) == written, "saved file is the new baseline");
    Check(WriteHostTable(edited) == written, "save and write agree");

    HostTable back;
    ReadHostTable(written, back);
    Check(back.size() == edited.size(), "one line per entry");
    for (int i = 0; i < back.size(); ++i) {
        if (LineCanHold(edited.at(i)))
            Check(back.at(i) == edited.at(i), "entry reads back as edited");
    }

    // Lines that are not entries stay, in order; only a last line without a
    // line break may gain one.
    const std::vector<Line> before = NonEntryLines(bytes);
    const std::vector<Line> after = NonEntryLines(written);
    Check(before.size() == after.size(), "same lines that are not entries");
    for (std::size_t i = 0; i < before.size(); ++i) {
        Check(before[i].content == after[i].content, "line kept");
        Check(before[i].lineBreak == after[i].lineBreak || before[i].lineBreak.empty(),
              "line break kept");
    }
    Check(written.starts_with("\xEF\xBB\xBF") == bytes.starts_with("\xEF\xBB\xBF"),
          "byte-order mark kept");
    return 0;
}
