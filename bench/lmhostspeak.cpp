// Loads the LMHOSTS file that SystemRoot points at, then saves it unchanged, and
// prints the peak resident memory after each step, with the start-up figure for
// comparison. One process per measurement, so nothing else inflates the peak.

#include "lmhostsfile.h"

#include <QFileInfo>

#include <cstdio>
#include <sys/resource.h>

namespace
{

long PeakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main()
{
    const long start = PeakKiB();
    HostTable table;
    LoadHostTable(table);
    const long loaded = PeakKiB();
    SaveHostTable(table);
    const long saved = PeakKiB();
    std::printf("entries %d\nfile_bytes %lld\nstart_kib %ld\nafter_load_kib %ld\n"
                "after_save_kib %ld\n",
                table.size(), static_cast<long long>(QFileInfo(LmhostsPath()).size()), start,
                loaded, saved);
    return 0;
}
