// A new diary that starts with the food catalogue (File > New... with its box checked,
// mealwright-newdb --catalogue): the file made in a temporary folder, in place, and removed.
//
//   bench_catalogue [--benchmark_...]
//
// Catalogue/FirstNewDiary is the first of the process, which also reads the catalogue out of
// the program's resources; Catalogue/NewDiary the later ones; NewDiary/empty the same file
// without the catalogue, the floor. Each reports the file's size.

#include "BenchSupport.h"

#include "Catalogue.h"
#include "NewDiary.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <functional>

namespace {

void BM_NewDiary(benchmark::State &state, bool withCatalogue)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("new.mdb"));
    double bytes = 0;
    for (auto _ : state) {
        const Status made = withCatalogue ? NewDiary::create(path, Catalogue::fill) : NewDiary::create(path);
        if (!made) {
            state.SkipWithError(qPrintable(made.reason()));
            break;
        }
        state.PauseTiming();
        bytes = static_cast<double>(QFileInfo(path).size());
        QFile::remove(path);
        state.ResumeTiming();
    }
    state.counters["file_MB"] = bytes / 1e6;
    if (withCatalogue && Catalogue::entries())
        state.counters["entries"] = static_cast<double>(Catalogue::entries().value().size());
}

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::prepareEnvironment();
    benchmark::Initialize(&argc, argv);
    QCoreApplication app(argc, argv);

    // Registered in this order, so that the first diary of the process is measured first.
    benchmark::RegisterBenchmark("Catalogue/FirstNewDiary", BM_NewDiary, true)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("Catalogue/NewDiary", BM_NewDiary, true)->Apply(BenchSupport::medians);
    benchmark::RegisterBenchmark("NewDiary/empty", BM_NewDiary, false)->Apply(BenchSupport::medians);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
