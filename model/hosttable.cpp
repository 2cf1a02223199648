#include "hosttable.h"

#include <utility>

int HostTable::size() const
{
    return static_cast<int>(entries_.size());
}

HostEntry& HostTable::at(int index)
{
    return entries_.at(static_cast<std::size_t>(index));
}

const HostEntry& HostTable::at(int index) const
{
    return entries_.at(static_cast<std::size_t>(index));
}

int HostTable::append(HostEntry entry)
{
    entries_.push_back(std::move(entry));
    return size() - 1;
}

void HostTable::removeAt(int index)
{
    entries_.erase(entries_.begin() + index);
}

TextEncoding HostTable::encoding() const
{
    return TextEncoding::Windows1252;
}
