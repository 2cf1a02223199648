#pragma once

#include <QLocale>
#include <QStringView>

#include <memory>
#include <string>
#include <vector>

class HostTable;

struct UCollator;

// The host list's order: locale-aware, case-insensitive, numbers compared by
// value ("host2" before "host10").
//
// It works on ICU, the collation library under QCollator here, because the list
// needs the sort keys' bytes: QCollatorSortKey holds each key in two heap blocks
// of its own, which at a million entries costs more than the table itself.
class HostCollator
{
public:
    explicit HostCollator(const QLocale& locale);
    ~HostCollator();
    HostCollator(const HostCollator&) = delete;
    HostCollator& operator=(const HostCollator&) = delete;

    // Only the first kKeyChars characters count: texts that agree in those
    // compare equal. A name of megabytes would otherwise take a key as long.
    static constexpr qsizetype kKeyChars = 4096;

    // <0, 0 or >0.
    int compare(QStringView a, QStringView b) const;
    // Appends the text's sort key, NUL included. Keys compared as unsigned bytes
    // order as compare() does.
    void appendSortKey(QStringView text, std::string& out) const;

    // An independent copy, for use on another thread.
    std::unique_ptr<HostCollator> clone() const;

private:
    HostCollator() = default;

    UCollator* collator_ = nullptr;
};

// The table's entry indices in list order: by hostname as `collator` compares
// them, equal names in table order. One sort over a key per entry; comparing
// the names themselves would run the full collation O(n log n) times.
std::vector<int> SortedByHostname(const HostTable& table, const HostCollator& collator);
