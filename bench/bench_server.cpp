// A diary on a PostgreSQL server, beside the same work on a diary file and beside the bare
// libpq floor of the server's statements: the meal view's query and its window's re-query for a
// week and for 365 days, a meal saved (added, changed), the Clients dialog with each client's last
// meal, and the year's calorie report (its query, and the printed report as a PDF).
//
//   export MEALWRIGHT_BENCH_SERVER=postgresql://postgres@127.0.0.1:PORT/mealwright_bench
//   MEALWRIGHT_BENCH_DB=/tmp/mealwright-1m.mdb bench_server
// Either may be left out; its figures are then left out, and it says so.

#include "BenchSupport.h"
#include "BenchViews.h"
#include "ServerFloor.h"

#include "CalorieReports.h"
#include "Clients.h"
#include "deMealwright.h"
#include "Dialect.h"
#include "Foods.h"
#include "frmClients.h"
#include "frmMealView.h"
#include "MealReportCommand.h"
#include "Meals.h"
#include "MealViewCommand.h"
#include "RangeCalendar.h"
#include "ReportPages.h"
#include "ReportPdf.h"
#include "Schema.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QRadioButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char *program = "bench_server";
constexpr const char *serverVariable = "MEALWRIGHT_BENCH_SERVER";

// A diary the figures are taken on, with what each benchmark works on and the sizes of the
// results the data layer gives, counted once before the timing: a floor that gives other
// sizes fails.
struct Target
{
    std::string name; // "server" or "file"
    QString path;     // what the program opens for the reads
    QString writes;   // and for the saves: the server diary itself, a copy of the file
    BenchSupport::QueryCase query;
    Meal meal; // the client's last meal: the saves copy it and change it
    int weekRows = -1;
    int yearRows = -1;
    int reportEntries = -1;
    int clients = -1;
    QString title; // the printed report's
};

Target g_server;
Target g_file;
std::unique_ptr<ServerFloor> g_floor;
std::unique_ptr<QTemporaryDir> g_outFolder;
QPageLayout g_paper;

Connection &connection()
{
    return deMealwright::instance().cnMealwright();
}

bool failedWith(benchmark::State &state, const Status &status)
{
    if (status)
        return false;
    state.SkipWithError(qPrintable(status.reason()));
    return true;
}

bool sameSize(benchmark::State &state, const char *what, int found, int expected)
{
    if (found == expected)
        return true;
    const std::string message = "gave " + std::to_string(found) + " " + what + ", the data layer gives " +
                                std::to_string(expected);
    state.SkipWithError(message.c_str());
    return false;
}

const DateSpan &spanOf(const Target &target, bool year)
{
    return year ? target.query.year : target.query.week;
}

int entriesOf(const ReportRow &report)
{
    int entries = 0;
    for (const ReportRow &day : report.children)
        entries += static_cast<int>(day.children.size());
    return entries;
}

// The new meal the saves add: the client's last meal again, at lunch on the week's first day.
Meal newMeal(const Target &target)
{
    Meal meal = target.meal;
    meal.id = 0;
    meal.when = QDateTime(target.query.week.firstDay(), QTime(12, 30));
    meal.whenAsStored.clear();
    return meal;
}

// ---------------------------------------------------------------------------------------------
// Through the program's data layer and windows.

void BM_MealView(benchmark::State &state, const Target *target, bool year)
{
    if (!BenchSupport::useDatabase(state, target->path))
        return;
    int rows = 0;
    for (auto _ : state) {
        const MealViewResult result = MealViewCommand::execute(connection(), target->query.client, spanOf(*target, year));
        if (failedWith(state, result.status))
            return;
        rows = result.qryMealView->count();
        benchmark::DoNotOptimize(result.totals.TotalCalories);
    }
    if (sameSize(state, "rows", rows, year ? target->yearRows : target->weekRows))
        state.counters["rows"] = rows;
}

