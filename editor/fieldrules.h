#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class HostTable;

// The checks the window makes on what is typed into the entry controls.

// A decimal integer with optional blanks around it and an optional sign. Values
// beyond 32 bits saturate: they are out of any octet's range either way.
std::optional<std::int32_t> ParseDecimal(const QString& text);

// What the text of an octet control comes to.
struct OctetReading {
    enum class Verdict {
        Octet,      // 0..255
        OutOfRange, // a number the file can carry, but no octet
        TooLong,    // beyond three characters: would not read back as the same number
        NotInteger,
    };
    Verdict verdict = Verdict::NotInteger;
    std::int32_t value = 0; // the number, where there is one

    // Whether the field takes the value: also when it is out of range, so that what
    // the user typed is not lost.
    bool stored() const { return verdict == Verdict::Octet || verdict == Verdict::OutOfRange; }
    // The message that asks for a better value; 0 for an octet.
    int messageId() const;
};

OctetReading ReadOctet(const QString& text);

// The longest hostname or domain a user may type.
inline constexpr qsizetype kMaxNameLength = 512;

// How long the hostname and domain of each entry may be. A name that the file already
// has longer than a user may type is not the user's doing: it may stay that long.
class NameLimits
{
public:
    // Notes the long names of the table. Only the first call counts: it has to come
    // before any edit reaches the table.
    void Note(const HostTable& table);

    qsizetype hostnameLimit(int entry) const;
    qsizetype domainLimit(int entry) const;

    // Entry `entry` left the table; the later ones moved down one.
    void EntryRemoved(int entry);

private:
    struct LongNames {
        int entry;
        qsizetype hostname;
        qsizetype domain;
    };
    const LongNames* find(int entry) const;

    std::vector<LongNames> longNames_; // in entry order
    bool noted_ = false;
};
