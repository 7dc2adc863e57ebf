// Start-up of the main window and the open and close of a database.
//
//   bench_startup [--benchmark_...]
//   MEALWRIGHT_BENCH_DB=/tmp/mealwright-1m.mdb bench_startup   also opens the large database
//
// The demo database is made once, in a temporary folder; the user's settings are never touched
// (XDG_CONFIG_HOME points to a temporary folder too).

#include "BenchSupport.h"

#include "deMealwright.h"
#include "DemoData.h"
#include "frmMainFrame.h"
#include "MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

QString g_demoPath;

// The frame from construction to its first exposure on screen, then its destruction. The
// database the frame opens stays open after it goes, as in the program: the next start()
// closes it first.
bool showFrameOnce(benchmark::State &state)
{
    MessageBox::clearShown();
    auto frame = std::make_unique<frmMainFrame>();
    frame->start(g_demoPath);
    frame->show();
    if (!QTest::qWaitForWindowExposed(frame.get(), 5000)) {
        state.SkipWithError("the main window was never exposed");
        return false;
    }
    if (!deMealwright::instance().isOpen() || !MessageBox::shown().isEmpty()) {
        const QString said = MessageBox::shown().isEmpty() ? QStringLiteral("no database open")
                                                           : MessageBox::shown().first().text;
        state.SkipWithError(qPrintable(said));
        return false;
    }
    frame.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return true;
}

// Registered twice: first for the very first frame of the process (fonts, styles and the
// platform plugin's first window are set up then, once), then for every later frame, which is
// what a start-up costs once the process is warm.
void BM_StartupFrame(benchmark::State &state)
{
    for (auto _ : state) {
        if (!showFrameOnce(state))
            break;
    }
    deMealwright::instance().close();
}

void BM_OpenClose(benchmark::State &state, const QString &path)
{
    deMealwright &environment = deMealwright::instance();
    environment.close();
    for (auto _ : state) {
        const OpenResult result = environment.open(path);
        if (!result.ok()) {
            state.SkipWithError(qPrintable(result.reason()));
            break;
        }
        environment.close();
    }
    state.counters["file_MB"] = static_cast<double>(QFileInfo(path).size()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::prepareEnvironment();
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    MessageBox::setTestMode(true); // a failure is reported, never waits on a dialog

    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "bench_startup: no temporary folder: %s\n", qPrintable(folder.errorString()));
        return 1;
    }
    g_demoPath = folder.filePath(QStringLiteral("demo.mdb"));
    const Status made = DemoData::createFile(g_demoPath, BenchSupport::fixedLastDay());
    if (!made) {
        std::fprintf(stderr, "bench_startup: the demo database could not be made: %s\n", qPrintable(made.reason()));
        return 1;
    }

    // Registered in this order, so that the first frame of the process is measured first.
    benchmark::RegisterBenchmark("Startup/FirstFrame", BM_StartupFrame)
        ->Iterations(1)
        ->Repetitions(1)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("Startup/Frame", BM_StartupFrame)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("OpenClose/demo", BM_OpenClose, g_demoPath)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
    const QString large = BenchSupport::largeDatabasePath();
    if (!large.isEmpty()) {
        benchmark::RegisterBenchmark("OpenClose/large", BM_OpenClose, large)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true)
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime();
    } else {
        std::fprintf(stderr, "bench_startup: %s is not set: the large database is not opened\n",
                     BenchSupport::largeDatabaseVariable);
    }

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    deMealwright::instance().close();
    return 0;
}
