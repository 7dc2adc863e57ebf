// The printed calorie reports on a large database, as mealwright-report and the preview's
// "Save as PDF..." make them: the report command (the query and the three-level result), the
// layout step (pages of placed items) and the PDF file, each alone and chained, for 365 days of
// one client, on two databases:
//   year   the first client of MEALWRIGHT_BENCH_DB: about 2,000 food entries in 365 days;
//   dense  the first client of MEALWRIGHT_BENCH_DENSE_DB, a diary three times as full: about
//          6,000 entries in 365 days (the generator's --clients 16 gives that).
// The CSV export (Meals > Export... and --csv) is measured the same way: the file alone, one
// line per meal or per day, and chained after the command. Beside them, the report's query through Qt SQL and through the SQLite C API (the floors),
// and the summary layout. Memory/... runs the chain once, cold, and reports the resident
// memory: run it alone with --benchmark_filter for a peak that shows nothing else.
//
//   MEALWRIGHT_BENCH_DB=/tmp/mealwright-1m.mdb MEALWRIGHT_BENCH_DENSE_DB=/tmp/mealwright-1m-16.mdb bench_reports
// A database that is not given is generated in a temporary folder: 100,000 meals over one year,
// for 50 clients (year) or 16 (dense), so that the reports are as long as on the large ones.

#include "BenchSupport.h"

#include "BigDiary.h"

#include "CalorieReports.h"
#include "Connection.h"
#include "MealCsv.h"
#include "MealReportCommand.h"
#include "ReportPages.h"
#include "ReportPdf.h"
#include "Schema.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#ifdef MEALWRIGHT_BENCH_SQLITE3
#include <sqlite3.h>
#endif

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char *program = "bench_reports";
constexpr const char *denseDatabaseVariable = "MEALWRIGHT_BENCH_DENSE_DB";

// The statement of MealReportCommand, for the floors: keep the two the same. A floor that
// returns another number of rows than the command fails.
const QString reportSql = QStringLiteral(
    "SELECT Meals.\"When\", Meals.Who, Meals.Food, Meals.Amount, Foods.CaloriesPerUnit, Foods.Units,"
    " Foods.VegetableServings, Foods.FruitServings, Foods.EntreeFlag, Foods.SupplementFlag"
    " FROM Meals INNER JOIN Foods ON Meals.Food = Foods.Food AND Meals.Units = Foods.Units"
    " WHERE (Meals.Who = ?) AND (Meals.\"When\" >= ?) AND (Meals.\"When\" < ?)"
    " ORDER BY Meals.\"When\", Meals.Food, Meals.ID");

// Generated databases, removed when the program ends.
std::unique_ptr<QTemporaryDir> g_dataFolder;
// The PDF files written.
std::unique_ptr<QTemporaryDir> g_outFolder;

// A database, its connection, and the client and 365 days the reports are made of.
struct ReportCase
{
    const char *name = "";
    QString path;
    std::unique_ptr<Connection> connection;
    BenchSupport::QueryCase query;
    QString title;
    QString pdfPath;
    QString csvPath;
    std::optional<int> entries; // the command's, once known
#ifdef MEALWRIGHT_BENCH_SQLITE3
    sqlite3 *sqlite = nullptr;
#endif
};

ReportCase g_year;
ReportCase g_dense;

QPageLayout g_paper;

// The database in the variable, or one generated with these options.
QString databaseFor(const char *variable, const BigDiary::Options &options)
{
    const QString given = qEnvironmentVariable(variable);
    if (!given.isEmpty())
        return given;
    if (!g_dataFolder) {
        g_dataFolder = std::make_unique<QTemporaryDir>();
        if (!g_dataFolder->isValid()) {
            std::fprintf(stderr, "%s: no temporary folder: %s\n", program, qPrintable(g_dataFolder->errorString()));
            return {};
        }
    }
    const QString path = g_dataFolder->filePath(QStringLiteral("%1.mdb").arg(QLatin1String(variable)));
    std::fprintf(stderr, "%s is not set: generating %lld meals of %d clients over %d year(s) in %s ...\n", variable,
                 static_cast<long long>(options.meals), options.clients, options.years, qPrintable(path));
    BigDiary::Summary summary;
    if (const QString error = BigDiary::generate(path, options, &summary); !error.isEmpty()) {
        std::fprintf(stderr, "%s: the database could not be generated: %s\n", program, qPrintable(error));
        return {};
    }
    std::fprintf(stderr, "... done in %.1f s.\n", summary.seconds);
    return path;
}

