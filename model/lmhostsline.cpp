#include "lmhostsline.h"

#include "addressscan.h"

#include <charconv>
#include <cstring>

namespace
{

// Old DOS and Windows editors end a text file with Ctrl-Z, where Windows' text
// reading stops.
constexpr char kEndOfFileMark = '\x1A';

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

struct Span {
    std::size_t start = 0;
    std::size_t length = 0;
};

// Where the entry's parts are in its line: offsets into the line.
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

// Line breaks inside a text would split the line; they go out as spaces.
void AppendText(std::string& out, std::string_view text)
{
    const std::size_t at = out.size();
    out.append(text);
    for (std::size_t i = at; i < out.size(); ++i) {
        if (out[i] == '\r' || out[i] == '\n')
            out[i] = ' ';
    }
}

void AppendNumber(std::string& out, std::int32_t v)
{
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
    out.append(digits, static_cast<std::size_t>(end - digits));
}

bool IsWordBreak(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

} // namespace

bool IsEntryLine(std::string_view line)
{
    const std::size_t start = SkipBlanks(line, 0);
    return start < line.size() && line[start] != '#' && line[0] != kEndOfFileMark;
}

bool ParseLmhostsLine(std::string_view line, HostEntry& e)
{
    ParsedLine parsed;
    if (!ParseLine(line, parsed))
        return false;
    e.hostname.assign(Text(line, parsed.name));
    e.domain.assign(Text(line, parsed.domain));
    e.comment.assign(Text(line, parsed.comment));
    e.octet1 = parsed.octets[0];
    e.octet2 = parsed.octets[1];
    e.octet3 = parsed.octets[2];
    e.octet4 = parsed.octets[3];
    e.preload = parsed.preload;
    return true;
}

std::optional<HostEntry> ParseLmhostsLine(std::string_view line)
{
    HostEntry e;
    if (!ParseLmhostsLine(line, e))
        return std::nullopt;
    return e;
}

bool LineReadsAs(std::string_view line, const HostEntry& e)
{
    ParsedLine p;
    return ParseLine(line, p) && e.octet1 == p.octets[0] && e.octet2 == p.octets[1] &&
           e.octet3 == p.octets[2] && e.octet4 == p.octets[3] && e.preload == p.preload &&
           e.hostname == Text(line, p.name) && e.domain == Text(line, p.domain) &&
           e.comment == Text(line, p.comment);
}

// A carriage return separates words too: kept at the end of a line, it would
// turn the line feed after it into a CRLF.
std::string UnusedWords(std::string_view line)
{
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

std::size_t AppendEntryLine(std::string& out, const HostEntry& e, std::string_view kept)
{
    AppendNumber(out, e.octet1);
    out += '.';
    AppendNumber(out, e.octet2);
    out += '.';
    AppendNumber(out, e.octet3);
    out += '.';
    AppendNumber(out, e.octet4);
    out += "\t\"";
    AppendText(out, e.hostname);
    out += '"';
    if (e.preload)
        out += "\t#PRE";
    if (!e.domain.empty()) {
        out += "\t#DOM:";
        AppendText(out, e.domain);
    }
    if (!kept.empty())
        out += '\t';
    const std::size_t keptAt = out.size();
    out += kept;
    if (!e.comment.empty()) {
        out += "\t#COMMENT:";
        AppendText(out, e.comment);
    }
    return keptAt;
}

std::string FormatLmhostsLine(const HostEntry& e)
{
    std::string line;
    line.reserve(32 + e.hostname.size() + e.domain.size() + e.comment.size());
    AppendEntryLine(line, e, {});
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
