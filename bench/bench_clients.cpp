// The clients and new diaries on a large database:
//   the Clients dialog's data, every client with the day of their last meal, alone and as the
//   dialog loads it into its list (Form_Load), also shown;
//   the count of one client's meals, as Delete... takes it before it asks;
//   a rename of the client with the most meals, which moves every meal of theirs;
//   a new, empty diary made and opened.
// Beside them, the same statements through the SQLite C API: the floor of the engine.
//
//   MEALWRIGHT_BENCH_DB=/tmp/mealwright-1m.mdb bench_clients
// Without MEALWRIGHT_BENCH_DB a database of 100,000 meals is generated in a temporary folder.
// Renames go to a copy of the database: the file given is left as it was.

#include "BenchSupport.h"

#include "Clients.h"
#include "deMealwright.h"
#include "frmClients.h"
#include "MessageBox.h"
#include "NewDiary.h"
#include "Schema.h"

#include <QApplication>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#ifdef MEALWRIGHT_BENCH_SQLITE3
#include "SqliteFloor.h"
#endif

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::int64_t generatedMeals = 100'000;

// What the benchmarks work on, found before they run.
struct Case
{
    QString path;      // the database read
    QString copy;      // the copy the renames go to
    int clients = 0;   // rows of the Clients table
    Client renamed;    // the client with the most meals
    qint64 meals = 0;  // their meals
};
Case g_case;

Clients clientTable()
{
    return Clients(deMealwright::instance().cnMealwright());
}

// The name the client has after an odd number of renames.
QString otherName()
{
    return g_case.renamed.who + QStringLiteral(" (renamed)");
}

// ---------------------------------------------------------------------------------------------
// The Clients dialog's data.

void BM_ListWithLastMeal(benchmark::State &state)
{
    if (!BenchSupport::useDatabase(state, g_case.path))
        return;
    qint64 withMeals = 0;
    for (auto _ : state) {
        const Result<std::vector<ClientLastMeal>> list = clientTable().listWithLastMeal();
        if (!list) {
            state.SkipWithError(qPrintable(list.reason()));
            return;
        }
        withMeals = std::count_if(list->begin(), list->end(),
                                  [](const ClientLastMeal &client) { return !client.lastMeal.isEmpty(); });
    }
    state.counters["with_meals"] = static_cast<double>(withMeals);
}

// What Delete... counts before it asks, and again in the delete's transaction.
void BM_MealCount(benchmark::State &state)
{
    if (!BenchSupport::useDatabase(state, g_case.path))
        return;
    qint64 meals = 0;
    for (auto _ : state) {
        const Result<qint64> count = clientTable().mealCount(g_case.renamed.who);
        if (!count) {
            state.SkipWithError(qPrintable(count.reason()));
            return;
        }
        meals = *count;
    }
    state.counters["meals"] = static_cast<double>(meals);
}

