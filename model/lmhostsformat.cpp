#include "lmhostsformat.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <utility>

namespace
{

using Origin = LineOrigin;

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

// Old DOS and Windows editors end a text file with Ctrl-Z, where Windows' text
// reading stops.
constexpr char EndOfFileMark = '\x1A';

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::size_t SkipBlanks(std::string_view s, std::size_t i)
{
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    return i;
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
    std::size_t i = SkipBlanks(s, pos);
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

// The address is read as if the dots among the first 15 characters were "$".
bool IsSeparator(std::string_view s, std::size_t i)
{
    return s[i] == '$' || (s[i] == '.' && i < 15);
}

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

struct Span {
    std::size_t start = 0;
    std::size_t length = 0;
};

// Positions are offsets into the line.
struct ParsedLine {
    std::int32_t octets[4] = {0, 0, 0, 0};
    bool preload = false;
    Span name, domain, comment;
    std::size_t nameEnd = 0;                             // after a closing quote
    std::size_t commentKeyword = std::string_view::npos; // where "#COMMENT:" starts
};

// First space or tab at or after `from`, or npos.
std::size_t FindSpaceOrTab(std::string_view s, std::size_t from)
{
    for (std::size_t i = from; i < s.size(); ++i) {
        if (s[i] == ' ' || s[i] == '\t')
            return i;
    }
    return std::string_view::npos;
}

// The first "#PRE", "#DOM:" and "#COMMENT:" in one pass over the "#" signs.
struct Keywords {
    std::size_t pre = std::string_view::npos;
    std::size_t dom = std::string_view::npos;
    std::size_t comment = std::string_view::npos;
};

Keywords FindKeywords(std::string_view s)
{
    Keywords k;
    std::size_t i = 0;
    while (i < s.size()) {
        const void* hit = std::memchr(s.data() + i, '#', s.size() - i);
        if (!hit)
            break;
        i = static_cast<std::size_t>(static_cast<const char*>(hit) - s.data());
        const std::string_view rest = s.substr(i + 1);
        if (k.pre == s.npos && rest.starts_with("PRE"))
            k.pre = i;
        else if (k.dom == s.npos && rest.starts_with("DOM:"))
            k.dom = i;
        else if (k.comment == s.npos && rest.starts_with("COMMENT:"))
            k.comment = i;
        if (k.pre != s.npos && k.dom != s.npos && k.comment != s.npos)
            break;
        ++i;
    }
    return k;
}

bool IsEntryLine(std::string_view line)
{
    const std::size_t start = SkipBlanks(line, 0);
    return start < line.size() && line[start] != '#' && line[0] != EndOfFileMark;
}

bool ParseLine(std::string_view line, ParsedLine& out)
{
    if (!IsEntryLine(line))
        return false;
    const std::size_t start = SkipBlanks(line, 0);
    ScanAddress(line.substr(start), out.octets);

    std::size_t textStart = FindSpaceOrTab(line, start);
    if (textStart == std::string_view::npos)
        textStart = start;
    const std::size_t p = SkipBlanks(line, textStart);
    if (p < line.size() && line[p] == '"') {
        const std::size_t close = line.find('"', p + 1);
        const std::size_t end = close == std::string_view::npos ? line.size() : close;
        out.name = {p + 1, end - (p + 1)};
        out.nameEnd = close == std::string_view::npos ? line.size() : close + 1;
    } else {
        std::size_t end = FindSpaceOrTab(line, p);
        if (end == std::string_view::npos)
            end = line.size();
        out.name = {p, end - p};
        out.nameEnd = end;
    }

    const Keywords k = FindKeywords(line.substr(textStart));
    out.preload = k.pre != std::string_view::npos;
    if (k.dom != std::string_view::npos) {
        const std::size_t d = textStart + k.dom + 5;
        std::size_t end = FindSpaceOrTab(line, d);
        if (end == std::string_view::npos)
            end = line.size();
        out.domain = {d, end - d};
    }
    if (k.comment != std::string_view::npos) {
        out.commentKeyword = textStart + k.comment;
        out.comment = {out.commentKeyword + 9, line.size() - (out.commentKeyword + 9)};
    }
    return true;
}

std::string_view Text(std::string_view line, Span span)
{
    return line.substr(span.start, span.length);
}

HostEntry ToEntry(std::string_view line, const ParsedLine& parsed)
{
    HostEntry e;
    e.hostname.assign(Text(line, parsed.name));
    e.domain.assign(Text(line, parsed.domain));
    e.comment.assign(Text(line, parsed.comment));
    e.octet1 = parsed.octets[0];
    e.octet2 = parsed.octets[1];
    e.octet3 = parsed.octets[2];
    e.octet4 = parsed.octets[3];
    e.preload = parsed.preload;
    return e;
}

Origin ToOrigin(std::uint64_t lineStart, std::string_view line, std::uint8_t breakLength,
                const ParsedLine& parsed)
{
    Origin o;
    o.lineStart = lineStart;
    o.contentLength = line.size();
    o.breakLength = breakLength;
    for (int k = 0; k < 4; ++k)
        o.octets[k] = parsed.octets[k];
    o.preload = parsed.preload;
    o.spansValid = line.size() <= std::numeric_limits<std::uint32_t>::max();
    if (o.spansValid) {
        o.nameStart = static_cast<std::uint32_t>(parsed.name.start);
        o.nameLength = static_cast<std::uint32_t>(parsed.name.length);
        o.domainStart = static_cast<std::uint32_t>(parsed.domain.start);
        o.domainLength = static_cast<std::uint32_t>(parsed.domain.length);
        o.commentStart = static_cast<std::uint32_t>(parsed.comment.start);
        o.commentLength = static_cast<std::uint32_t>(parsed.comment.length);
    }
    return o;
}

// Calls f(lineStart, contentLength, breakLength) for each line of s[from, to).
// A carriage return right before the line feed belongs to the line break.
template <class F> void ForEachLine(std::string_view s, std::size_t from, std::size_t to, F&& f)
{
    std::size_t p = from;
    while (p < to) {
        const void* hit = std::memchr(s.data() + p, '\n', to - p);
        if (!hit) {
            f(p, to - p, std::uint8_t{0});
            return;
        }
        const std::size_t nl = static_cast<const char*>(hit) - s.data();
        if (nl > p && s[nl - 1] == '\r')
            f(p, nl - 1 - p, std::uint8_t{2});
        else
            f(p, nl - p, std::uint8_t{1});
        p = nl + 1;
    }
}

// Where the lines that can hold entries end: at the first Ctrl-Z that starts a
// line. What follows is kept as it is, but Windows never reads it.
std::size_t EntriesEnd(std::string_view file, std::size_t bodyStart)
{
    std::size_t p = bodyStart;
    while (p < file.size()) {
        const void* hit = std::memchr(file.data() + p, EndOfFileMark, file.size() - p);
        if (!hit)
            break;
        const std::size_t z = static_cast<std::size_t>(static_cast<const char*>(hit) - file.data());
        if (z == bodyStart || file[z - 1] == '\n')
            return z;
        p = z + 1;
    }
    return file.size();
}

// Line breaks inside a text would split the line; they go out as spaces.
template <class String> void AppendText(String& out, std::string_view text)
{
    const std::size_t at = out.size();
    out.append(text);
    for (std::size_t i = at; i < out.size(); ++i) {
        if (out[i] == '\r' || out[i] == '\n')
            out[i] = ' ';
    }
}

template <class String> void AppendNumber(String& out, std::int32_t v)
{
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
    out.append(digits, static_cast<std::size_t>(end - digits));
}

// The line without its break: address, name, keywords, `kept` words, comment.
// `origin`, if given, records where the texts went, relative to the line start.
template <class String>
void AppendEntry(String& out, const HostEntry& e, std::string_view kept, Origin* origin)
{
    const std::size_t at = out.size();
    auto mark = [&](std::uint32_t& start, std::uint32_t& length, std::size_t from) {
        start = static_cast<std::uint32_t>(from - at);
        length = static_cast<std::uint32_t>(out.size() - from);
    };
    Origin o;
    AppendNumber(out, e.octet1);
    out += '.';
    AppendNumber(out, e.octet2);
    out += '.';
    AppendNumber(out, e.octet3);
    out += '.';
    AppendNumber(out, e.octet4);
    out += "\t\"";
    std::size_t from = out.size();
    AppendText(out, e.hostname);
    mark(o.nameStart, o.nameLength, from);
    out += '"';
    if (e.preload)
        out += "\t#PRE";
    if (!e.domain.empty()) {
        out += "\t#DOM:";
        from = out.size();
        AppendText(out, e.domain);
        mark(o.domainStart, o.domainLength, from);
    }
    if (!kept.empty()) {
        out += '\t';
        from = out.size();
        out += kept;
        mark(o.keptStart, o.keptLength, from);
    }
    if (!e.comment.empty()) {
        out += "\t#COMMENT:";
        from = out.size();
        AppendText(out, e.comment);
        mark(o.commentStart, o.commentLength, from);
    }
    if (origin) {
        o.lineStart = at;
        o.contentLength = out.size() - at;
        o.octets[0] = e.octet1;
        o.octets[1] = e.octet2;
        o.octets[2] = e.octet3;
        o.octets[3] = e.octet4;
        o.preload = e.preload;
        o.spansValid = o.contentLength <= std::numeric_limits<std::uint32_t>::max();
        o.written = true;
        *origin = o;
    }
}

bool IsWordBreak(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

// Words of an entry line that the entry does not hold: those after the name and
// before "#COMMENT:", except the keyword words, joined by single spaces. A
// carriage return separates words too: kept at the end of a line, it would turn
// the line feed after it into a CRLF.
std::string UnusedWords(std::string_view line, const Origin& origin)
{
    if (origin.written && origin.spansValid)
        return std::string(line.substr(origin.keptStart, origin.keptLength));
    ParsedLine parsed;
    if (!ParseLine(line, parsed))
        return {};
    const std::size_t end =
        parsed.commentKeyword == std::string_view::npos ? line.size() : parsed.commentKeyword;
    std::string words;
    std::size_t p = parsed.nameEnd;
    while (p < end) {
        while (p < end && IsWordBreak(line[p]))
            ++p;
        std::size_t q = p;
        while (q < end && !IsWordBreak(line[q]))
            ++q;
        const std::string_view word = line.substr(p, q - p);
        if (!word.empty() && word.find("#PRE") == std::string_view::npos &&
            word.find("#DOM:") == std::string_view::npos) {
            if (!words.empty())
                words += ' ';
            words += word;
        }
        p = q;
    }
    return words;
}

std::string_view LineOf(std::string_view file, const Origin& o)
{
    return file.substr(o.lineStart, o.contentLength);
}

bool Unchanged(std::string_view file, const HostEntry& e, const Origin& o)
{
    if (e.octet1 != o.octets[0] || e.octet2 != o.octets[1] || e.octet3 != o.octets[2] ||
        e.octet4 != o.octets[3] || e.preload != o.preload)
        return false;
    const std::string_view line = LineOf(file, o);
    if (!o.spansValid) {
        const std::optional<HostEntry> read = ParseLmhostsLine(line);
        return read && *read == e;
    }
    return e.hostname == line.substr(o.nameStart, o.nameLength) &&
           e.domain == line.substr(o.domainStart, o.domainLength) &&
           e.comment == line.substr(o.commentStart, o.commentLength);
}

} // namespace

std::optional<HostEntry> ParseLmhostsLine(std::string_view line)
{
    ParsedLine parsed;
    if (!ParseLine(line, parsed))
        return std::nullopt;
    return ToEntry(line, parsed);
}

std::string FormatLmhostsLine(const HostEntry& e)
{
    std::string line;
    line.reserve(32 + e.hostname.size() + e.domain.size() + e.comment.size());
    AppendEntry(line, e, {}, nullptr);
    line += '\n';
    return line;
}

bool LineCanHold(const HostEntry& e)
{
    for (std::int32_t octet : {e.octet1, e.octet2, e.octet3, e.octet4}) {
        if (octet < -99 || octet > 999)
            return false;
    }
    for (const std::string* text : {&e.hostname, &e.domain, &e.comment}) {
        if (text->find_first_of("\r\n") != std::string::npos ||
            text->find("#PRE") != std::string::npos || text->find("#DOM:") != std::string::npos ||
            text->find("#COMMENT:") != std::string::npos)
            return false;
    }
    return e.hostname.find('"') == std::string::npos &&
           e.domain.find_first_of(" \t") == std::string::npos;
}

TextEncoding DetectTextEncoding(std::string_view s)
{
    // A byte-order mark alone does not make a file UTF-8: behind it may be
    // Windows-1252 text, which a UTF-8 decoding would not give back.
    bool nonAscii = s.starts_with(Utf8Bom);
    if (nonAscii)
        s.remove_prefix(Utf8Bom.size());
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

void ReadHostTable(std::string bytes, HostTable& table)
{
    HostTableIo::read(FileBytes(bytes.data(), bytes.size()), table);
}

void HostTableIo::read(FileBytes bytes, HostTable& table)
{
    clear(table);
    table.file_ = std::move(bytes);
    const std::string_view file = table.file_;
    table.fileExists_ = true;
    table.bodyStart_ = std::string_view(file).starts_with(Utf8Bom) ? Utf8Bom.size() : 0;
    table.encoding_ = DetectTextEncoding(file);
    const std::size_t entriesEnd = EntriesEnd(file, table.bodyStart_);
    const std::string_view lines = file.substr(0, entriesEnd);
    table.crlf_ = lines.find("\r\n") != lines.npos || lines.find('\n') == lines.npos;

    std::size_t entryLines = 0;
    ForEachLine(file, table.bodyStart_, entriesEnd,
                [&](std::size_t start, std::size_t length, std::uint8_t) {
                    entryLines += IsEntryLine(std::string_view(file).substr(start, length));
                });
    table.slots_.reserve(entryLines);
    ForEachLine(file, table.bodyStart_, entriesEnd,
                [&](std::size_t start, std::size_t length, std::uint8_t breakLength) {
                    const std::string_view line = std::string_view(file).substr(start, length);
                    ParsedLine parsed;
                    if (!ParseLine(line, parsed))
                        return;
                    table.slots_.push_back(HostTable::Slot{
                        ToEntry(line, parsed), ToOrigin(start, line, breakLength, parsed)});
                });
    table.fileEntryLines_ = table.slots_.size();
}

const FileBytes* HostTableIo::unchangedFile(const HostTable& table)
{
    if (table.slots_.size() != table.fileEntryLines_)
        return nullptr;
    for (const HostTable::Slot& slot : table.slots_) {
        if (!slot.origin.fromFile() || !Unchanged(table.file_, slot.entry, slot.origin))
            return nullptr;
    }
    return &table.file_;
}

FileBytes HostTableIo::write(const HostTable& table, LineOrigins* origins)
{
    const std::string_view file = table.file_;
    FileBytes out;
    out.reserve(file.size() +
                64 * (table.slots_.size() - std::min(table.slots_.size(), table.fileEntryLines_)));
    out.append(file, 0, table.bodyStart_);

    std::size_t kept = 0;
    for (const HostTable::Slot& slot : table.slots_)
        kept += slot.origin.fromFile();
    const bool removals = kept < table.fileEntryLines_;

    // Lines between entries: copied, but without the lines of removed entries.
    auto copyGap = [&](std::size_t from, std::size_t to) {
        if (!removals) {
            out.append(file, from, to - from);
            return;
        }
        ForEachLine(file, from, to, [&](std::size_t start, std::size_t length, std::uint8_t br) {
            if (!IsEntryLine(std::string_view(file).substr(start, length)))
                out.append(file, start, length + br);
        });
    };

    std::size_t cursor = table.bodyStart_;
    for (const HostTable::Slot& slot : table.slots_) {
        const Origin& o = slot.origin;
        if (!o.fromFile())
            continue;
        copyGap(cursor, o.lineStart);
        const std::size_t lineEnd = o.lineStart + o.contentLength + o.breakLength;
        const std::size_t at = out.size();
        if (Unchanged(file, slot.entry, o)) {
            out.append(file, o.lineStart, lineEnd - o.lineStart);
            if (origins) {
                Origin moved = o;
                moved.lineStart = at;
                origins->push_back(moved);
            }
        } else {
            Origin made;
            AppendEntry(out, slot.entry, UnusedWords(LineOf(file, o), o), &made);
            out.append(file, o.lineStart + o.contentLength, o.breakLength);
            made.breakLength = o.breakLength;
            if (origins)
                origins->push_back(made);
        }
        cursor = lineEnd;
    }
    // Added entries go before a Ctrl-Z, where Windows still reads them.
    const std::size_t entriesEnd = EntriesEnd(file, table.bodyStart_);
    copyGap(cursor, entriesEnd);

    const std::string_view lineBreak = table.crlf_ ? "\r\n" : "\n";
    bool first = true;
    for (const HostTable::Slot& slot : table.slots_) {
        if (slot.origin.fromFile())
            continue;
        if (first && out.size() > table.bodyStart_ && out.back() != '\n') {
            // A carriage return ending the last line must not pair with the
            // line feed added after it.
            const std::string_view added = out.back() == '\r' ? "\r\n" : lineBreak;
            if (origins && !origins->empty()) {
                Origin& last = origins->back();
                if (last.lineStart + last.contentLength == out.size())
                    last.breakLength = static_cast<std::uint8_t>(added.size());
            }
            out += added;
        }
        first = false;
        Origin made;
        AppendEntry(out, slot.entry, {}, &made);
        out += lineBreak;
        made.breakLength = static_cast<std::uint8_t>(lineBreak.size());
        if (origins)
            origins->push_back(made);
    }
    out.append(file, entriesEnd);
    return out;
}

void HostTableIo::save(HostTable& table,
                       const std::function<void(std::string_view bytes)>& writeAll)
{
    if (const FileBytes* same = unchangedFile(table)) {
        writeAll(*same);
        table.fileExists_ = true;
        return;
    }
    LineOrigins origins;
    origins.reserve(table.slots_.size());
    FileBytes out = write(table, &origins);
    writeAll(out);
    table.file_ = std::move(out);
    for (std::size_t i = 0; i < table.slots_.size(); ++i)
        table.slots_[i].origin = origins[i];
    table.fileEntryLines_ = table.slots_.size();
    table.fileExists_ = true;
}

void HostTableIo::clear(HostTable& table)
{
    table = HostTable();
}

std::string WriteHostTable(const HostTable& table)
{
    const FileBytes* same = HostTableIo::unchangedFile(table);
    const FileBytes bytes = same ? FileBytes() : HostTableIo::write(table, nullptr);
    const FileBytes& out = same ? *same : bytes;
    return std::string(out.data(), out.size());
}
