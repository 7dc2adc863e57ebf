// The meal view query on a large database, for one week and for 365 days, three ways:
//   Command  MealViewCommand::execute, which builds the row list the meal view shows;
//   QSqlQuery the same SQL through Qt SQL, forward-only, every column of every row read into
//            local variables and dropped: the floor for anything built on Qt SQL;
//   sqlite3  the same SQL through the SQLite C API: the floor of the engine itself.
// The gap between Command and QSqlQuery is the cost of our row list.
//
//   MEALWRIGHT_BENCH_DB=/tmp/mealwright-1m.mdb bench_mealquery
// Without MEALWRIGHT_BENCH_DB a database of 100,000 meals is generated in a temporary folder.

#include "BenchSupport.h"

#include "deMealwright.h"
#include "MealViewCommand.h"
#include "Schema.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>

#include <benchmark/benchmark.h>

#ifdef MEALWRIGHT_BENCH_SQLITE3
#include <sqlite3.h>
#endif

#include <cstdio>
#include <string>

namespace {

constexpr std::int64_t generatedMeals = 100'000;

BenchSupport::QueryCase g_case;

// The rows the command gives for a span, counted once before the timing: every way of running
// the query must give as many.
struct Expected
{
    int week = -1;
    int year = -1;
};
Expected g_expected;

void report(benchmark::State &state, int rows)
{
    state.counters["rows"] = rows;
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * rows);
}

bool checkRows(benchmark::State &state, int rows, int expected)
{
    if (rows == expected)
        return true;
    const std::string message = "gave " + std::to_string(rows) + " rows, the command gives " + std::to_string(expected);
    state.SkipWithError(message.c_str());
    return false;
}

MealViewResult executeCommand(const DateSpan &span)
{
    return MealViewCommand::execute(deMealwright::instance().cnMealwright(), g_case.client, span);
}

void BM_Command(benchmark::State &state, const DateSpan *span, const int *expected)
{
    int rows = 0;
    for (auto _ : state) {
        MealViewResult result = executeCommand(*span);
        if (result.failed()) {
            state.SkipWithError(qPrintable(result.status.reason()));
            return;
        }
        rows = result.qryMealView->count();
        benchmark::DoNotOptimize(result.totals.TotalCalories);
    }
    if (checkRows(state, rows, *expected))
        report(state, rows);
}

