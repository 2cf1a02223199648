// The host list: a full rebuild, and rewriting the row being edited.
#include "editorlogic.h"
#include "hostlistcontrol.h"
#include "hostlistmodel.h"
#include "nulldialog.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <map>
#include <random>

namespace
{

// NetBIOS-style names in random order, some with numbers, mixed case.
const HostTable& TableOf(int n)
{
    static std::map<int, HostTable> tables;
    auto [it, added] = tables.try_emplace(n);
    if (added) {
        std::mt19937 random(n);
        static const char* const kStems[] = {"srv", "PC", "Print", "fileserver", "dc", "WS"};
        for (int i = 0; i < n; ++i) {
            HostEntry e;
            e.hostname =
                std::string(kStems[random() % 6]) + "-" + std::to_string(random() % 1000000);
            e.domain = "WORKGROUP";
            e.octet1 = 10;
            e.octet2 = static_cast<int>(random() % 256);
            e.octet3 = static_cast<int>(random() % 256);
            e.octet4 = static_cast<int>(random() % 256);
            e.preload = random() % 2 == 0;
            e.comment = "office";
            it->second.append(e);
        }
    }
    return it->second;
}

void BM_RefillList(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    HostTable table;
    HostListControl list(table);
    NullDialog dialog;
    EditorLogic logic(table, list, dialog);
    logic.InsertListColumns();
    logic.table() = TableOf(n);

    const std::size_t before = mallinfo2().uordblks;
    logic.RefillList();
    const std::size_t after = mallinfo2().uordblks;
    state.counters["list_bytes_per_entry"] = double(after - before) / n;

    for (auto _ : state) {
        logic.RefillList();
        benchmark::DoNotOptimize(list.rowCount());
    }
    state.SetComplexityN(n);
}

void BM_UpdateCurrentRow(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    HostTable table;
    HostListControl list(table);
    NullDialog dialog;
    EditorLogic logic(table, list, dialog);
    logic.InsertListColumns();
    logic.table() = TableOf(n);
    logic.RefillList();
    const int row = n / 2;
    const int entry = list.entryIndexOfRow(row);
    logic.setCurrent(row, entry);
    logic.fields() = logic.table().at(entry);

    int i = 0;
    for (auto _ : state) {
        logic.fields().hostname = (i++ % 2) ? "zzz" : "aaa";
        logic.StoreFieldsToEntry(entry);
        logic.UpdateCurrentRow(entry);
        benchmark::DoNotOptimize(list.model()->cellText(row, 0));
    }
    state.SetComplexityN(n);
}

} // namespace

BENCHMARK(BM_RefillList)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UpdateCurrentRow)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
