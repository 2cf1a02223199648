#include "hostwarnings.h"

#include "hosttable.h"
#include "lmhostsline.h"

#include <array>
#include <bit>
#include <cstring>

namespace
{

constexpr std::uint8_t Bit(WarningKind kind)
{
    return static_cast<std::uint8_t>(1u << static_cast<unsigned>(kind));
}

constexpr std::uint8_t kDuplicateBits =
    Bit(WarningKind::DuplicateUsed) | Bit(WarningKind::DuplicateUnused);

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// NetBIOS names ignore case, but only ASCII case: other bytes are compared as
// they are.
std::uint32_t FoldedHash(std::string_view s)
{
    std::uint32_t h = 2166136261u;
    for (char c : s)
        h = (h ^ static_cast<unsigned char>(Upper(c))) * 16777619u;
    // A final mix, so that the top bits, which pick the slot, depend on every
    // byte.
    h ^= h >> 16;
    h *= 0x85ebca6bu;
    h ^= h >> 13;
    return h;
}

bool EqualFolded(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Upper(a[i]) != Upper(b[i]))
            return false;
    }
    return true;
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Bytes that may keep a text from reading back as written; a text without any
// of them always does. Per field: name, domain, comment.
struct RiskyBytes {
    std::array<bool, 256> name{}, domain{}, comment{};
    RiskyBytes()
    {
        for (auto* set : {&name, &domain, &comment}) {
            (*set)['#'] = true; // keywords
            (*set)['\r'] = true;
            (*set)['\n'] = true;
        }
        name['"'] = true;
        domain[' '] = true;
        domain['\t'] = true;
    }
};

bool HasAny(const std::string& text, const std::array<bool, 256>& set)
{
    for (char c : text) {
        if (set[static_cast<unsigned char>(c)])
            return true;
    }
    return false;
}

bool MayReadOtherwise(const HostEntry& e)
{
    static const RiskyBytes risky;
    for (std::int32_t octet : {e.octet1, e.octet2, e.octet3, e.octet4}) {
        // Up to three characters are read per octet.
        if (octet < -99 || octet > 999)
            return true;
    }
    return HasAny(e.hostname, risky.name) || HasAny(e.domain, risky.domain) ||
           HasAny(e.comment, risky.comment);
}

std::uint8_t EntryMask(const HostEntry& e)
{
    std::uint8_t m = 0;
    if (e.hostname.empty()) {
        m |= Bit(WarningKind::EmptyName);
    } else {
        bool service = false;
        const int length = NetbiosNameLength(e.hostname, &service);
        if (service && length != 16)
            m |= Bit(WarningKind::ServiceNameLength);
        else if (!service && length > 15)
            m |= Bit(WarningKind::NameTooLong);
    }
    if (!e.domain.empty() && !e.preload)
        m |= Bit(WarningKind::DomainWithoutPreload);
    if (MayReadOtherwise(e) && ReadBackIfDifferent(e))
        m |= Bit(WarningKind::LineReadsOtherwise);
    for (std::int32_t octet : {e.octet1, e.octet2, e.octet3, e.octet4}) {
        if (octet < 0 || octet > 255)
            m |= Bit(WarningKind::OctetOutOfRange);
    }
    return m;
}

// The hash bits the items are sorted by: the top 22, two passes of 11. That
// is slot order for tables of up to 4M slots.
constexpr int kSortedFrom = 10;

// LSD radix sort on the hash's top bits; stable, so the entries of one name
// stay in index order.
template <class Item> void SortByTopBits(std::vector<Item>& items)
{
    std::vector<Item> buffer(items.size());
    for (int shift = kSortedFrom; shift < 32; shift += 11) {
        std::size_t counts[2049] = {};
        for (const Item& item : items)
            ++counts[((item.hash >> shift) & 2047) + 1];
        for (std::size_t b = 1; b < 2049; ++b)
            counts[b] += counts[b - 1];
        for (const Item& item : items)
            buffer[counts[(item.hash >> shift) & 2047]++] = item;
        items.swap(buffer);
    }
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The server of "#INCLUDE \\server\share\path", or empty for a local path.
std::string_view IncludeServer(std::string_view rest)
{
    std::size_t p = 0;
    while (p < rest.size() && (rest[p] == ' ' || rest[p] == '\t'))
        ++p;
    if (p < rest.size() && rest[p] == '"')
        ++p;
    if (rest.substr(p, 2) != "\\\\")
        return {};
    p += 2;
    std::size_t end = p;
    while (end < rest.size() && rest[end] != '\\' && rest[end] != '"' && !IsBlank(rest[end]))
        ++end;
    return rest.substr(p, end - p);
}

} // namespace