void BM_QSqlQuery(benchmark::State &state, const DateSpan *span, const int *expected)
{
    const QSqlDatabase connection = BenchSupport::qtSqlFloor(QStringLiteral("floor"), deMealwright::instance().path());
    const QString begin = Schema::whenText(span->begin);
    const QString end = Schema::whenText(span->end);
    int rows = 0;
    for (auto _ : state) {
        QSqlQuery query(connection);
        query.setForwardOnly(true);
        if (!query.prepare(MealViewCommand::sql(Engine::File))) {
            state.SkipWithError(qPrintable(query.lastError().text()));
            return;
        }
        query.bindValue(0, g_case.client);
        query.bindValue(1, begin);
        query.bindValue(2, end);
        if (!query.exec()) {
            state.SkipWithError(qPrintable(query.lastError().text()));
            return;
        }
        rows = 0;
        while (query.next()) {
            const qint64 id = query.value(0).toLongLong();
            const QString when = query.value(1).toString();
            const QString who = query.value(2).toString();
            const QString food = query.value(3).toString();
            const double amount = query.value(4).toDouble();
            const QString units = query.value(5).toString();
            const QString foodUnits = query.value(6).toString();
            const double caloriesPerUnit = query.value(7).toDouble();
            const double vegetables = query.value(8).toDouble();
            const double fruits = query.value(9).toDouble();
            const QVariant entree = query.value(10);
            const QVariant supplement = query.value(11);
            benchmark::DoNotOptimize(id);
            benchmark::DoNotOptimize(when);
            benchmark::DoNotOptimize(who);
            benchmark::DoNotOptimize(food);
            benchmark::DoNotOptimize(amount);
            benchmark::DoNotOptimize(units);
            benchmark::DoNotOptimize(caloriesPerUnit);
            benchmark::DoNotOptimize(foodUnits);
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
    }
    if (checkRows(state, rows, *expected))
        report(state, rows);
}

#ifdef MEALWRIGHT_BENCH_SQLITE3

sqlite3 *g_sqlite = nullptr;

void BM_Sqlite3(benchmark::State &state, const DateSpan *span, const int *expected)
{
    const std::string sql = MealViewCommand::sql(Engine::File).toStdString();
    const std::string client = g_case.client.toStdString();
    const std::string begin = Schema::whenText(span->begin).toStdString();
    const std::string end = Schema::whenText(span->end).toStdString();
    int rows = 0;
    for (auto _ : state) {
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(g_sqlite, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
            state.SkipWithError(sqlite3_errmsg(g_sqlite));
            return;
        }
        sqlite3_bind_text(statement, 1, client.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(statement, 2, begin.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(statement, 3, end.c_str(), -1, SQLITE_STATIC);
        rows = 0;
        int step;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
            const sqlite3_int64 id = sqlite3_column_int64(statement, 0);
            const unsigned char *when = sqlite3_column_text(statement, 1);
            const int whenBytes = sqlite3_column_bytes(statement, 1);
            const unsigned char *who = sqlite3_column_text(statement, 2);
            const unsigned char *food = sqlite3_column_text(statement, 3);
            const double amount = sqlite3_column_double(statement, 4);
            const unsigned char *units = sqlite3_column_text(statement, 5);
            const unsigned char *foodUnits = sqlite3_column_text(statement, 6);
            const double caloriesPerUnit = sqlite3_column_double(statement, 7);
            const double vegetables = sqlite3_column_double(statement, 8);
            const double fruits = sqlite3_column_double(statement, 9);
            const double entree = sqlite3_column_double(statement, 10);
            const double supplement = sqlite3_column_double(statement, 11);
            benchmark::DoNotOptimize(id);
            benchmark::DoNotOptimize(when);
            benchmark::DoNotOptimize(whenBytes);
            benchmark::DoNotOptimize(who);
            benchmark::DoNotOptimize(food);
            benchmark::DoNotOptimize(amount);
            benchmark::DoNotOptimize(units);
            benchmark::DoNotOptimize(caloriesPerUnit);
            benchmark::DoNotOptimize(foodUnits);
            benchmark::DoNotOptimize(vegetables);
            benchmark::DoNotOptimize(fruits);
            benchmark::DoNotOptimize(entree);
            benchmark::DoNotOptimize(supplement);
            ++rows;
        }
        sqlite3_finalize(statement);
        if (step != SQLITE_DONE) {
            state.SkipWithError(sqlite3_errstr(step));
            return;
        }
    }
    if (checkRows(state, rows, *expected))
        report(state, rows);
}

#endif

using Body = void (*)(benchmark::State &, const DateSpan *, const int *);

void registerBoth(const char *name, Body body)
{
    benchmark::RegisterBenchmark((std::string("MealView/") + name + "/week").c_str(), body, &g_case.week, &g_expected.week)
        ->Repetitions(10)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("MealView/") + name + "/365days").c_str(), body, &g_case.year, &g_expected.year)
        ->Repetitions(10)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::prepareEnvironment();
    benchmark::Initialize(&argc, argv);
    QCoreApplication app(argc, argv);

    g_case = BenchSupport::openQueryCase("bench_mealquery", generatedMeals);
    if (!g_case.errorText.isEmpty())
        return 1;
    const QString path = deMealwright::instance().path();
    for (auto [span, rows] : {std::pair{&g_case.week, &g_expected.week}, std::pair{&g_case.year, &g_expected.year}}) {
        const MealViewResult result = executeCommand(*span);
        if (result.failed() || result.qryMealView->count() == 0) {
            std::fprintf(stderr, "bench_mealquery: the meal view query gives no rows: %s\n", qPrintable(result.status.reason()));
            return 1;
        }
        *rows = result.qryMealView->count();
    }
    std::fprintf(stderr, "database %s, client \"%s\", week %s to %s (%d rows), 365 days %s to %s (%d rows)\n",
                 qPrintable(path), qPrintable(g_case.client), qPrintable(g_case.week.firstDay().toString(Qt::ISODate)),
                 qPrintable(g_case.week.lastDay().toString(Qt::ISODate)), g_expected.week,
                 qPrintable(g_case.year.firstDay().toString(Qt::ISODate)),
                 qPrintable(g_case.year.lastDay().toString(Qt::ISODate)), g_expected.year);

    registerBoth("Command", BM_Command);
    registerBoth("QSqlQuery", BM_QSqlQuery);
#ifdef MEALWRIGHT_BENCH_SQLITE3
    if (sqlite3_open_v2(path.toUtf8().constData(), &g_sqlite, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "bench_mealquery: sqlite3 cannot open %s: %s\n", qPrintable(path), sqlite3_errmsg(g_sqlite));
        return 1;
    }
    registerBoth("sqlite3", BM_Sqlite3);
#else
    std::fprintf(stderr, "bench_mealquery: built without the SQLite development files: no sqlite3 baseline\n");
#endif

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
#ifdef MEALWRIGHT_BENCH_SQLITE3
    sqlite3_close(g_sqlite);
#endif
    deMealwright::instance().close();
    return 0;
}
