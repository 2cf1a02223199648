#include "lmhostsdocument.h"

#include "lmhostsline.h"

#include <cstring>
#include <utility>

namespace
{

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Old DOS and Windows editors end a text file with Ctrl-Z, where Windows' text
// reading stops.
constexpr char kEndOfFileMark = '\x1A';

struct Line {
    std::size_t start = 0;
    std::size_t length = 0; // without the line break
    std::size_t breakLength = 0;

    std::size_t end() const { return start + length + breakLength; }
};

// The line starting at `start`. A carriage return right before the line feed
// belongs to the line break.
Line LineAt(std::string_view s, std::size_t start, std::size_t to)
{
    const void* hit = std::memchr(s.data() + start, '\n', to - start);
    if (!hit)
        return {start, to - start, 0};
    const std::size_t nl = static_cast<std::size_t>(static_cast<const char*>(hit) - s.data());
    if (nl > start && s[nl - 1] == '\r')
        return {start, nl - 1 - start, 2};
    return {start, nl - start, 1};
}

// Calls f(line) for each line of s[from, to).
template <class F> void ForEachLine(std::string_view s, std::size_t from, std::size_t to, F&& f)
{
    while (from < to) {
        const Line line = LineAt(s, from, to);
        f(line);
        from = line.end();
    }
}

std::string_view ContentOf(std::string_view s, const Line& line)
{
    return s.substr(line.start, line.length);
}

// Where the lines that can hold entries end: at the first Ctrl-Z that starts a
// line. What follows is kept as it is, but Windows never reads it.
std::size_t EntriesEnd(std::string_view file, std::size_t bodyStart)
{
    std::size_t p = bodyStart;
    while (p < file.size()) {
        const void* hit = std::memchr(file.data() + p, kEndOfFileMark, file.size() - p);
        if (!hit)
            break;
        const std::size_t z = static_cast<std::size_t>(static_cast<const char*>(hit) - file.data());
        if (z == bodyStart || file[z - 1] == '\n')
            return z;
        p = z + 1;
    }
    return file.size();
}

// Entry line k of the table's file.
Line EntryLine(const LoadedFile& file, std::size_t k)
{
    return LineAt(file.bytes(), file.entryLineStart(k), file.tailStart());
}

bool Unchanged(const LoadedFile& file, std::size_t k, const HostEntry& e, std::string& scratch)
{
    const Line line = EntryLine(file, k);
    const std::string_view content = ContentOf(file.bytes(), line);
    if (const LoadedFile::KeptWords* kept = file.keptWords(k)) {
        // A line the writer made is made again from the entry and the words it
        // kept: the same entry gives the same bytes.
        scratch.clear();
        AppendEntryLine(scratch, e, content.substr(kept->start - line.start, kept->length));
        return scratch == content;
    }
    return LineReadsAs(content, e);
}

// Where the writer put the entry lines, and for the lines it made, the words
// they kept.
struct WrittenLines {
    LoadedFile::LineStarts starts;
    std::vector<std::pair<std::size_t, LoadedFile::KeptWords>> made;
    std::size_t tailStart = 0;
};

// The bytes to write; `written`, if given, receives where their lines are.
FileBytes Write(const HostTable& table, WrittenLines* written)
{
    const LoadedFile& from = table.file();
    const std::string_view file = from.bytes();
    const std::size_t n = static_cast<std::size_t>(table.size());

    std::size_t kept = 0;
    for (int i = 0; i < table.size(); ++i)
        kept += table.fileLineOf(i) != HostTable::kNoLine;
    const bool removals = kept < from.entryLineCount();

    FileBytes out;
    out.reserve(file.size() + 64 * (n - kept));
    // Lines made from entries; the line format works on std::string.
    std::string made;
    auto make = [&](const HostEntry& e, std::string_view keptWords) {
        made.clear();
        const std::size_t keptAt = AppendEntryLine(made, e, keptWords);
        const std::size_t at = out.size();
        out.append(made);
        return at + keptAt;
    };
    out.append(file, 0, from.bomLength());
    if (written)
        written->starts.reserve(n);
    auto note = [&](std::size_t start, std::size_t keptAt = std::string::npos,
                    std::size_t keptLength = 0) {
        if (!written)
            return;
        if (keptAt != std::string::npos)
            written->made.emplace_back(written->starts.size(),
                                       LoadedFile::KeptWords{keptAt, keptLength});
        written->starts.push_back(start);
    };

    // Lines between entries: copied, but without the lines of removed entries.
    auto copyGap = [&](std::size_t begin, std::size_t end) {
        if (!removals) {
            out.append(file, begin, end - begin);
            return;
        }
        ForEachLine(file, begin, end, [&](const Line& line) {
            if (!IsEntryLine(ContentOf(file, line)))
                out.append(file, line.start, line.end() - line.start);
        });
    };

    std::size_t cursor = from.bomLength();
    for (int i = 0; i < table.size(); ++i) {
        const std::size_t k = table.fileLineOf(i);
        if (k == HostTable::kNoLine)
            continue;
        const HostEntry& e = table.at(i);
        const Line line = EntryLine(from, k);
        const std::string_view content = ContentOf(file, line);
        copyGap(cursor, line.start);
        const std::size_t at = out.size();
        if (const LoadedFile::KeptWords* keptWords = from.keptWords(k)) {
            const std::size_t keptAt =
                make(e, content.substr(keptWords->start - line.start, keptWords->length));
            note(at, keptAt, keptWords->length);
        } else if (LineReadsAs(content, e)) {
            out.append(content);
            note(at);
        } else {
            const std::string words = UnusedWords(content);
            const std::size_t keptAt = make(e, words);
            note(at, keptAt, words.size());
        }
        out.append(file, line.start + line.length, line.breakLength);
        cursor = line.end();
    }
    // Added entries go before a Ctrl-Z, where Windows still reads them.
    copyGap(cursor, from.tailStart());

    const std::string_view lineBreak = from.crlf() ? "\r\n" : "\n";
    bool first = true;
    for (int i = 0; i < table.size(); ++i) {
        if (table.fileLineOf(i) != HostTable::kNoLine)
            continue;
        if (first && out.size() > from.bomLength() && out.back() != '\n') {
            // A carriage return ending the last line must not pair with the
            // line feed added after it.
            out += out.back() == '\r' ? "\r\n" : lineBreak;
        }
        first = false;
        const std::size_t at = out.size();
        const std::size_t keptAt = make(table.at(i), {});
        note(at, keptAt, 0);
        out += lineBreak;
    }
    if (written)
        written->tailStart = out.size();
    out.append(file, from.tailStart());
    return out;
}

} // namespace

