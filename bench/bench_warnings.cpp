// The warnings pass: a full rebuild, and the update after one entry changed.

#include "hosttable.h"
#include "hostwarnings.h"
#include "lmhostsline.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <map>
#include <random>
#include <string>

namespace
{

struct Fixture {
    HostTable table;
    std::string file;
};

// Names as in the list benchmark, but of at most 15 characters and drawn from
// as many numbers as there are entries: about a third of the entries repeat an
// earlier name, half of those in another case. The file has a comment before
// every tenth entry and an #INCLUDE every ten thousand.
const Fixture& FixtureOf(int n)
{
    static std::map<int, Fixture> fixtures;
    auto [it, added] = fixtures.try_emplace(n);
    if (added) {
        std::mt19937 random(n);
        static const char* const kStems[] = {"srv", "PC", "Print", "filesrv", "dc", "WS"};
        Fixture& f = it->second;
        for (int i = 0; i < n; ++i) {
            HostEntry e;
            const std::uint32_t number = random() % static_cast<std::uint32_t>(n);
            e.hostname = std::string(kStems[number % 6]) + "-" + std::to_string(number);
            if (random() % 2)
                e.hostname[0] = static_cast<char>(e.hostname[0] ^ 0x20);
            e.domain = random() % 4 == 0 ? "WORKGROUP" : "";
            e.octet1 = 10;
            e.octet2 = static_cast<int>(random() % 256);
            e.octet3 = static_cast<int>(random() % 256);
            e.octet4 = static_cast<int>(random() % 256);
            e.preload = random() % 2 == 0;
            e.comment = "office";
            if (i % 10 == 0)
                f.file += "# rack " + std::to_string(i / 10) + "\r\n";
            if (i % 10000 == 9999)
                f.file += "#INCLUDE \\\\" + e.hostname + "\\share\\lmhosts\r\n";
            std::string line = FormatLmhostsLine(e);
            line.insert(line.size() - 1, "\r");
            f.file += line;
            f.table.append(std::move(e));
        }
    }
    return it->second;
}

void BM_RebuildWarnings(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const Fixture& f = FixtureOf(n);
    HostWarnings warnings;
    const std::size_t before = mallinfo2().uordblks;
    warnings.rebuild(f.table, f.file);
    const std::size_t after = mallinfo2().uordblks;
    state.counters["bytes_per_entry"] = double(after - before) / n;
    state.counters["warnings"] = warnings.count();
    state.counters["entries_warned"] = warnings.entriesWithWarnings();

    for (auto _ : state) {
        warnings.rebuild(f.table, f.file);
        benchmark::DoNotOptimize(warnings.count());
    }
    state.SetComplexityN(n);
}

// Renaming one entry back and forth between its own name and the name of
// another entry: both names' entries are updated.
void BM_EntryChanged(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    HostTable table = FixtureOf(n).table;
    HostWarnings warnings;
    warnings.rebuild(table, FixtureOf(n).file);
    const int entry = n / 2;
    const std::string own = table.at(entry).hostname;
    const std::string other = table.at(n / 3).hostname;

    int i = 0;
    for (auto _ : state) {
        table.at(entry).hostname = (i++ % 2) ? own : other;
        warnings.entryChanged(table, entry);
        benchmark::DoNotOptimize(warnings.count());
    }
    state.SetComplexityN(n);
}

} // namespace

BENCHMARK(BM_RebuildWarnings)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EntryChanged)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
