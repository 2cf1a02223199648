#pragma once

#include "hostentry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class HostTable;

// What Windows will read differently from what the table shows.
enum class WarningKind : std::uint8_t {
    NameTooLong,          // more than 15 bytes, no \0xNN in it
    ServiceNameLength,    // with \0xNN, but not 16 bytes
    EmptyName,            //
    DuplicateUsed,        // a later entry has the same name; Windows uses this one
    DuplicateUnused,      // an earlier entry has the same name; Windows never uses this one
    DomainWithoutPreload, // #DOM: without #PRE
    LineReadsOtherwise,   // the written line reads back as another entry
    OctetOutOfRange,      // an octet outside 0..255
};

struct Warning {
    WarningKind kind;
    // For the duplicate kinds: the other entry (for DuplicateUsed the first later
    // one), and how many entries share the name besides this one.
    int other = -1;
    int others = 0;

    friend bool operator==(const Warning&, const Warning&) = default;
};

// An #INCLUDE line whose server has no #PRE entry on an earlier line.
struct FileWarning {
    int line = 0; // 1-based, in the bytes given to rebuild()
    std::string server;

    friend bool operator==(const FileWarning&, const FileWarning&) = default;
};

// The name's length as Windows stores it: every \0xNN stands for one byte.
// `service` tells whether the name has such a byte.
int NetbiosNameLength(std::string_view name, bool* service = nullptr);

// What the line FormatLmhostsLine writes for `entry` reads back as, when that
// is not `entry`.
std::optional<HostEntry> ReadBackIfDifferent(const HostEntry& entry);

// The warnings of every entry of a table and of its file's #INCLUDE lines.
// Names are compared without regard to ASCII case; the first entry of a name
// is the one Windows uses.
class HostWarnings
{
public:
    // Everything anew. `fileBytes` are the lines the table's entries were read
    // from (the file as loaded or saved): its n-th entry line is entry n-1;
    // entries past its entry lines come after all of its lines.
    void rebuild(const HostTable& table, std::string_view fileBytes);
    // After entry `index` changed, or was appended (index == the old size). Costs
    // only the entries that share its old or new name.
    void entryChanged(const HostTable& table, int index);
    // The entries that gained their first warning or lost their last one in
    // the last entryChanged().
    const std::vector<int>& lastChanged() const { return changed_; }
    // After entry `index` was removed. Recomputes the entries; the file's lines
    // are not read again.
    void entryRemoved(const HostTable& table, int index);

    // None for an entry the warnings were not built or updated for.
    std::vector<Warning> of(int entry) const;
    const std::vector<FileWarning>& fileWarnings() const { return fileWarnings_; }
    // All warnings, the file's included; 0 for a table Windows reads as shown.
    int count() const { return entryWarnings_ + static_cast<int>(fileWarnings_.size()); }
    int entriesWithWarnings() const { return entriesWithWarnings_; }
    // The first entry after `afterEntry` with a warning, or -1.
    int nextEntryWithWarning(int afterEntry) const;

private:
    struct Group {
        std::uint32_t hash = 0;
        int head = -1; // members are linked by next_ in index order
        int tail = -1;
        int count = 0;
    };
    struct Slot {
        std::uint32_t hash = 0;
        int group = kEmpty;
    };
    // A name while the groups are made: its first 15 bytes folded, and its
    // length in the last byte (kLongName for 16 and more).
    struct HashedEntry {
        std::uint32_t hash;
        int entry;
        char key[16];
        static constexpr char kLongName = '\xFF';
    };
    static constexpr int kEmpty = -1;
    static constexpr int kDeleted = -2;

    struct Include {
        int line = 0;
        int entriesAbove = 0;
        std::uint32_t hash = 0;
        std::string server; // as written
    };

    void update(const HostTable& table, int index);
    void computeEntries(const HostTable& table);
    void checkIncludes(const HostTable& table);
    int findGroup(const HostTable& table, std::string_view name, std::uint32_t hash) const;
    int addToGroup(const HostTable& table, int entry);
    void removeFromGroup(int entry);
    void freeGroup(int group);
    void growSlots();
    void setMask(int entry, std::uint8_t mask);
    void markGroup(int group);

    // Per entry: bit k set for WarningKind k; the duplicate kinds come from the
    // group, which may change with other entries.
    std::vector<std::uint8_t> mask_;
    std::vector<int> groupOf_; // -1 for an empty name
    std::vector<int> next_;    // the next entry of the same name, or -1
    std::vector<Group> groups_;
    std::vector<int> freeGroups_;
    std::vector<Slot> slots_; // open addressing, size a power of two
    int slotShift_ = 28;      // a hash's top bits pick its first slot
    std::size_t home(std::uint32_t hash) const { return hash >> slotShift_; }
    std::size_t usedSlots_ = 0;
    std::vector<Include> includes_;
    std::vector<FileWarning> fileWarnings_;
    int entryWarnings_ = 0;
    int entriesWithWarnings_ = 0;
    std::vector<int> changed_;
    bool tracking_ = false;
};
