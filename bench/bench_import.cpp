// The food import on a large database: a CSV file read and merged into the catalogue in one
// transaction, as Foods > Import... does it (without the progress dialog):
//   the whole catalogue, every entry of which the database holds already;
//   20,000 new entries (store brands of the catalogue's foods);
//   both in one file.
// Beside them, the reading of the largest file alone.
//
//   MEALWRIGHT_BENCH_DB=/tmp/mealwright-1m.mdb bench_import
// Without MEALWRIGHT_BENCH_DB a database of 100,000 meals is generated in a temporary folder.
// The imports go to a copy of the database: the file given is left as it was.
#include "BenchSupport.h"
#include "BigDiary.h"
#include "Connection.h"
#include "CsvReader.h"
#include "deMealwright.h"
#include "FoodImport.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr std::int64_t generatedMeals = 100'000;
constexpr int newEntries = 20'000;

struct Files
{
    QString catalogue;
    QString fresh;
    QString both;
};

QString g_copy;
Files g_files;

QByteArray quoted(const QString &text)
{
    QString inner = text;
    return '"' + inner.replace(QLatin1Char('"'), QStringLiteral("\"\"")).toUtf8() + '"';
}

QByteArray number(double value)
{
    // Fixed notation, never "1e-05": the import reads plain decimals.
    return QString::number(value, 'f', QLocale::FloatingPointShortest).toUtf8();
}

// The entries as a spreadsheet writes them: comma-separated, names quoted, CRLF line ends.
template <typename Entries>
QByteArray csvOf(const Entries &entries, QByteArray text = {})
{
    if (text.isEmpty())
        text = "Food,Units,CaloriesPerUnit,VegetableServings,FruitServings,EntreeFlag,SupplementFlag\r\n";
    for (const FoodEntry &entry : entries)
        text += quoted(entry.food) + ',' + quoted(entry.units) + ',' + number(entry.caloriesPerUnit) + ','
                + number(entry.vegetableServings) + ',' + number(entry.fruitServings) + ',' + (entry.entree ? "1" : "0")
                + ',' + (entry.supplement ? "1" : "0") + "\r\n";
    return text;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

Connection &database()
{
    return deMealwright::instance().cnMealwright();
}

qint64 largestFoodId()
{
    const Result<qint64> id = database().statement(QStringLiteral("SELECT max(ID) FROM Foods")).wholeNumber();
    return id ? *id : -1;
}

// One import of the file an iteration; the entries it added are deleted again, untimed, so that
// every iteration meets the same catalogue.
void BM_Import(benchmark::State &state, const QString *path)
{
    if (!BenchSupport::useDatabase(state, g_copy))
        return;
    const qint64 before = largestFoodId();
    FoodImportSummary summary;
    for (auto _ : state) {
        const Result<FoodImportSummary> imported = FoodImport::importFile(database(), *path);
        if (!imported) {
            state.SkipWithError(qPrintable(imported.reason()));
            return;
        }
        summary = *imported;
        state.PauseTiming();
        Connection::Statement remove = database().statement(QStringLiteral("DELETE FROM Foods WHERE ID > ?"));
        if (!remove.bind(before).exec()) {
            state.SkipWithError(qPrintable(remove.status().reason()));
            return;
        }
        state.ResumeTiming();
    }
    state.counters["added"] = summary.added;
    state.counters["already_there"] = summary.alreadyThere;
    state.counters["skipped"] = summary.skipped;
}

// The largest file read and parsed, with nothing written.
void BM_Read(benchmark::State &state)
{
    qint64 records = 0;
    for (auto _ : state) {
        const Result<CsvTable> table = CsvReader::readFile(g_files.both, FoodImport::requiredColumns());
        if (!table) {
            state.SkipWithError(qPrintable(table.reason()));
            return;
        }
        records = static_cast<qint64>(table->records.size());
    }
    state.counters["records"] = static_cast<double>(records);
}

void registerAll()
{
    const auto once = [](benchmark::internal::Benchmark *benchmark) {
        BenchSupport::medians(benchmark);
        benchmark->Iterations(1);
    };
    benchmark::RegisterBenchmark("Import/catalogue", BM_Import, &g_files.catalogue)->Apply(once);
    benchmark::RegisterBenchmark("Import/new20000", BM_Import, &g_files.fresh)->Apply(once);
    benchmark::RegisterBenchmark("Import/catalogue+new20000", BM_Import, &g_files.both)->Apply(once);
    benchmark::RegisterBenchmark("Read/catalogue+new20000", BM_Read)->Apply(BenchSupport::medians);
}

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::prepareEnvironment();
    benchmark::Initialize(&argc, argv);
    QCoreApplication app(argc, argv);

    const QString path = BenchSupport::largeOrGeneratedDatabase(generatedMeals);
    if (path.isEmpty())
        return 1;
    const BenchSupport::Unchanged given(path);
    g_copy = BenchSupport::writableCopy(path);
    if (g_copy.isEmpty())
        return 1;

    QTemporaryDir folder;
    const std::vector<BigDiary::Food> &catalogue = BigDiary::foods();
    const std::vector<FoodEntry> brands =
        BigDiary::storeBrands(static_cast<int>(catalogue.size()) + newEntries, 0xC5F);
    g_files = {folder.filePath(QStringLiteral("catalogue.csv")), folder.filePath(QStringLiteral("new.csv")),
               folder.filePath(QStringLiteral("both.csv"))};
    if (!folder.isValid() || !write(g_files.catalogue, csvOf(catalogue)) || !write(g_files.fresh, csvOf(brands))
        || !write(g_files.both, csvOf(brands, csvOf(catalogue)))) {
        std::fprintf(stderr, "bench_import: the CSV files could not be written in %s\n", qPrintable(folder.path()));
        return 1;
    }
    std::fprintf(stderr, "database %s; files in %s: catalogue.csv %zu lines, new.csv %zu, both.csv %zu (%lld KiB)\n",
                 qPrintable(path), qPrintable(folder.path()), catalogue.size() + 1, brands.size() + 1,
                 catalogue.size() + brands.size() + 1, static_cast<long long>(QFile(g_files.both).size() / 1024));

    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    deMealwright::instance().close();
    return given.check("bench_import") ? 0 : 1;
}
