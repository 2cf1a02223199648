#include "hosttable.h"

#include <numeric>
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
    lines_.push_back(NoLineIndex);
    return size() - 1;
}

void HostTable::removeAt(int index)
{
    entries_.erase(entries_.begin() + index);
    lines_.erase(lines_.begin() + index);
}

TextEncoding HostTable::encoding() const
{
    return file_.encoding();
}

std::size_t HostTable::fileLineOf(int index) const
{
    const std::uint32_t line = lines_.at(static_cast<std::size_t>(index));
    return line == NoLineIndex ? NoLine : line;
}

void HostTable::assign(LoadedFile file, std::vector<HostEntry> entries)
{
    entries_ = std::move(entries);
    rebase(std::move(file));
}

void HostTable::rebase(LoadedFile file)
{
    file_ = std::move(file);
    lines_.resize(entries_.size());
    std::iota(lines_.begin(), lines_.end(), std::uint32_t{0});
}