int NetbiosNameLength(std::string_view name, bool* service)
{
    int length = static_cast<int>(name.size());
    bool escaped = false;
    for (std::size_t i = name.find('\\'); i != std::string_view::npos; i = name.find('\\', i)) {
        if (i + 5 <= name.size() && name.substr(i + 1, 2) == "0x" && IsHexDigit(name[i + 3]) &&
            IsHexDigit(name[i + 4])) {
            length -= 4;
            escaped = true;
            i += 5;
        } else {
            ++i;
        }
    }
    if (service)
        *service = escaped;
    return length;
}

std::optional<HostEntry> ReadBackIfDifferent(const HostEntry& entry)
{
    std::string line = FormatLmhostsLine(entry);
    if (!line.empty() && line.back() == '\n')
        line.pop_back();
    // The line starts with the address's digits, so it always reads as an
    // entry; were it not, it would read as none: an empty one stands for that.
    HostEntry read = ParseLmhostsLine(line).value_or(HostEntry{});
    if (read == entry)
        return std::nullopt;
    return read;
}

void HostWarnings::rebuild(const HostTable& table, std::string_view fileBytes)
{
    includes_.clear();
    if (fileBytes.starts_with("\xEF\xBB\xBF"))
        fileBytes.remove_prefix(3);
    int line = 1;
    int entryLines = 0;
    std::size_t pos = 0;
    while (pos < fileBytes.size()) {
        const void* nl = std::memchr(fileBytes.data() + pos, '\n', fileBytes.size() - pos);
        const std::size_t end =
            nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - fileBytes.data())
               : fileBytes.size();
        const std::string_view text = fileBytes.substr(pos, end - pos);
        // Windows reads a text file only up to a Ctrl-Z.
        if (!text.empty() && text[0] == '\x1A')
            break;
        std::size_t i = 0;
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        if (i < text.size()) {
            if (text[i] != '#') {
                ++entryLines;
            } else if (text.substr(i).starts_with("#INCLUDE") &&
                       (i + 8 == text.size() || IsBlank(text[i + 8]))) {
                const std::string_view server = IncludeServer(text.substr(i + 8));
                if (!server.empty())
                    includes_.push_back(
                        Include{line, entryLines, FoldedHash(server), std::string(server)});
            }
        }
        ++line;
        pos = end + 1;
    }
    computeEntries(table);
    checkIncludes(table);
}

void HostWarnings::computeEntries(const HostTable& table)
{
    const int n = table.size();
    const auto count = static_cast<std::size_t>(n);
    mask_.assign(count, 0);
    groupOf_.assign(count, -1);
    next_.assign(count, -1);
    groups_.clear();
    freeGroups_.clear();

    // One pass over the entries; then the names, with their hashes, sorted by
    // the slot they belong in. Entries of a name end up side by side and in
    // index order, and the groups go into the slots in slot order. Looking
    // every entry up in the slots, or comparing names in the table, costs cache
    // misses per entry and is several times slower at a million entries.
    std::vector<HashedEntry> hashed;
    hashed.reserve(count);
    for (int i = 0; i < n; ++i) {
        const HostEntry& e = table.at(i);
        mask_[static_cast<std::size_t>(i)] = EntryMask(e);
        if (e.hostname.empty())
            continue;
        HashedEntry& h = hashed.emplace_back();
        h.hash = FoldedHash(e.hostname);
        h.entry = i;
        const std::size_t length = e.hostname.size();
        for (std::size_t k = 0; k < 15 && k < length; ++k)
            h.key[k] = Upper(e.hostname[k]);
        h.key[15] = length < 16 ? static_cast<char>(length) : HashedEntry::kLongName;
    }
    SortByTopBits(hashed);

    std::size_t capacity = 16;
    while (capacity < 2 * hashed.size())
        capacity *= 2;
    slots_.assign(capacity, Slot{});
    slotShift_ = 32 - std::countr_zero(capacity);
    usedSlots_ = 0;
    const auto sameName = [&](const HashedEntry& a, const HashedEntry& b) {
        return a.hash == b.hash && std::memcmp(a.key, b.key, sizeof a.key) == 0 &&
               (a.key[15] != HashedEntry::kLongName ||
                EqualFolded(table.at(a.entry).hostname, table.at(b.entry).hostname));
    };
    std::vector<std::size_t> heads; // the first item of each group of a run
    for (std::size_t r = 0; r < hashed.size();) {
        std::size_t end = r + 1;
        while (end < hashed.size() && (hashed[end].hash ^ hashed[r].hash) >> kSortedFrom == 0)
            ++end;
        // A run shares the top bits of the hash: nearly always one name.
        const std::size_t firstGroup = groups_.size();
        heads.clear();
        for (std::size_t k = r; k < end; ++k) {
            const HashedEntry& item = hashed[k];
            const int i = item.entry;
            std::size_t found = 0;
            while (found < heads.size() && !sameName(hashed[heads[found]], item))
                ++found;
            const std::size_t g = firstGroup + found;
            if (found == heads.size()) {
                heads.push_back(k);
                groups_.push_back(Group{item.hash, i, i, 0});
                std::size_t s = home(item.hash);
                while (slots_[s].group != kEmpty)
                    s = (s + 1) & (capacity - 1);
                slots_[s] = Slot{item.hash, static_cast<int>(g)};
                ++usedSlots_;
            } else {
                Group& group = groups_[g];
                next_[static_cast<std::size_t>(group.tail)] = i;
                group.tail = i;
                mask_[static_cast<std::size_t>(i)] |= Bit(WarningKind::DuplicateUnused);
                mask_[static_cast<std::size_t>(group.head)] |= Bit(WarningKind::DuplicateUsed);
            }
            ++groups_[g].count;
            groupOf_[static_cast<std::size_t>(i)] = static_cast<int>(g);
        }
        r = end;
    }

    entryWarnings_ = 0;
    entriesWithWarnings_ = 0;
    for (std::uint8_t m : mask_) {
        entryWarnings_ += std::popcount(m);
        entriesWithWarnings_ += m != 0;
    }
}

