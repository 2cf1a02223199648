#include "fieldrules.h"

#include "hosttable.h"
#include "stringtable.h"
#include "textcodec.h"

#include <algorithm>
#include <limits>

namespace
{

// Octets the writer can put back as they are: three characters at most.
constexpr std::int32_t kMinWritableOctet = -99;
constexpr std::int32_t kMaxWritableOctet = 999;

} // namespace

std::optional<std::int32_t> ParseDecimal(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
        negative = t[i] == u'-';
        ++i;
    }
    if (i == t.size())
        return std::nullopt;
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = std::min(value * 10 + (c - u'0'), kLimit);
    }
    if (negative)
        return static_cast<std::int32_t>(-value);
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(value, std::numeric_limits<std::int32_t>::max()));
}

int OctetReading::messageId() const
{
    switch (verdict) {
    case Verdict::Octet:
        return 0;
    case Verdict::NotInteger:
        return StrEnterInteger;
    case Verdict::OutOfRange:
    case Verdict::TooLong:
        break;
    }
    return StrEnterOctet;
}

OctetReading ReadOctet(const QString& text)
{
    const std::optional<std::int32_t> value = ParseDecimal(text);
    if (!value)
        return {OctetReading::Verdict::NotInteger, 0};
    if (*value < kMinWritableOctet || *value > kMaxWritableOctet)
        return {OctetReading::Verdict::TooLong, *value};
    if (*value < 0 || *value > 255)
        return {OctetReading::Verdict::OutOfRange, *value};
    return {OctetReading::Verdict::Octet, *value};
}

void NameLimits::Note(const HostTable& table)
{
    if (std::exchange(noted_, true))
        return;
    for (int i = 0; i < table.size(); ++i) {
        const HostEntry& e = table.at(i);
        // A character takes at least one byte: shorter byte strings need no decoding.
        if (e.hostname.size() > std::size_t(kMaxNameLength) ||
            e.domain.size() > std::size_t(kMaxNameLength))
            longNames_.push_back(LongNames{i, DecodeText(e.hostname, table.encoding()).size(),
                                           DecodeText(e.domain, table.encoding()).size()});
    }
}

const NameLimits::LongNames* NameLimits::find(int entry) const
{
    const auto it =
        std::lower_bound(longNames_.begin(), longNames_.end(), entry,
                         [](const LongNames& names, int index) { return names.entry < index; });
    return it == longNames_.end() || it->entry != entry ? nullptr : &*it;
}

qsizetype NameLimits::hostnameLimit(int entry) const
{
    const LongNames* names = find(entry);
    return names ? std::max(kMaxNameLength, names->hostname) : kMaxNameLength;
}

qsizetype NameLimits::domainLimit(int entry) const
{
    const LongNames* names = find(entry);
    return names ? std::max(kMaxNameLength, names->domain) : kMaxNameLength;
}

void NameLimits::EntryRemoved(int entry)
{
    std::erase_if(longNames_, [entry](const LongNames& names) { return names.entry == entry; });
    for (LongNames& names : longNames_)
        names.entry -= names.entry > entry ? 1 : 0;
}
