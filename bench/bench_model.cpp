// Loading, saving and line parsing on generated LMHOSTS files of 1 000, 100 000
// and 1 000 000 entries. The files live in MARLOX_BENCH_DIR (default: a fresh
// temporary folder).

#include "lmhostsfile.h"
#include "lmhostsgen.h"
#include "lmhostsline.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <memory>

namespace
{

QString BenchDir()
{
    static const QString dir = [] {
        const QString fromEnv = qEnvironmentVariable("MARLOX_BENCH_DIR");
        if (!fromEnv.isEmpty())
            return fromEnv;
        static QTemporaryDir temp;
        return temp.path();
    }();
    return dir;
}

// Points SystemRoot at a Windows tree holding the generated file; returns its size.
std::size_t UseFile(int entries)
{
    static std::map<int, std::size_t> sizes;
    const QString root = BenchDir() + QStringLiteral("/w%1").arg(entries);
    const QString etc = root + QStringLiteral("/System32/drivers/etc");
    if (!sizes.count(entries)) {
        const std::string bytes = GenerateLmhosts(entries);
        QDir().mkpath(etc);
        QFile f(etc + QStringLiteral("/lmhosts"));
        if (!f.open(QIODevice::WriteOnly) ||
            f.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
                static_cast<qint64>(bytes.size()))
            std::abort();
        sizes[entries] = bytes.size();
    }
    qputenv("SystemRoot", root.toLocal8Bit());
    return sizes[entries];
}

void Counters(benchmark::State& state, std::size_t bytes, int entries)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * entries);
    state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_LoadHostTable(benchmark::State& state)
{
    const int entries = static_cast<int>(state.range(0));
    const std::size_t bytes = UseFile(entries);
    for (auto _ : state) {
        HostTable table;
        LoadHostTable(table);
        benchmark::DoNotOptimize(table.size());
    }
    Counters(state, bytes, entries);
}

void BM_SaveUnchanged(benchmark::State& state)
{
    const int entries = static_cast<int>(state.range(0));
    const std::size_t bytes = UseFile(entries);
    HostTable table;
    LoadHostTable(table);
    for (auto _ : state)
        SaveHostTable(table);
    Counters(state, bytes, entries);
}

// Every hundredth entry changes before each save; the next save changes it back.
void BM_SaveOnePercentChanged(benchmark::State& state)
{
    const int entries = static_cast<int>(state.range(0));
    const std::size_t bytes = UseFile(entries);
    HostTable table;
    LoadHostTable(table);
    int round = 0;
    for (auto _ : state) {
        ++round;
        for (int i = 0; i < table.size(); i += 100)
            table.at(i).octet4 ^= 1;
        SaveHostTable(table);
    }
    // Leave the file as generated for the other benchmarks.
    if (round % 2) {
        for (int i = 0; i < table.size(); i += 100)
            table.at(i).octet4 ^= 1;
        SaveHostTable(table);
    }
    Counters(state, bytes, entries);
}

void BM_ParseLmhostsLine(benchmark::State& state)
{
    const std::string file = GenerateLmhosts(1000);
    std::vector<std::string> lines;
    std::size_t p = 0, bytes = 0;
    while (p < file.size()) {
        const std::size_t nl = file.find('\n', p);
        lines.push_back(file.substr(p, nl - p - 1));
        bytes += nl - p - 1;
        p = nl + 1;
    }
    for (auto _ : state) {
        for (const std::string& line : lines)
            benchmark::DoNotOptimize(ParseLmhostsLine(line));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * lines.size()));
}

} // namespace

BENCHMARK(BM_LoadHostTable)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveUnchanged)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveOnePercentChanged)
    ->Arg(1000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseLmhostsLine)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