void ReadHostTable(std::string_view bytes, HostTable& table)
{
    ReadHostTable(FileBytes(bytes), table);
}

void ReadHostTable(FileBytes bytes, HostTable& table)
{
    const std::size_t bodyStart = bytes.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
    const std::size_t entriesEnd = EntriesEnd(bytes, bodyStart);
    const std::string_view lines = std::string_view(bytes).substr(0, entriesEnd);
    const bool crlf = lines.find("\r\n") != lines.npos || lines.find('\n') == lines.npos;
    const TextEncoding encoding = DetectTextEncoding(bytes);
    LoadedFile loaded(std::move(bytes), bodyStart, entriesEnd, crlf, encoding);
    const std::string_view file = loaded.bytes();

    std::size_t entryLines = 0;
    ForEachLine(file, bodyStart, entriesEnd,
                [&](const Line& line) { entryLines += IsEntryLine(ContentOf(file, line)); });
    HostEntries entries;
    entries.reserve(entryLines);
    loaded.reserveEntryLines(entryLines);
    ForEachLine(file, bodyStart, entriesEnd, [&](const Line& line) {
        const std::string_view content = ContentOf(file, line);
        if (!IsEntryLine(content))
            return;
        ParseLmhostsLine(content, entries.emplace_back());
        loaded.addEntryLine(line.start);
    });
    table.assign(std::move(loaded), std::move(entries));
}

std::string WriteHostTable(const HostTable& table)
{
    const FileBytes* same = UnchangedFile(table);
    const FileBytes out = same ? FileBytes() : Write(table, nullptr);
    return std::string(same ? *same : out);
}

const FileBytes* UnchangedFile(const HostTable& table)
{
    const LoadedFile& file = table.file();
    if (static_cast<std::size_t>(table.size()) != file.entryLineCount())
        return nullptr;
    std::string scratch;
    for (int i = 0; i < table.size(); ++i) {
        const std::size_t k = table.fileLineOf(i);
        if (k != static_cast<std::size_t>(i) || !Unchanged(file, k, table.at(i), scratch))
            return nullptr;
    }
    return &file.bytes();
}

void SaveHostTableWith(HostTable& table, const std::function<void(std::string_view)>& writeAll)
{
    if (const FileBytes* same = UnchangedFile(table)) {
        writeAll(*same);
        table.file().setExisted(true);
        return;
    }
    WrittenLines lines;
    FileBytes out = Write(table, &lines);
    writeAll(out);
    const LoadedFile& old = table.file();
    LoadedFile written(std::move(out), old.bomLength(), lines.tailStart, old.crlf(),
                       old.encoding());
    written.setEntryLines(std::move(lines.starts), std::move(lines.made));
    table.rebase(std::move(written));
}