// Form_Load, as exec() calls it before the dialog shows; with `shown`, the dialog is shown and
// painted too (it is hidden again untimed).
void BM_FormLoad(benchmark::State &state, bool shown)
{
    if (!BenchSupport::useDatabase(state, g_case.path))
        return;
    frmClients dialog;
    for (auto _ : state) {
        if (!dialog.Form_Load()) {
            state.SkipWithError("Form_Load failed");
            return;
        }
        if (shown) {
            dialog.show();
            QCoreApplication::processEvents();
        }
        state.PauseTiming();
        dialog.hide();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["rows"] = dialog.grdClients->rowCount();
}

// ---------------------------------------------------------------------------------------------
// A rename, back and forth: each iteration moves every meal of the client once.

void BM_Rename(benchmark::State &state)
{
    if (!BenchSupport::useDatabase(state, g_case.copy))
        return;
    Client from = g_case.renamed;
    Client to{otherName(), g_case.renamed.calorieBudget};
    for (auto _ : state) {
        if (const Status changed = clientTable().change(from, to); !changed) {
            state.SkipWithError(qPrintable(changed.reason()));
            return;
        }
        std::swap(from, to);
    }
    // Back to the name it had, for what follows.
    if (from.who != g_case.renamed.who)
        clientTable().change(from, g_case.renamed);
    state.counters["meals"] = static_cast<double>(g_case.meals);
}

// ---------------------------------------------------------------------------------------------
// A new diary, made and opened; each is removed again untimed.

void BM_NewDiary(benchmark::State &state)
{
    QTemporaryDir folder;
    int made = 0;
    for (auto _ : state) {
        const QString path = folder.filePath(QStringLiteral("new-%1.mdb").arg(++made));
        if (const Status created = NewDiary::create(path); !created) {
            state.SkipWithError(qPrintable(created.reason()));
            return;
        }
        Connection connection(QStringLiteral("bench-new-diary"));
        if (const OpenResult opened = connection.open(path); !opened.ok()) {
            state.SkipWithError(qPrintable(opened.reason()));
            return;
        }
        connection.close();
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
    }
}

// ---------------------------------------------------------------------------------------------
// The floor.

#ifdef MEALWRIGHT_BENCH_SQLITE3

using SqliteFloor::Query;
using SqliteFloor::utf8;

sqlite3 *g_reader = nullptr; // the database read, read-only

const QString clientsWithLastMeal =
    QStringLiteral("SELECT c.Who, c.CalorieBudget, (SELECT max(m.\"When\") FROM Meals m WHERE m.Who = c.Who)"
                   " FROM Clients c ORDER BY c.Who");

void BM_FloorList(benchmark::State &state)
{
    SqliteFloor::runEach(state, g_reader, {{clientsWithLastMeal, {}}}, false);
}

void BM_FloorCount(benchmark::State &state)
{
    SqliteFloor::runEach(state, g_reader,
                         {{QStringLiteral("SELECT count(*) FROM Meals WHERE Who = ?"), {utf8(g_case.renamed.who)}}},
                         false);
}

// The writes of a rename, in one transaction, back and forth.
void BM_FloorRename(benchmark::State &state)
{
    sqlite3 *writer = nullptr;
    if (sqlite3_open_v2(g_case.copy.toUtf8().constData(), &writer, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        state.SkipWithError("sqlite3 cannot open the copy");
        sqlite3_close(writer);
        return;
    }
    sqlite3_busy_timeout(writer, 5000);
    const auto rename = [](const QString &from, const QString &to) {
        return std::vector<Query>{{QStringLiteral("BEGIN IMMEDIATE"), {}},
                                  {QStringLiteral("UPDATE Clients SET Who = ? WHERE Who = ?"), {utf8(to), utf8(from)}},
                                  {QStringLiteral("UPDATE Meals SET Who = ? WHERE Who = ?"), {utf8(to), utf8(from)}},
                                  {QStringLiteral("COMMIT"), {}}};
    };
    {
        const auto there = SqliteFloor::prepareAll(state, writer, rename(g_case.renamed.who, otherName()));
        const auto back = SqliteFloor::prepareAll(state, writer, rename(otherName(), g_case.renamed.who));
        bool away = false;
        for (auto _ : state) {
            if (there.empty() || back.empty())
                break;
            for (const auto &statement : away ? back : there) {
                if (statement->run() < 0) {
                    state.SkipWithError(statement->error().c_str());
                    sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
                    break;
                }
            }
            away = !away;
        }
        if (away)
            for (const auto &statement : back)
                statement->run();
    }
    sqlite3_close(writer);
}

// The new diary's tables, indexes and units through sqlite3, then opened again and read once.
void BM_FloorNewDiary(benchmark::State &state)
{
    QTemporaryDir folder;
    // The statements, as a diary made by NewDiary holds them.
    const QString model = folder.filePath(QStringLiteral("model.mdb"));
    sqlite3 *db = nullptr;
    std::vector<std::string> statements;
    if (!NewDiary::create(model)
        || sqlite3_open_v2(model.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        state.SkipWithError("no model diary");
        sqlite3_close(db);
        return;
    }
    sqlite3_exec(
        db, "SELECT sql FROM sqlite_master WHERE sql IS NOT NULL AND name NOT LIKE 'sqlite%' ORDER BY rowid",
        [](void *out, int, char **values, char **) {
            static_cast<std::vector<std::string> *>(out)->emplace_back(values[0]);
            return 0;
        },
        &statements, nullptr);
    sqlite3_close(db);
    std::string script = "BEGIN IMMEDIATE;";
    for (const std::string &statement : statements)
        script += statement + ';';
    for (const QString &unit : Schema::standardUnits())
        script += "INSERT INTO Units (Units) VALUES ('" + utf8(unit) + "');";
    script += "COMMIT;";

    int made = 0;
    for (auto _ : state) {
        const QByteArray path = folder.filePath(QStringLiteral("new-%1.mdb").arg(++made)).toUtf8();
        bool done = sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
                        == SQLITE_OK
                    && sqlite3_exec(db, script.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(db);
        done = done && sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK
               && sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(db);
        if (!done) {
            state.SkipWithError("sqlite3 could not make the diary");
            return;
        }
        state.PauseTiming();
        QFile::remove(QString::fromUtf8(path));
        state.ResumeTiming();
    }
}

#endif

// ---------------------------------------------------------------------------------------------

// The client renamed and the figures printed; the empty text on success.
QString findCase()
{
    if (!deMealwright::instance().open(g_case.path).ok())
        return QStringLiteral("%1 cannot be opened").arg(g_case.path);
    const Result<std::vector<Client>> list = clientTable().list();
    if (!list || list->empty())
        return QStringLiteral("the database has no clients");
    g_case.clients = static_cast<int>(list->size());
    for (const Client &client : *list) {
        const Result<qint64> meals = clientTable().mealCount(client.who);
        if (!meals)
            return meals.reason();
        if (*meals > g_case.meals)
            g_case = {g_case.path, g_case.copy, g_case.clients, client, *meals};
    }
    return {};
}

// Each floor runs right after the figures it is the floor of, so that they see the same load.
void registerAll()
{
    const auto add = [](const char *name, auto... arguments) {
        benchmark::RegisterBenchmark(name, arguments...)
            ->Apply(BenchSupport::medians);
    };
    add("Clients/listWithLastMeal", &BM_ListWithLastMeal);
    add("Clients/FormLoad", &BM_FormLoad, false);
    add("Clients/FormLoadAndShow", &BM_FormLoad, true);
#ifdef MEALWRIGHT_BENCH_SQLITE3
    add("sqlite3/ClientsWithLastMeal", &BM_FloorList);
#endif
    add("Clients/mealCount", &BM_MealCount);
#ifdef MEALWRIGHT_BENCH_SQLITE3
    add("sqlite3/MealCount", &BM_FloorCount);
#endif
    add("Clients/rename", &BM_Rename);
#ifdef MEALWRIGHT_BENCH_SQLITE3
    add("sqlite3/Rename", &BM_FloorRename);
#endif
    add("NewDiary/createAndOpen", &BM_NewDiary);
#ifdef MEALWRIGHT_BENCH_SQLITE3
    add("sqlite3/NewDiary", &BM_FloorNewDiary);
#endif
}

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::prepareEnvironment();
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    MessageBox::setTestMode(true);

    g_case.path = BenchSupport::largeOrGeneratedDatabase(generatedMeals);
    if (g_case.path.isEmpty())
        return 1;
    const BenchSupport::Unchanged given(g_case.path);
    if (const QString error = findCase(); !error.isEmpty()) {
        std::fprintf(stderr, "bench_clients: %s\n", qPrintable(error));
        return 1;
    }
    std::fprintf(stderr, "database %s: %d clients; renamed: \"%s\", %lld meals\n", qPrintable(g_case.path),
                 g_case.clients, qPrintable(g_case.renamed.who), static_cast<long long>(g_case.meals));
    g_case.copy = BenchSupport::writableCopy(g_case.path);
    if (g_case.copy.isEmpty())
        return 1;

#ifdef MEALWRIGHT_BENCH_SQLITE3
    g_reader = SqliteFloor::openReadOnly("bench_clients", g_case.path);
    if (!g_reader)
        return 1;
#else
    std::fprintf(stderr, "bench_clients: built without the SQLite development files: no sqlite3 floor\n");
#endif
    registerAll();

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
#ifdef MEALWRIGHT_BENCH_SQLITE3
    sqlite3_close(g_reader);
#endif
    deMealwright::instance().close();

    return given.check("bench_clients") ? 0 : 1;
}