void HostWarnings::checkIncludes(const HostTable& table)
{
    fileWarnings_.clear();
    for (const Include& inc : includes_) {
        bool preloaded = false;
        const int g = findGroup(table, inc.server, inc.hash);
        if (g >= 0) {
            for (int j = groups_[static_cast<std::size_t>(g)].head;
                 j >= 0 && j < inc.entriesAbove && !preloaded;
                 j = next_[static_cast<std::size_t>(j)])
                preloaded = table.at(j).preload;
        }
        if (!preloaded)
            fileWarnings_.push_back(FileWarning{inc.line, inc.server});
    }
}

void HostWarnings::entryChanged(const HostTable& table, int index)
{
    changed_.clear();
    tracking_ = true;
    update(table, index);
    tracking_ = false;
}

void HostWarnings::update(const HostTable& table, int index)
{
    const auto at = static_cast<std::size_t>(index);
    if (at == mask_.size()) {
        mask_.push_back(0);
        groupOf_.push_back(-1);
        next_.push_back(-1);
    }
    const int oldGroup = groupOf_[at];
    const std::uint32_t oldHash =
        oldGroup >= 0 ? groups_[static_cast<std::size_t>(oldGroup)].hash : 0;
    if (oldGroup >= 0) {
        removeFromGroup(index);
        if (groups_[static_cast<std::size_t>(oldGroup)].count == 0)
            freeGroup(oldGroup);
        else
            markGroup(oldGroup);
    }
    const HostEntry& e = table.at(index);
    setMask(index, EntryMask(e));
    std::uint32_t newHash = 0;
    if (!e.hostname.empty()) {
        const int g = addToGroup(table, index);
        newHash = groups_[static_cast<std::size_t>(g)].hash;
        markGroup(g);
    }
    for (const Include& inc : includes_) {
        if ((oldGroup >= 0 && inc.hash == oldHash) ||
            (!e.hostname.empty() && inc.hash == newHash)) {
            checkIncludes(table);
            break;
        }
    }
}

void HostWarnings::entryRemoved(const HostTable& table, int index)
{
    for (Include& inc : includes_) {
        if (inc.entriesAbove > index)
            --inc.entriesAbove;
    }
    computeEntries(table);
    checkIncludes(table);
}

std::vector<Warning> HostWarnings::of(int entry) const
{
    std::vector<Warning> out;
    const auto at = static_cast<std::size_t>(entry);
    if (entry < 0 || at >= mask_.size())
        return out;
    const std::uint8_t m = mask_[at];
    for (unsigned k = 0; k < 8; ++k) {
        if (!(m & (1u << k)))
            continue;
        Warning w{static_cast<WarningKind>(k)};
        if (m & Bit(w.kind) & kDuplicateBits) {
            const Group& g = groups_[static_cast<std::size_t>(groupOf_[at])];
            w.other = w.kind == WarningKind::DuplicateUsed ? next_[at] : g.head;
            w.others = g.count - 1;
        }
        out.push_back(w);
    }
    return out;
}

int HostWarnings::nextEntryWithWarning(int afterEntry) const
{
    const int n = static_cast<int>(mask_.size());
    for (int i = afterEntry < 0 ? 0 : afterEntry + 1; i < n; ++i) {
        if (mask_[static_cast<std::size_t>(i)])
            return i;
    }
    return -1;
}

int HostWarnings::findGroup(const HostTable& table, std::string_view name, std::uint32_t hash) const
{
    if (slots_.empty())
        return -1;
    const std::size_t wrap = slots_.size() - 1;
    for (std::size_t s = home(hash);; s = (s + 1) & wrap) {
        const Slot& slot = slots_[s];
        if (slot.group == kEmpty)
            return -1;
        if (slot.group >= 0 && slot.hash == hash &&
            EqualFolded(table.at(groups_[static_cast<std::size_t>(slot.group)].head).hostname,
                        name))
            return slot.group;
    }
}

