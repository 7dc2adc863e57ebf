// The food list window on a large database with a large food catalogue:
//   opening the window (the whole catalogue read, sorted by name and shown);
//   a click on the Calories header (the catalogue re-ordered in memory);
//   a search for the next entry whose name contains a text, at its worst: no entry matches, so
//   every name after the cursor is compared;
//   the count of the meals that use an entry, which Delete takes before it asks;
//   the peak memory with the window open.
// Beside them, the same statements through the SQLite C API: the floor of the engine.
//
//   MEALWRIGHT_BENCH_DB=/tmp/mealwright-1m-20k.mdb bench_foodview
// Without MEALWRIGHT_BENCH_DB a database of 100,000 meals and 20,000 catalogue entries is
// generated in a temporary folder. Nothing is written to the database.

#include "BenchSupport.h"

#include "deMealwright.h"
#include "FoodRows.h"
#include "Foods.h"
#include "frmFoodView.h"
#include "MessageBox.h"

#include <QApplication>
#include <QHeaderView>
#include <QTableView>

#include <benchmark/benchmark.h>

#ifdef MEALWRIGHT_BENCH_SQLITE3
#include "SqliteFloor.h"
#endif

#include <cstdio>
#include <memory>

namespace {

constexpr std::int64_t generatedMeals = 100'000;
constexpr int generatedCatalogue = 20'000;

QString g_path;
QString g_usedFood; // the entry most meals use
QString g_usedUnits;
const QString missingText = QStringLiteral("no food is called this");

Connection &database()
{
    return deMealwright::instance().cnMealwright();
}

std::unique_ptr<frmFoodView> openView()
{
    auto view = std::make_unique<frmFoodView>();
    view->show();
    QCoreApplication::processEvents();
    return view;
}

void BM_OpenWindow(benchmark::State &state)
{
    for (auto _ : state) {
        std::unique_ptr<frmFoodView> view = openView();
        state.PauseTiming();
        view.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_HeaderSort(benchmark::State &state)
{
    std::unique_ptr<frmFoodView> view = openView();
    QHeaderView *header = view->dbgFoods->horizontalHeader();
    for (auto _ : state) {
        // Ascending and descending in turn, as repeated clicks do.
        Q_EMIT header->sectionClicked(2);
        QCoreApplication::processEvents();
    }
    state.counters["entries"] = view->dbgFoods->model()->rowCount();
}

void BM_FindNextNoMatch(benchmark::State &state)
{
    const Result<std::vector<FoodEntry>> entries = Foods(database()).all();
    if (!entries) {
        state.SkipWithError(qPrintable(entries.reason()));
        return;
    }
    FoodRows rows(entries.value());
    rows.sort(u"Food ASC");
    for (auto _ : state)
        benchmark::DoNotOptimize(rows.findName(missingText, NameMatch::Contains, 1));
}

void BM_InUseCount(benchmark::State &state)
{
    Foods foods(database());
    qint64 meals = 0;
    for (auto _ : state) {
        const Result<qint64> count = foods.mealsUsing(g_usedFood, g_usedUnits);
        if (!count) {
            state.SkipWithError(qPrintable(count.reason()));
            return;
        }
        meals = *count;
    }
    state.counters["meals"] = static_cast<double>(meals);
}

void BM_PeakMemoryWithTheWindowOpen(benchmark::State &state)
{
    std::unique_ptr<frmFoodView> view;
    for (auto _ : state)
        view = openView();
    state.counters["peak_MiB"] = static_cast<double>(BenchSupport::peakResidentKiB()) / 1024;
    state.counters["now_MiB"] = static_cast<double>(BenchSupport::residentKiB()) / 1024;
}

#ifdef MEALWRIGHT_BENCH_SQLITE3

sqlite3 *g_reader = nullptr;

void floorQuery(benchmark::State &state, const char *sql, std::vector<SqliteFloor::Value> values)
{
    SqliteFloor::runEach(state, g_reader, {{QString::fromUtf8(sql), std::move(values)}}, false);
}

void BM_Floor_ReadCatalogue(benchmark::State &state)
{
    floorQuery(state,
               "SELECT ID, Food, Units, CaloriesPerUnit, VegetableServings, FruitServings, EntreeFlag, SupplementFlag"
               " FROM Foods ORDER BY ID",
               {});
}

void BM_Floor_SortedByCalories(benchmark::State &state)
{
    floorQuery(state, "SELECT ID FROM Foods ORDER BY CaloriesPerUnit", {});
}

void BM_Floor_FindNoMatch(benchmark::State &state)
{
    floorQuery(state, "SELECT ID FROM Foods WHERE instr(lower(Food), lower(?)) > 0 LIMIT 1", {SqliteFloor::utf8(missingText)});
}

void BM_Floor_InUseCount(benchmark::State &state)
{
    floorQuery(state, "SELECT count(*) FROM Meals WHERE Food = ? AND Units = ?", {SqliteFloor::utf8(g_usedFood), SqliteFloor::utf8(g_usedUnits)});
}

#endif

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::prepareEnvironment();
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    MessageBox::setTestMode(true);

    g_path = BenchSupport::largeOrGeneratedDatabase(generatedMeals, generatedCatalogue);
    if (g_path.isEmpty())
        return 1;
    const OpenResult opened = deMealwright::instance().open(g_path);
    if (!opened.ok()) {
        std::fprintf(stderr, "bench_foodview: %s cannot be opened: %s\n", qPrintable(g_path), qPrintable(opened.reason()));
        return 1;
    }
    const Result<QStringList> used =
        database()
            .statement(QStringLiteral("SELECT Food || char(9) || Units FROM Meals GROUP BY Food, Units"
                                      " ORDER BY count(*) DESC LIMIT 1"))
            .texts();
    if (!used || used->isEmpty()) {
        std::fprintf(stderr, "bench_foodview: no meal to count in %s\n", qPrintable(g_path));
        return 1;
    }
    g_usedFood = used->first().section(QLatin1Char('\t'), 0, 0);
    g_usedUnits = used->first().section(QLatin1Char('\t'), 1);
    std::fprintf(stderr, "database %s; counting the meals of \"%s\" in %s\n", qPrintable(g_path),
                 qPrintable(g_usedFood), qPrintable(g_usedUnits));

    benchmark::RegisterBenchmark("food view: open the window", BM_OpenWindow)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("food view: header sort by calories", BM_HeaderSort)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("food view: find next, no match", BM_FindNextNoMatch)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("food view: in-use count", BM_InUseCount)->Unit(benchmark::kMillisecond);
#ifdef MEALWRIGHT_BENCH_SQLITE3
    g_reader = SqliteFloor::openReadOnly("bench_foodview", g_path);
    if (!g_reader)
        return 1;
    benchmark::RegisterBenchmark("floor: read the catalogue", BM_Floor_ReadCatalogue)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("floor: catalogue by calories", BM_Floor_SortedByCalories)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("floor: find, no match", BM_Floor_FindNoMatch)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("floor: in-use count", BM_Floor_InUseCount)->Unit(benchmark::kMillisecond);
#else
    std::fprintf(stderr, "bench_foodview: built without the SQLite development files: no sqlite3 floor\n");
#endif
    // Last, so that the peak is the window's and not the other benchmarks'.
    benchmark::RegisterBenchmark("food view: peak memory with the window open", BM_PeakMemoryWithTheWindowOpen)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
#ifdef MEALWRIGHT_BENCH_SQLITE3
    sqlite3_close(g_reader);
#endif
    deMealwright::instance().close();
    return 0;
}