bool openCase(ReportCase &c, const char *name, const char *variable, int generatedClients)
{
    c.name = name;
    BigDiary::Options options;
    options.meals = 100'000;
    options.clients = generatedClients;
    options.years = 1;
    c.path = databaseFor(variable, options);
    if (c.path.isEmpty())
        return false;
    c.connection = std::make_unique<Connection>(QStringLiteral("%1-%2").arg(QLatin1String(program), QLatin1String(name)));
    if (const OpenResult opened = c.connection->open(QFileInfo(c.path).absoluteFilePath(), Access::ReadOnly);
        !opened.ok()) {
        std::fprintf(stderr, "%s: %s cannot be opened: %s\n", program, qPrintable(c.path), qPrintable(opened.reason()));
        return false;
    }
    c.query = BenchSupport::queryCase(*c.connection);
    if (!c.query.errorText.isEmpty()) {
        std::fprintf(stderr, "%s: %s: %s\n", program, qPrintable(c.path), qPrintable(c.query.errorText));
        return false;
    }
    c.title = QStringLiteral("Calorie Report for ") + c.query.client;
    c.pdfPath = g_outFolder->filePath(QStringLiteral("%1.pdf").arg(QLatin1String(name)));
    c.csvPath = g_outFolder->filePath(QStringLiteral("%1.csv").arg(QLatin1String(name)));
#ifdef MEALWRIGHT_BENCH_SQLITE3
    if (sqlite3_open_v2(c.path.toUtf8().constData(), &c.sqlite, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s: sqlite3 cannot open %s: %s\n", program, qPrintable(c.path), sqlite3_errmsg(c.sqlite));
        return false;
    }
#endif
    std::fprintf(stderr, "%s: database %s, client \"%s\", %s to %s\n", name, qPrintable(c.path),
                 qPrintable(c.query.client), qPrintable(c.query.year.firstDay().toString(Qt::ISODate)),
                 qPrintable(c.query.year.lastDay().toString(Qt::ISODate)));
    return true;
}

Result<ReportRow> command(ReportCase &c)
{
    return MealReportCommand::execute(*c.connection, c.query.client, c.query.year);
}

int entriesOf(const ReportRow &report)
{
    int entries = 0;
    for (const ReportRow &day : report.children)
        entries += static_cast<int>(day.children.size());
    return entries;
}

std::vector<ReportPage> layOut(const ReportCase &c, const ReportLayout &layout, const ReportRow &report)
{
    return ReportPages::layOut({&layout, &report, c.title, BenchSupport::fixedLastDay(), ReportPdf::twips(g_paper)});
}

// The report's size, as counters.
void describe(benchmark::State &state, const ReportRow &report, const std::vector<ReportPage> *pages = nullptr,
              const QString &pdf = {})
{
    state.counters["entries"] = entriesOf(report);
    state.counters["days"] = static_cast<double>(report.children.size());
    if (pages)
        state.counters["pages"] = static_cast<double>(pages->size());
    if (!pdf.isEmpty())
        state.counters["pdf_KiB"] = static_cast<double>(QFileInfo(pdf).size()) / 1024;
}

// The command's result, made before the timing; false (and the benchmark skipped) on failure.
bool prepared(benchmark::State &state, ReportCase &c, std::optional<ReportRow> &report)
{
    Result<ReportRow> result = command(c);
    if (!result) {
        state.SkipWithError(qPrintable(result.reason()));
        return false;
    }
    c.entries = entriesOf(*result);
    report = std::move(*result);
    return true;
}

bool checkRows(benchmark::State &state, ReportCase &c, int rows)
{
    if (!c.entries) {
        const Result<ReportRow> result = command(c);
        if (!result) {
            state.SkipWithError(qPrintable(result.reason()));
            return false;
        }
        c.entries = entriesOf(*result);
    }
    if (rows == *c.entries)
        return true;
    const std::string message = "gave " + std::to_string(rows) + " rows, the command " + std::to_string(*c.entries);
    state.SkipWithError(message.c_str());
    return false;
}

void BM_Command(benchmark::State &state, ReportCase *c)
{
    std::optional<ReportRow> last;
    for (auto _ : state) {
        Result<ReportRow> report = command(*c);
        if (!report) {
            state.SkipWithError(qPrintable(report.reason()));
            return;
        }
        benchmark::DoNotOptimize(report->children.data());
        state.PauseTiming();
        last = std::move(*report); // the result's release is not the command's
        state.ResumeTiming();
    }
    c->entries = entriesOf(*last);
    describe(state, *last);
}

void BM_QSqlQuery(benchmark::State &state, ReportCase *c)
{
    const QString begin = Schema::whenText(c->query.year.begin);
    const QString end = Schema::whenText(c->query.year.end);
    QSqlQuery query(BenchSupport::qtSqlFloor(QStringLiteral("floor-%1").arg(QLatin1String(c->name)), c->path));
    query.setForwardOnly(true);
    if (!query.prepare(reportSql)) {
        state.SkipWithError(qPrintable(query.lastError().text()));
        return;
    }
    int rows = 0;
    for (auto _ : state) {
        query.bindValue(0, c->query.client);
        query.bindValue(1, begin);
        query.bindValue(2, end);
        if (!query.exec()) {
            state.SkipWithError(qPrintable(query.lastError().text()));
            return;
        }
        rows = 0;
        while (query.next()) {
            const QString when = query.value(0).toString();
            const QString who = query.value(1).toString();
            const QString food = query.value(2).toString();
            const double amount = query.value(3).toDouble();
            const double caloriesPerUnit = query.value(4).toDouble();
            const QString units = query.value(5).toString();
            const double vegetables = query.value(6).toDouble();
            const double fruits = query.value(7).toDouble();
            const QVariant entree = query.value(8);
            const QVariant supplement = query.value(9);
            benchmark::DoNotOptimize(when);
            benchmark::DoNotOptimize(who);
            benchmark::DoNotOptimize(food);
            benchmark::DoNotOptimize(amount);
            benchmark::DoNotOptimize(caloriesPerUnit);
            benchmark::DoNotOptimize(units);
            benchmark::DoNotOptimize(vegetables);
            benchmark::DoNotOptimize(fruits);
            benchmark::DoNotOptimize(entree);
            benchmark::DoNotOptimize(supplement);
            ++rows;
        }
        if (query.lastError().isValid()) {
            state.SkipWithError(qPrintable(query.lastError().text()));
            return;
        }
        query.finish();
    }
    if (checkRows(state, *c, rows))
        state.counters["rows"] = rows;
}

#ifdef MEALWRIGHT_BENCH_SQLITE3

// Prepared once, as the data layer keeps its statements; bound and stepped through each time
// with every column of every row read.
void BM_Sqlite3(benchmark::State &state, ReportCase *c)
{
    const std::string sql = reportSql.toStdString();
    const std::string client = c->query.client.toStdString();
    const std::string begin = Schema::whenText(c->query.year.begin).toStdString();
    const std::string end = Schema::whenText(c->query.year.end).toStdString();
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(c->sqlite, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(c->sqlite));
        return;
    }
    int rows = 0;
    int step = SQLITE_DONE;
    for (auto _ : state) {
        sqlite3_reset(statement);
        sqlite3_bind_text(statement, 1, client.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(statement, 2, begin.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(statement, 3, end.c_str(), -1, SQLITE_STATIC);
        rows = 0;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
            const unsigned char *when = sqlite3_column_text(statement, 0);
            const unsigned char *who = sqlite3_column_text(statement, 1);
            const unsigned char *food = sqlite3_column_text(statement, 2);
            const double amount = sqlite3_column_double(statement, 3);
            const double caloriesPerUnit = sqlite3_column_double(statement, 4);
            const unsigned char *units = sqlite3_column_text(statement, 5);
            const double vegetables = sqlite3_column_double(statement, 6);
            const double fruits = sqlite3_column_double(statement, 7);
            const double entree = sqlite3_column_double(statement, 8);
            const double supplement = sqlite3_column_double(statement, 9);
            benchmark::DoNotOptimize(when);
            benchmark::DoNotOptimize(who);
            benchmark::DoNotOptimize(food);
            benchmark::DoNotOptimize(amount);
            benchmark::DoNotOptimize(caloriesPerUnit);
            benchmark::DoNotOptimize(units);
            benchmark::DoNotOptimize(vegetables);
            benchmark::DoNotOptimize(fruits);
            benchmark::DoNotOptimize(entree);
            benchmark::DoNotOptimize(supplement);
            ++rows;
        }
        if (step != SQLITE_DONE)
            break;
    }
    sqlite3_finalize(statement);
    if (step != SQLITE_DONE) {
        state.SkipWithError(sqlite3_errstr(step));
        return;
    }
    if (checkRows(state, *c, rows))
        state.counters["rows"] = rows;
}

#endif

void BM_Layout(benchmark::State &state, ReportCase *c, const ReportLayout *layout)
{
    std::optional<ReportRow> report;
    if (!prepared(state, *c, report))
        return;
    std::vector<ReportPage> pages;
    for (auto _ : state) {
        pages = layOut(*c, *layout, *report);
        benchmark::DoNotOptimize(pages.data());
        state.PauseTiming();
        pages = {}; // the pages' release is not the layout's
        state.ResumeTiming();
    }
    pages = layOut(*c, *layout, *report);
    if (pages.empty()) {
        state.SkipWithError("the layout gave no pages");
        return;
    }
    describe(state, *report, &pages);
}

void BM_Pdf(benchmark::State &state, ReportCase *c, const ReportLayout *layout)
{
    std::optional<ReportRow> report;
    if (!prepared(state, *c, report))
        return;
    const std::vector<ReportPage> pages = layOut(*c, *layout, *report);
    for (auto _ : state) {
        if (const Status written = ReportPdf::write(c->pdfPath, pages, g_paper, c->title); !written) {
            state.SkipWithError(qPrintable(written.reason()));
            return;
        }
    }
    describe(state, *report, &pages, c->pdfPath);
}

// The CSV file of the command's result; with the command too when chained (what Export... does
// once the file is chosen). The budget is one a client might have.
template <MealCsv::Lines lines, bool chained>
void BM_Csv(benchmark::State &state, ReportCase *c)
{
    std::optional<ReportRow> report;
    if (!prepared(state, *c, report))
        return;
    for (auto _ : state) {
        if constexpr (chained) {
            Result<ReportRow> read = command(*c);
            if (!read) {
                state.SkipWithError(qPrintable(read.reason()));
                return;
            }
            state.PauseTiming();
            report = std::move(*read);
            state.ResumeTiming();
        }
        if (const Status written = MealCsv::write(c->csvPath, *report, lines, 1500.0); !written) {
            state.SkipWithError(qPrintable(written.reason()));
            return;
        }
    }
    describe(state, *report);
    state.counters["csv_KiB"] = static_cast<double>(QFileInfo(c->csvPath).size()) / 1024;
}

// What mealwright-report does once the client is found: the command, the layout, the file.
struct Chain
{
    std::optional<ReportRow> report;
    std::vector<ReportPage> pages;
};

bool runChain(benchmark::State &state, ReportCase &c, const ReportLayout &layout, Chain &chain)
{
    Result<ReportRow> report = command(c);
    if (!report) {
        state.SkipWithError(qPrintable(report.reason()));
        return false;
    }
    chain.report = std::move(*report);
    chain.pages = layOut(c, layout, *chain.report);
    if (const Status written = ReportPdf::write(c.pdfPath, chain.pages, g_paper, c.title); !written) {
        state.SkipWithError(qPrintable(written.reason()));
        return false;
    }
    return true;
}

void BM_Chain(benchmark::State &state, ReportCase *c, const ReportLayout *layout)
{
    Chain chain;
    for (auto _ : state) {
        Chain run;
        if (!runChain(state, *c, *layout, run))
            return;
        state.PauseTiming();
        chain = std::move(run);
        state.ResumeTiming();
    }
    describe(state, *chain.report, &chain.pages, c->pdfPath);
}

// The chain once, in a process that has made no report yet (fonts and all), holding its result
// and pages as the tool does until it ends. Resident memory in KiB: before the chain, after it,
// and the process's highest so far (a kernel counter of its own, which can lag the resident
// size by a few hundred KiB).
void BM_Memory(benchmark::State &state, ReportCase *c, const ReportLayout *layout)
{
    for (auto _ : state) {
        const std::int64_t before = BenchSupport::residentKiB();
        Chain chain;
        if (!runChain(state, *c, *layout, chain))
            return;
        const std::int64_t after = BenchSupport::residentKiB();
        const std::int64_t peak = BenchSupport::peakResidentKiB();
        state.PauseTiming();
        describe(state, *chain.report, &chain.pages, c->pdfPath);
        state.counters["rss_before_KiB"] = static_cast<double>(before);
        state.counters["rss_after_KiB"] = static_cast<double>(after);
        state.counters["peak_rss_KiB"] = static_cast<double>(peak);
        state.ResumeTiming();
    }
}

using Body = void (*)(benchmark::State &, ReportCase *, const ReportLayout *);

void add(const std::string &name, Body body, ReportCase &c, const ReportLayout &layout)
{
    benchmark::RegisterBenchmark((name + "/" + c.name).c_str(), body, &c, &layout)
        ->Repetitions(10)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

void add(const std::string &name, void (*body)(benchmark::State &, ReportCase *), ReportCase &c)
{
    benchmark::RegisterBenchmark((name + "/" + c.name).c_str(), body, &c)
        ->Repetitions(10)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::prepareEnvironment();
    benchmark::Initialize(&argc, argv);
    QGuiApplication app(argc, argv);

    g_outFolder = std::make_unique<QTemporaryDir>();
    if (!g_outFolder->isValid()) {
        std::fprintf(stderr, "%s: no temporary folder: %s\n", program, qPrintable(g_outFolder->errorString()));
        return 1;
    }
    if (!openCase(g_year, "year", BenchSupport::largeDatabaseVariable, 50)
        || !openCase(g_dense, "dense", denseDatabaseVariable, 16))
        return 1;
    g_paper = ReportPdf::defaultPaper();
    std::fprintf(stderr, "paper %s; PDF files in %s\n", qPrintable(g_paper.pageSize().name()), qPrintable(g_outFolder->path()));

    for (ReportCase *c : {&g_year, &g_dense})
        benchmark::RegisterBenchmark((std::string("Memory/Chain/") + c->name).c_str(), BM_Memory, c, &drCalorieReport())
            ->Iterations(1)
            ->Repetitions(1)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    for (ReportCase *c : {&g_year, &g_dense}) {
        add("Report/Command", BM_Command, *c);
        add("Report/QSqlQuery", BM_QSqlQuery, *c);
#ifdef MEALWRIGHT_BENCH_SQLITE3
        add("Report/sqlite3", BM_Sqlite3, *c);
#endif
        add("Report/Layout", BM_Layout, *c, drCalorieReport());
        add("Report/Pdf", BM_Pdf, *c, drCalorieReport());
        add("Report/Chain", BM_Chain, *c, drCalorieReport());
        add("Summary/Layout", BM_Layout, *c, drCalorieSummary());
        add("Summary/Chain", BM_Chain, *c, drCalorieSummary());
        add("Csv/PerMeal", BM_Csv<MealCsv::Lines::PerMeal, false>, *c);
        add("Csv/PerDay", BM_Csv<MealCsv::Lines::PerDay, false>, *c);
        add("Csv/Chain", BM_Csv<MealCsv::Lines::PerMeal, true>, *c);
    }
#ifndef MEALWRIGHT_BENCH_SQLITE3
    std::fprintf(stderr, "%s: built without the SQLite development files: no sqlite3 floor\n", program);
#endif

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (ReportCase *c : {&g_year, &g_dense}) {
#ifdef MEALWRIGHT_BENCH_SQLITE3
        sqlite3_close(c->sqlite);
#endif
        c->connection.reset();
    }
    return 0;
}
