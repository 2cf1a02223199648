#include "hosttable.h"

#include <utility>

int HostTable::size() const
{
    return static_cast<int>(slots_.size());
}

HostEntry& HostTable::at(int index)
{
    return slots_.at(static_cast<std::size_t>(index)).entry;
}

const HostEntry& HostTable::at(int index) const
{
    return slots_.at(static_cast<std::size_t>(index)).entry;
}

int HostTable::append(HostEntry entry)
{
    slots_.push_back(Slot{std::move(entry), {}});
    return size() - 1;
}

void HostTable::removeAt(int index)
{
    slots_.erase(slots_.begin() + index);
}

TextEncoding HostTable::encoding() const
{
    return encoding_;
}
