// The memory a 365-day meal view takes: the meal view command runs on a large database and its
// result is held, as the meal view window holds it. A program of its own, so that nothing else
// the benchmarks do shows in its peak.
//
//   MEALWRIGHT_BENCH_DB=/tmp/mealwright-1m.mdb bench_mealmemory
// Without MEALWRIGHT_BENCH_DB a database of 100,000 meals is generated in a temporary folder.
//
// Counters (KiB unless said otherwise):
//   cold_rss_delta   resident memory the first 365-day query added: the held rows, SQLite's
//                    page cache filling with the pages read, and the query's own buffers
//   cold_heap_delta  the same, as bytes in use on the C library's heap
//   result_heap      the heap a second, held result takes once the page cache is warm:
//                    what the row list itself costs
//   result_bytes_per_row   result_heap per row, in bytes
//   peak_rss         the process's highest resident set size (getrusage ru_maxrss)

#include "BenchSupport.h"

#include "deMealwright.h"
#include "MealViewCommand.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

BenchSupport::QueryCase g_case;

MealViewResult executeYear()
{
    return MealViewCommand::execute(deMealwright::instance().cnMealwright(), g_case.client, g_case.year);
}

void BM_MealViewMemory365Days(benchmark::State &state)
{
    for (auto _ : state) {
        const std::int64_t rssBefore = BenchSupport::residentKiB();
        const std::int64_t heapBefore = BenchSupport::heapInUseBytes();
        MealViewResult cold = executeYear();
        const std::int64_t rssAfter = BenchSupport::residentKiB();
        const std::int64_t heapAfter = BenchSupport::heapInUseBytes();
        if (cold.failed() || cold.qryMealView->count() == 0) {
            state.SkipWithError(cold.failed() ? qPrintable(cold.status.reason()) : "the query gave no rows");
            return;
        }
        state.PauseTiming();
        const int rows = cold.qryMealView->count();
        cold = MealViewResult();
        const std::int64_t heapWarm = BenchSupport::heapInUseBytes();
        const MealViewResult held = executeYear();
        const std::int64_t heapHeld = BenchSupport::heapInUseBytes();
        if (held.failed() || held.qryMealView->count() != rows) {
            state.SkipWithError("the second query did not give the same rows");
            return;
        }
        state.counters["rows"] = rows;
        state.counters["rss_before"] = static_cast<double>(rssBefore);
        state.counters["cold_rss_delta"] = static_cast<double>(rssAfter - rssBefore);
        state.counters["cold_heap_delta"] = static_cast<double>(heapAfter - heapBefore) / 1024;
        state.counters["result_heap"] = static_cast<double>(heapHeld - heapWarm) / 1024;
        state.counters["result_bytes_per_row"] = static_cast<double>(heapHeld - heapWarm) / rows;
        state.counters["peak_rss"] = static_cast<double>(BenchSupport::peakResidentKiB());
        state.ResumeTiming();
    }
}

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::prepareEnvironment();
    benchmark::Initialize(&argc, argv);
    QCoreApplication app(argc, argv);

    g_case = BenchSupport::openQueryCase("bench_mealmemory", 100'000);
    if (!g_case.errorText.isEmpty())
        return 1;

    benchmark::RegisterBenchmark("MealViewMemory/365days", BM_MealViewMemory365Days)
        ->Iterations(1)
        ->Repetitions(1)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    deMealwright::instance().close();
    return 0;
}
