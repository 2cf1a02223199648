// Any bytes: written back unchanged they come out the same; after editing some
// entries the edited entries read back as edited and every other line stays.
// One field edited the way the editor does it, with every text of the entry
// passing through the table's encoding, changes no other byte of the file.

#include "lmhostsdocument.h"
#include "lmhostsline.h"
#include "textcodec.h"

#include <QString>

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

// The file's parts: byte-order mark, the lines Windows reads, and what follows
// a Ctrl-Z that starts a line.
struct Parts {
    bool bom = false;
    std::vector<Line> lines;
    std::string tail;
};

Parts Split(const std::string& bytes)
{
    Parts parts;
    parts.bom = bytes.starts_with("\xEF\xBB\xBF");
    std::size_t p = parts.bom ? 3 : 0;
    while (p < bytes.size()) {
        if (bytes[p] == '\x1A') {
            parts.tail = bytes.substr(p);
            break;
        }
        const std::size_t nl = bytes.find('\n', p);
        if (nl == std::string::npos) {
            parts.lines.push_back({bytes.substr(p), ""});
            break;
        }
        const bool crlf = nl > p && bytes[nl - 1] == '\r';
        parts.lines.push_back({bytes.substr(p, nl - p - crlf), crlf ? "\r\n" : "\n"});
        p = nl + 1;
    }
    return parts;
}

std::vector<Line> NonEntryLines(const std::vector<Line>& lines)
{
    std::vector<Line> out;
    for (const Line& line : lines) {
        if (!ParseLmhostsLine(line.content))
            out.push_back(line);
    }
    return out;
}

// Edits several entries at once, with appends and removals.
void CheckEdits(const std::string& bytes, std::uint8_t seed)
{
    HostTable table;
    ReadHostTable(bytes, table);
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
    SaveHostTableWith(table, [&](std::string_view b) { written.assign(b); });
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
    const Parts old = Split(bytes);
    const Parts now = Split(written);
    const std::vector<Line> before = NonEntryLines(old.lines);
    const std::vector<Line> after = NonEntryLines(now.lines);
    Check(before.size() == after.size(), "same lines that are not entries");
    for (std::size_t i = 0; i < before.size(); ++i) {
        Check(before[i].content == after[i].content, "line kept");
        Check(before[i].lineBreak == after[i].lineBreak || before[i].lineBreak.empty(),
              "line break kept");
    }
    Check(now.bom == old.bom, "byte-order mark kept");
    Check(now.tail == old.tail, "bytes from a Ctrl-Z on kept");
}

// Characters typed into a text: ASCII, Latin-1, Windows-1252 only, neither.
constexpr char16_t Typed[] = {u'x', u' ', u'#', u'"', u'\u00E9', u'\u20AC', u'\u4E2D', u'\uFEFF'};

// One field of one entry edited as the editor does it: the dialog shows the
// entry's texts decoded and takes all of them back encoded, whichever the user
// changed.
void CheckEditorEdit(const std::string& bytes, std::uint8_t entryPick, std::uint8_t fieldPick,
                     std::uint8_t value)
{
    HostTable table;
    ReadHostTable(bytes, table);
    if (table.size() == 0)
        return;
    const int index = entryPick % table.size();
    const TextEncoding encoding = table.encoding();
    HostEntry& e = table.at(index);
    HostEntry expected = e;

    std::string* const texts[3] = {&e.hostname, &e.domain, &e.comment};
    std::string* const expectedTexts[3] = {&expected.hostname, &expected.domain, &expected.comment};
    QString shown[3];
    for (int k = 0; k < 3; ++k)
        shown[k] = DecodeText(*texts[k], encoding);

    const int field = fieldPick % 8;
    if (field < 3) {
        const QString typed = QString(QChar(Typed[value % std::size(Typed)]));
        const std::optional<std::string> typedBytes = EncodeText(typed, encoding);
        if (!typedBytes)
            return; // the editor refuses the text and changes nothing
        shown[field] += typed;
        *expectedTexts[field] += *typedBytes;
    } else if (field < 7) {
        std::int32_t* const octets[4] = {&e.octet1, &e.octet2, &e.octet3, &e.octet4};
        std::int32_t* const expectedOctets[4] = {&expected.octet1, &expected.octet2,
                                                 &expected.octet3, &expected.octet4};
        *octets[field - 3] = value;
        *expectedOctets[field - 3] = value;
    } else {
        e.preload = !e.preload;
        expected.preload = e.preload;
    }
    for (int k = 0; k < 3; ++k) {
        std::optional<std::string> back = EncodeText(shown[k], encoding);
        Check(back.has_value(), "a text read from the file encodes again");
        *texts[k] = std::move(*back);
    }
    Check(e == expected, "texts the user did not touch keep their bytes");

    std::string written;
    SaveHostTableWith(table, [&](std::string_view b) { written.assign(b); });

    const Parts old = Split(bytes);
    const Parts now = Split(written);
    Check(now.bom == old.bom, "byte-order mark kept");
    Check(now.tail == old.tail, "bytes from a Ctrl-Z on kept");
    Check(now.lines.size() == old.lines.size(), "no line added or removed");
    int entry = -1;
    for (std::size_t i = 0; i < old.lines.size(); ++i) {
        const bool isEntry = ParseLmhostsLine(old.lines[i].content).has_value();
        entry += isEntry;
        Check(now.lines[i].lineBreak == old.lines[i].lineBreak, "line break kept");
        if (!isEntry || entry != index) {
            Check(now.lines[i].content == old.lines[i].content, "other line kept");
            continue;
        }
        const std::optional<HostEntry> read = ParseLmhostsLine(now.lines[i].content);
        Check(read.has_value(), "edited line is an entry");
        if (LineCanHold(expected))
            Check(*read == expected, "edited line reads back as edited");
    }
    Check(entry + 1 == table.size(), "one entry per entry line");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    HostTable table;
    ReadHostTable(bytes, table);
    Check(WriteHostTable(table) == bytes, "unchanged table writes the same bytes");

    // Edits picked from the input itself, so the fuzzer steers them.
    auto from = [&](std::size_t back) -> std::uint8_t {
        return size > back ? data[size - 1 - back] : 0;
    };
    CheckEdits(bytes, from(0));
    CheckEditorEdit(bytes, from(1), from(2), from(3));
    return 0;
}
