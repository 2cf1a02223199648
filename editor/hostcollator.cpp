#include "hostcollator.h"

#include "hosttable.h"
#include "hugepages.h"
#include "textcodec.h"

#include <unicode/ucol.h>

#include <QByteArray>

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

namespace
{

QByteArray IcuLocaleName(const QLocale& locale)
{
    // QCollator compares code points under the C locale; the untranslated program
    // is English, so collate as English there.
    return locale.language() == QLocale::C ? QByteArrayLiteral("en_US") : locale.name().toLatin1();
}

} // namespace

namespace
{

struct SortItem {
    std::uint64_t prefix; // the key's first eight bytes, big-endian: most compares end here
    const char* key;
    std::uint32_t length;
    std::uint32_t entry;
};

bool operator<(const SortItem& a, const SortItem& b)
{
    if (a.prefix != b.prefix)
        return a.prefix < b.prefix;
    const std::uint32_t common = std::min(a.length, b.length);
    if (common > 8) {
        const int c = std::memcmp(a.key + 8, b.key + 8, common - 8);
        if (c != 0)
            return c < 0;
    }
    if (a.length != b.length)
        return a.length < b.length;
    return a.entry < b.entry;
}

// A large table's keys fill blocks of many megabytes: on huge pages they take
// a fraction of the page faults.
using KeyBytes = std::basic_string<char, std::char_traits<char>, BigBlockAllocator<char>>;
using SortItems = std::vector<SortItem, BigBlockAllocator<SortItem>>;

// The name as the list shows it, in `text`, whose room is used again from name
// to name. Most names are ASCII, which reads the same in both encodings.
void DecodeName(std::string_view name, TextEncoding encoding, QString& text)
{
    const bool ascii = std::all_of(name.begin(), name.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii) {
        text = DecodeText(name, encoding);
        return;
    }
    text.resize(static_cast<qsizetype>(name.size()));
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (const char c : name)
        *out++ = static_cast<char16_t>(c);
}

// Keys of entries [begin, end) into one block of bytes. While the block still
// grows, an item's prefix holds its key's offset.
void MakeKeys(const HostTable& table, const HostCollator& collator, int begin, int end,
              KeyBytes& arena, SortItem* items)
{
    arena.reserve(static_cast<std::size_t>(end - begin) * 24);
    std::string key;
    QString text;
    for (int i = begin; i < end; ++i) {
        std::string_view name = table.at(i).hostname;
        // Enough bytes for the characters the key uses; a character cut at the
        // end lies beyond them.
        name = name.substr(0, std::size_t(HostCollator::kKeyChars) * 4);
        DecodeName(name, table.encoding(), text);
        key.clear();
        collator.appendSortKey(text, key);
        const std::size_t at = arena.size();
        arena += key;
        items[i] = SortItem{at, nullptr, static_cast<std::uint32_t>(key.size()),
                            static_cast<std::uint32_t>(i)};
    }
    for (int i = begin; i < end; ++i) {
        SortItem& item = items[i];
        item.key = arena.data() + item.prefix;
        item.prefix = 0;
        for (std::uint32_t b = 0; b < 8; ++b)
            item.prefix = (item.prefix << 8) |
                          (b < item.length ? static_cast<unsigned char>(item.key[b]) : 0u);
    }
}

} // namespace

HostCollator::HostCollator(const QLocale& locale)
{
    UErrorCode status = U_ZERO_ERROR;
    collator_ = ucol_open(IcuLocaleName(locale).constData(), &status);
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        collator_ = ucol_open("", &status); // root order
    }
    if (!collator_)
        return;
    // Secondary strength: letters and accents count, case does not.
    ucol_setStrength(collator_, UCOL_SECONDARY);
    ucol_setAttribute(collator_, UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
}

std::unique_ptr<HostCollator> HostCollator::clone() const
{
    std::unique_ptr<HostCollator> copy(new HostCollator);
    UErrorCode status = U_ZERO_ERROR;
    if (collator_)
        copy->collator_ = ucol_clone(collator_, &status);
    return copy;
}

HostCollator::~HostCollator()
{
    if (collator_)
        ucol_close(collator_);
}

int HostCollator::compare(QStringView a, QStringView b) const
{
    a = a.left(kKeyChars);
    b = b.left(kKeyChars);
    if (!collator_)
        return a.compare(b, Qt::CaseInsensitive);
    return ucol_strcoll(collator_, a.utf16(), static_cast<int32_t>(a.size()), b.utf16(),
                        static_cast<int32_t>(b.size()));
}

void HostCollator::appendSortKey(QStringView text, std::string& out) const
{
    text = text.left(kKeyChars);
    if (!collator_) {
        out += text.toString().toCaseFolded().toUtf8().toStdString();
        out += '\0';
        return;
    }
    const auto length = static_cast<int32_t>(text.size());
    const std::size_t at = out.size();
    out.resize(at + 64);
    auto* buffer = reinterpret_cast<uint8_t*>(out.data() + at);
    int32_t needed = ucol_getSortKey(collator_, text.utf16(), length, buffer, 64);
    if (needed > 64) {
        out.resize(at + static_cast<std::size_t>(needed));
        buffer = reinterpret_cast<uint8_t*>(out.data() + at);
        needed = ucol_getSortKey(collator_, text.utf16(), length, buffer, needed);
    }
    out.resize(at + static_cast<std::size_t>(needed));
}

std::vector<int> SortedByHostname(const HostTable& table, const HostCollator& collator)
{
    const int n = table.size();
    SortItems items(static_cast<std::size_t>(n));
    KeyBytes arenas[2];
    // Making the keys is most of the work: large tables share it with a second core.
    const int half = n >= 20000 && std::thread::hardware_concurrency() > 1 ? n / 2 : n;
    if (half < n) {
        const std::unique_ptr<HostCollator> second = collator.clone();
        std::thread helper([&] { MakeKeys(table, *second, half, n, arenas[1], items.data()); });
        MakeKeys(table, collator, 0, half, arenas[0], items.data());
        helper.join();
    } else {
        MakeKeys(table, collator, 0, n, arenas[0], items.data());
    }
    std::sort(items.begin(), items.end());
    std::vector<int> order;
    order.reserve(items.size());
    for (const SortItem& item : items)
        order.push_back(static_cast<int>(item.entry));
    return order;
}