// The window's ReQueryMeals (query, row list, grid, summary panel, caption), its repaint kept
// out of the timing.
void BM_ReQueryMeals(benchmark::State &state, const Target *target, bool year)
{
    if (!BenchSupport::useDatabase(state, target->path))
        return;
    auto view = BenchViews::openMealView(target->query, 1500, program);
    if (year) {
        view->optSelectedDays->click();
        view->mvwDates->setRange(target->query.year.firstDay(), target->query.year.lastDay());
    } else {
        view->optOneWeek->click();
        view->mvwDates->setSelectedDate(target->query.week.firstDay());
    }
    for (auto _ : state) {
        view->ReQueryMeals(view->idSelected);
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    const int rows = view->dbgMeals->model()->rowCount();
    if (sameSize(state, "rows", rows, year ? target->yearRows : target->weekRows))
        state.counters["rows"] = rows;
}

// Meals::insert of a new meal; each one is deleted again untimed, so every save meets the same
// table.
void BM_Insert(benchmark::State &state, const Target *target)
{
    if (!BenchSupport::useDatabase(state, target->writes))
        return;
    Meals meals(connection());
    const Meal meal = newMeal(*target);
    for (auto _ : state) {
        const Result<qint64> added = meals.insert(meal);
        if (failedWith(state, added.status()))
            return;
        state.PauseTiming();
        const Status removed = meals.remove(*added);
        state.ResumeTiming();
        if (failedWith(state, removed))
            return;
    }
}

// Meals::update of the client's last meal as the meal editor saves it: read untimed as the
// editor reads it, its amount changed and back in turn, written if it still holds what was read.
void BM_Update(benchmark::State &state, const Target *target)
{
    if (!BenchSupport::useDatabase(state, target->writes))
        return;
    Meals meals(connection());
    const double original = target->meal.amount;
    for (auto _ : state) {
        state.PauseTiming();
        const Result<std::optional<Meal>> read = meals.byId(target->meal.id);
        state.ResumeTiming();
        if (failedWith(state, read.status()))
            return;
        if (!*read) {
            state.SkipWithError("the meal is gone");
            return;
        }
        Meal changed = **read;
        changed.amount = changed.amount == original ? original + 0.5 : original;
        if (failedWith(state, meals.update(changed, **read)))
            return;
    }
    // The meal as it was (outside the timing, which ends with the loop).
    if (const Result<std::optional<Meal>> read = meals.byId(target->meal.id); read && *read && (*read)->amount != original) {
        Meal back = **read;
        back.amount = original;
        failedWith(state, meals.update(back, **read));
    }
}

void BM_ClientsList(benchmark::State &state, const Target *target)
{
    if (!BenchSupport::useDatabase(state, target->path))
        return;
    int clients = 0;
    for (auto _ : state) {
        const Result<std::vector<ClientLastMeal>> list = Clients(connection()).listWithLastMeal();
        if (failedWith(state, list.status()))
            return;
        clients = static_cast<int>(list->size());
    }
    if (sameSize(state, "clients", clients, target->clients))
        state.counters["clients"] = clients;
}

// The Clients dialog's Form_Load, as exec() calls it before the dialog shows.
void BM_ClientsForm(benchmark::State &state, const Target *target)
{
    if (!BenchSupport::useDatabase(state, target->path))
        return;
    frmClients dialog;
    for (auto _ : state)
        if (!dialog.Form_Load()) {
            state.SkipWithError("Form_Load failed");
            return;
        }
    if (sameSize(state, "clients", dialog.grdClients->rowCount(), target->clients))
        state.counters["clients"] = dialog.grdClients->rowCount();
}

void BM_Report(benchmark::State &state, const Target *target)
{
    if (!BenchSupport::useDatabase(state, target->path))
        return;
    int entries = 0;
    for (auto _ : state) {
        const Result<ReportRow> report = MealReportCommand::execute(connection(), target->query.client, target->query.year);
        if (failedWith(state, report.status()))
            return;
        entries = entriesOf(*report);
    }
    if (sameSize(state, "entries", entries, target->reportEntries))
        state.counters["entries"] = entries;
}

// What mealwright-report does once it has found the client: the command, the pages, the PDF.
void BM_ReportChain(benchmark::State &state, const Target *target)
{
    if (!BenchSupport::useDatabase(state, target->path))
        return;
    const QString pdf = g_outFolder->filePath(QString::fromStdString(target->name) + QStringLiteral(".pdf"));
    size_t pages = 0;
    for (auto _ : state) {
        const Result<ReportRow> report = MealReportCommand::execute(connection(), target->query.client, target->query.year);
        if (failedWith(state, report.status()))
            return;
        const std::vector<ReportPage> laidOut = ReportPages::layOut(
            {&drCalorieReport(), &*report, target->title, BenchSupport::fixedLastDay(), ReportPdf::twips(g_paper)});
        if (failedWith(state, ReportPdf::write(pdf, laidOut, g_paper, target->title)))
            return;
        pages = laidOut.size();
    }
    state.counters["pages"] = static_cast<double>(pages);
}

// ---------------------------------------------------------------------------------------------
// The floor: the same statements through libpq, on a connection of the benchmark's own.

// The statements of the data layer on a server, as it runs them; keep them the same.
const QString clientCountSql = QStringLiteral("SELECT count(*) FROM Clients WHERE Who = ?");
const QString foodCountSql = QStringLiteral("SELECT count(*) FROM Foods WHERE Food = ? AND Units = ?");
const QString mealCountSql =
    QStringLiteral("SELECT count(*) FROM Meals WHERE (Meals.Who = ?) AND (Meals.\"When\" >= ?) AND (Meals.\"When\" < ?)");
const QString insertSql =
    QStringLiteral("INSERT INTO Meals (Who, \"When\", Food, Amount, Units) VALUES (?, ?, ?, ?, ?) RETURNING ID");
const QString updateSql =
    QStringLiteral("UPDATE Meals SET Who = ?, \"When\" = ?, Food = ?, Amount = ?, Units = ? WHERE ID = ?");
const QString deleteSql = QStringLiteral("DELETE FROM Meals WHERE ID = ?");

QString byIdSql()
{
    return QStringLiteral("SELECT ID, Who, %1, Food, Amount, Units FROM Meals WHERE ID = ?")
        .arg(Dialect::whenText(Engine::Server, QStringLiteral("\"When\"")));
}

QString clientsSql()
{
    return QStringLiteral("SELECT c.Who, c.CalorieBudget, %1 FROM Clients c ORDER BY c.Who")
        .arg(Dialect::whenText(Engine::Server, QStringLiteral("(SELECT max(m.\"When\") FROM Meals m WHERE m.Who = c.Who)")));
}

QString reportSql()
{
    return QStringLiteral("SELECT %2, Meals.Who, Meals.Food, Meals.Amount, Foods.Units, %1"
                          " FROM Meals INNER JOIN Foods ON Meals.Food = Foods.Food AND Meals.Units = Foods.Units"
                          " WHERE (Meals.Who = ?) AND (Meals.\"When\" >= ?) AND (Meals.\"When\" < ?)"
                          " ORDER BY Meals.\"When\", Meals.Food, Meals.ID")
        .arg(QLatin1String(Foods::perUnitColumns), Dialect::whenText(Engine::Server, QStringLiteral("Meals.\"When\"")));
}

std::string text(const QString &value)
{
    return value.toStdString();
}

std::vector<std::string> spanValues(const Target &target, const DateSpan &span)
{
    const auto [begin, end] = Meals::whenRange(span);
    return {text(target.query.client), text(begin), text(end)};
}

bool floorFailed(benchmark::State &state, bool failed)
{
    if (!failed)
        return false;
    state.SkipWithError(g_floor->error().c_str());
    return true;
}

void BM_FloorMealView(benchmark::State &state, bool year)
{
    const std::vector<std::string> values = spanValues(g_server, spanOf(g_server, year));
    int rows = 0;
    for (auto _ : state) {
        if (floorFailed(state, g_floor->run("mealCount", values) < 0))
            return;
        rows = g_floor->run("mealView", values);
        if (floorFailed(state, rows < 0))
            return;
    }
    if (sameSize(state, "rows", rows, year ? g_server.yearRows : g_server.weekRows))
        state.counters["rows"] = rows;
}

std::vector<std::string> mealValues(const Meal &meal)
{
    return {text(meal.who), text(meal.whenAsStored.isEmpty() ? Schema::whenText(meal.when) : meal.whenAsStored),
            text(meal.food), std::to_string(meal.amount), text(meal.units)};
}

// The checks every save of a meal makes in its transaction: its client and its food entry are
// still there.
bool floorChecks(const Meal &meal)
{
    return g_floor->run("clientCount", {text(meal.who)}) == 1 && g_floor->firstValue() == "1"
           && g_floor->run("foodCount", {text(meal.food), text(meal.units)}) == 1 && g_floor->firstValue() == "1";
}

void BM_FloorInsert(benchmark::State &state)
{
    const Meal meal = newMeal(g_server);
    const std::vector<std::string> values = mealValues(meal);
    for (auto _ : state) {
        const bool saved = g_floor->command(text(Dialect::beginWrite(Engine::Server))) && floorChecks(meal)
                           && g_floor->run("insert", values) == 1 && g_floor->command("COMMIT");
        if (floorFailed(state, !saved))
            return;
        state.PauseTiming();
        const std::string id = g_floor->firstValue();
        const bool removed = g_floor->command("BEGIN") && g_floor->run("delete", {id}) >= 0 && g_floor->command("COMMIT");
        state.ResumeTiming();
        if (floorFailed(state, !removed))
            return;
    }
}

void BM_FloorUpdate(benchmark::State &state)
{
    Meal meal = g_server.meal;
    const double original = meal.amount;
    const std::string id = std::to_string(meal.id);
    for (auto _ : state) {
        meal.amount = meal.amount == original ? original + 0.5 : original;
        std::vector<std::string> values = mealValues(meal);
        values.push_back(id);
        const bool saved = g_floor->command(text(Dialect::beginWrite(Engine::Server))) && g_floor->run("byId", {id}) == 1
                           && floorChecks(meal) && g_floor->run("update", values) >= 0 && g_floor->command("COMMIT");
        if (floorFailed(state, !saved))
            return;
    }
    if (meal.amount != original) {
        meal.amount = original;
        std::vector<std::string> values = mealValues(meal);
        values.push_back(id);
        floorFailed(state, !(g_floor->command("BEGIN") && g_floor->run("update", values) >= 0 && g_floor->command("COMMIT")));
    }
}

void BM_FloorClients(benchmark::State &state)
{
    int clients = 0;
    for (auto _ : state) {
        clients = g_floor->run("clients", {});
        if (floorFailed(state, clients < 0))
            return;
    }
    if (sameSize(state, "clients", clients, g_server.clients))
        state.counters["clients"] = clients;
}

void BM_FloorReport(benchmark::State &state)
{
    const std::vector<std::string> values = spanValues(g_server, g_server.query.year);
    int rows = 0;
    for (auto _ : state) {
        rows = g_floor->run("report", values);
        if (floorFailed(state, rows < 0))
            return;
    }
    if (sameSize(state, "rows", rows, g_server.reportEntries))
        state.counters["rows"] = rows;
}

// ---------------------------------------------------------------------------------------------

// Opens the target's diary and finds what the benchmarks work on; false, with the reason on
// stderr, when it cannot.
bool prepare(Target &target)
{
    const auto fail = [&](const QString &why) {
        std::fprintf(stderr, "%s: %s: %s\n", program, qPrintable(target.path), qPrintable(why));
        return false;
    };
    if (const OpenResult opened = deMealwright::instance().open(target.path); !opened.ok())
        return fail(opened.reason());
    target.query = BenchSupport::queryCase(connection());
    if (!target.query.errorText.isEmpty())
        return fail(target.query.errorText);
    const Result<qint64> last =
        connection().statement(QStringLiteral("SELECT max(ID) FROM Meals WHERE Who = ?")).bind(target.query.client).wholeNumber();
    if (!last)
        return fail(last.reason());
    const Result<std::optional<Meal>> meal = Meals(connection()).byId(*last);
    if (!meal || !*meal)
        return fail(QStringLiteral("the client's last meal cannot be read"));
    target.meal = **meal;
    for (const bool year : {false, true}) {
        const MealViewResult result = MealViewCommand::execute(connection(), target.query.client, spanOf(target, year));
        if (result.failed())
            return fail(result.status.reason());
        (year ? target.yearRows : target.weekRows) = result.qryMealView->count();
    }
    const Result<ReportRow> report = MealReportCommand::execute(connection(), target.query.client, target.query.year);
    const Result<std::vector<ClientLastMeal>> clients = Clients(connection()).listWithLastMeal();
    if (!report || !clients)
        return fail(report ? clients.reason() : report.reason());
    target.reportEntries = entriesOf(*report);
    target.clients = static_cast<int>(clients->size());
    target.title = QStringLiteral("Calorie Report for ") + target.query.client;
    std::fprintf(stderr,
                 "%s %s: client \"%s\", week %s to %s (%d rows), 365 days %s to %s (%d rows, %d report entries), "
                 "%d clients, the saves copy and change meal %lld\n",
                 target.name.c_str(), qPrintable(target.path), qPrintable(target.query.client),
                 qPrintable(target.query.week.firstDay().toString(Qt::ISODate)),
                 qPrintable(target.query.week.lastDay().toString(Qt::ISODate)), target.weekRows,
                 qPrintable(target.query.year.firstDay().toString(Qt::ISODate)),
                 qPrintable(target.query.year.lastDay().toString(Qt::ISODate)), target.yearRows, target.reportEntries,
                 target.clients, static_cast<long long>(target.meal.id));
    return true;
}

bool prepareFloor(const QString &uri)
{
    g_floor = std::make_unique<ServerFloor>(uri);
    const std::pair<const char *, QString> statements[] = {
        {"mealCount", mealCountSql},
        {"mealView", MealViewCommand::sql(Engine::Server)},
        {"clientCount", clientCountSql},
        {"foodCount", foodCountSql},
        {"insert", insertSql},
        {"byId", byIdSql()},
        {"update", updateSql},
        {"delete", deleteSql},
        {"clients", clientsSql()},
        {"report", reportSql()},
    };
    for (const auto &[name, sql] : statements)
        if (!g_floor->ok() || !g_floor->prepare(name, sql)) {
            std::fprintf(stderr, "%s: libpq: %s\n", program, g_floor->error().c_str());
            return false;
        }
    return true;
}

template <typename... Args>
void add(const std::string &name, void (*body)(benchmark::State &, Args...), Args... args)
{
    BenchSupport::medians(benchmark::RegisterBenchmark(name.c_str(), body, args...));
}

void registerTarget(const Target &t)
{
    const std::string n = t.name + "/";
    const bool server = &t == &g_server;
    for (const bool year : {false, true}) {
        const std::string span = year ? "365days" : "week";
        add(n + "MealView/" + span, BM_MealView, &t, year);
        if (server)
            add("libpq/MealView/" + span, BM_FloorMealView, year);
        add(n + "ReQueryMeals/" + span, BM_ReQueryMeals, &t, year);
    }
    add(n + "Meals/insert", BM_Insert, &t);
    if (server)
        add(std::string("libpq/Meals/insert"), BM_FloorInsert);
    add(n + "Meals/update", BM_Update, &t);
    if (server)
        add(std::string("libpq/Meals/update"), BM_FloorUpdate);
    add(n + "Clients/listWithLastMeal", BM_ClientsList, &t);
    if (server)
        add(std::string("libpq/Clients/listWithLastMeal"), BM_FloorClients);
    add(n + "Clients/FormLoad", BM_ClientsForm, &t);
    add(n + "Report/Command/365days", BM_Report, &t);
    if (server)
        add(std::string("libpq/Report/365days"), BM_FloorReport);
    add(n + "Report/Chain/365days", BM_ReportChain, &t);
}

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::prepareEnvironment();
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    g_paper = ReportPdf::defaultPaper();
    g_outFolder = std::make_unique<QTemporaryDir>();

    const QString uri = qEnvironmentVariable(serverVariable);
    const QString file = BenchSupport::largeDatabasePath();
    if (uri.isEmpty())
        std::fprintf(stderr, "%s: %s is not set: no figures of a server diary (see bench/README.md)\n", program,
                     serverVariable);
    if (file.isEmpty())
        std::fprintf(stderr, "%s: %s is not set: no figures of a diary file\n", program, BenchSupport::largeDatabaseVariable);
    if (!uri.isEmpty()) {
        g_server.name = "server";
        g_server.path = g_server.writes = uri;
        if (!prepare(g_server) || !prepareFloor(uri))
            return 1;
        registerTarget(g_server);
    }
    if (!file.isEmpty()) {
        g_file.name = "file";
        g_file.path = file;
        if (!prepare(g_file))
            return 1;
        g_file.writes = BenchSupport::writableCopy(file);
        if (g_file.writes.isEmpty())
            return 1;
        registerTarget(g_file);
    }

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_floor.reset();
    deMealwright::instance().close();
    return 0;
}
