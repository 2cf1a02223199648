#include "loadedfile.h"

#include <algorithm>
#include <utility>

LoadedFile::LoadedFile(FileBytes bytes, std::size_t bomLength, std::size_t tailStart, bool crlf,
                       TextEncoding encoding)
    : bytes_(std::move(bytes)), bomLength_(bomLength), tailStart_(tailStart), crlf_(crlf),
      encoding_(encoding), existed_(true)
{
}

void LoadedFile::setEntryLines(LineStarts starts,
                               std::vector<std::pair<std::size_t, KeptWords>> made)
{
    lineStarts_ = std::move(starts);
    written_ = std::move(made);
}

const LoadedFile::KeptWords* LoadedFile::keptWords(std::size_t k) const
{
    if (written_.empty())
        return nullptr;
    const auto it =
        std::lower_bound(written_.begin(), written_.end(), k,
                         [](const auto& w, std::size_t line) { return w.first < line; });
    return it != written_.end() && it->first == k ? &it->second : nullptr;
}
