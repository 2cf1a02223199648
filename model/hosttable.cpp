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
    if (!lines_.empty())
        lines_.push_back(kNoLineIndex);
    return size() - 1;
}

void HostTable::removeAt(int index)
{
    entries_.erase(entries_.begin() + index);
    if (static_cast<std::size_t>(index) >= readLines_ && lines_.empty())
        return;
    if (lines_.empty()) {
        lines_.resize(entries_.size() + 1, kNoLineIndex);
        std::iota(lines_.begin(), lines_.begin() + static_cast<std::ptrdiff_t>(readLines_),
                  std::uint32_t{0});
        readLines_ = 0; // lines_ says it from now on, also once it is empty
    }
    lines_.erase(lines_.begin() + index);
}

TextEncoding HostTable::encoding() const
{
    return file_.encoding();
}

std::size_t HostTable::fileLineOf(int index) const
{
    const auto i = static_cast<std::size_t>(index);
    if (lines_.empty())
        return i < readLines_ ? i : kNoLine;
    const std::uint32_t line = lines_.at(i);
    return line == kNoLineIndex ? kNoLine : line;
}

void HostTable::assign(LoadedFile file, HostEntries entries)
{
    entries_ = std::move(entries);
    rebase(std::move(file));
}

void HostTable::rebase(LoadedFile file)
{
    file_ = std::move(file);
    lines_ = {};
    readLines_ = entries_.size();
}