int HostWarnings::addToGroup(const HostTable& table, int entry)
{
    const std::string& name = table.at(entry).hostname;
    const std::uint32_t hash = FoldedHash(name);
    int g = findGroup(table, name, hash);
    if (g < 0) {
        if (2 * (usedSlots_ + 1) > slots_.size())
            growSlots();
        if (freeGroups_.empty()) {
            g = static_cast<int>(groups_.size());
            groups_.emplace_back();
        } else {
            g = freeGroups_.back();
            freeGroups_.pop_back();
        }
        groups_[static_cast<std::size_t>(g)] = Group{hash, -1, -1, 0};
        const std::size_t wrap = slots_.size() - 1;
        std::size_t s = home(hash);
        while (slots_[s].group >= 0)
            s = (s + 1) & wrap;
        usedSlots_ += slots_[s].group == kEmpty;
        slots_[s] = Slot{hash, g};
    }

    Group& group = groups_[static_cast<std::size_t>(g)];
    auto& next = next_;
    const auto at = static_cast<std::size_t>(entry);
    if (group.count == 0) {
        group.head = group.tail = entry;
        next[at] = -1;
    } else if (entry > group.tail) {
        next[static_cast<std::size_t>(group.tail)] = entry;
        next[at] = -1;
        group.tail = entry;
    } else if (entry < group.head) {
        next[at] = group.head;
        group.head = entry;
    } else {
        int p = group.head;
        while (next[static_cast<std::size_t>(p)] < entry)
            p = next[static_cast<std::size_t>(p)];
        next[at] = next[static_cast<std::size_t>(p)];
        next[static_cast<std::size_t>(p)] = entry;
    }
    ++group.count;
    groupOf_[at] = g;
    return g;
}

void HostWarnings::removeFromGroup(int entry)
{
    const auto at = static_cast<std::size_t>(entry);
    Group& group = groups_[static_cast<std::size_t>(groupOf_[at])];
    if (group.head == entry) {
        group.head = next_[at];
        if (group.tail == entry)
            group.tail = -1;
    } else {
        int p = group.head;
        while (next_[static_cast<std::size_t>(p)] != entry)
            p = next_[static_cast<std::size_t>(p)];
        next_[static_cast<std::size_t>(p)] = next_[at];
        if (group.tail == entry)
            group.tail = p;
    }
    --group.count;
    next_[at] = -1;
    groupOf_[at] = -1;
    // Its duplicate warnings go with it.
    setMask(entry, mask_[at] & ~kDuplicateBits);
}

void HostWarnings::freeGroup(int group)
{
    const std::size_t wrap = slots_.size() - 1;
    std::size_t s = home(groups_[static_cast<std::size_t>(group)].hash);
    while (slots_[s].group != group)
        s = (s + 1) & wrap;
    slots_[s].group = kDeleted;
    freeGroups_.push_back(group);
}

void HostWarnings::growSlots()
{
    std::size_t live = 0;
    for (const Group& g : groups_)
        live += g.count > 0;
    std::size_t capacity = 16;
    while (capacity < 4 * (live + 1))
        capacity *= 2;
    slots_.assign(capacity, Slot{});
    slotShift_ = 32 - std::countr_zero(capacity);
    const std::size_t wrap = capacity - 1;
    for (std::size_t g = 0; g < groups_.size(); ++g) {
        if (groups_[g].count == 0)
            continue;
        std::size_t s = home(groups_[g].hash);
        while (slots_[s].group != kEmpty)
            s = (s + 1) & wrap;
        slots_[s] = Slot{groups_[g].hash, static_cast<int>(g)};
    }
    usedSlots_ = live;
}

void HostWarnings::setMask(int entry, std::uint8_t mask)
{
    std::uint8_t& m = mask_[static_cast<std::size_t>(entry)];
    if (tracking_ && (m != 0) != (mask != 0))
        changed_.push_back(entry);
    entryWarnings_ += std::popcount(mask) - std::popcount(m);
    entriesWithWarnings_ += (mask != 0) - (m != 0);
    m = mask;
}

void HostWarnings::markGroup(int group)
{
    const Group& g = groups_[static_cast<std::size_t>(group)];
    for (int j = g.head; j >= 0; j = next_[static_cast<std::size_t>(j)]) {
        std::uint8_t m = mask_[static_cast<std::size_t>(j)] & ~kDuplicateBits;
        if (g.count > 1)
            m |= j == g.head ? Bit(WarningKind::DuplicateUsed) : Bit(WarningKind::DuplicateUnused);
        setMask(j, m);
    }
}
