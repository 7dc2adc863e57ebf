// The meal and food editors on a large database with a large food catalogue:
//   opening each editor (Form_Load, adding and editing), alone and with the dialog shown, and
//   the food names it reads;
//   a keystroke in the meal editor's food box, which reads the food's units again;
//   More... of the meal editor, which saves a meal;
//   the meal view's re-query of one week after a meal was saved.
// Beside them, the same statements through the SQLite C API: the floor of the engine.
//
//   MEALWRIGHT_BENCH_DB=/tmp/mealwright-1m-20k.mdb bench_editors
// Without MEALWRIGHT_BENCH_DB a database of 100,000 meals and 20,000 catalogue entries is
// generated in a temporary folder. Saves go to a copy of the database: the file given is
// left as it was.

#include "BenchSupport.h"

#include "deMealwright.h"
#include "Foods.h"
#include "frmEditFood.h"
#include "frmEditMeal.h"
#include "frmMealView.h"
#include "Meals.h"
#include "MealViewCommand.h"
#include "MessageBox.h"
#include "RangeCalendar.h"
#include "Schema.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include <benchmark/benchmark.h>

#ifdef MEALWRIGHT_BENCH_SQLITE3
#include "SqliteFloor.h"
#endif

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::int64_t generatedMeals = 100'000;
constexpr int generatedCatalogue = 20'000;

// What the benchmarks work on, found before they run.
struct Case
{
    QString path;           // the database read
    QString client;         // the first client
    QDate weekStart;        // the week of the client's last meal
    Meal meal;              // the client's last meal: edited, and copied by the saves
    qint64 foodId = 0;      // its catalogue entry: edited
    std::array<QString, 2> keyed; // food names typed in turn, the two with the most units
    int foods = 0;          // entries of the catalogue
    int names = 0;          // distinct food names
};
Case g_case;

// The copy that the saves go to, made on first use.
const QString &writableCopy()
{
    static const QString copy = BenchSupport::writableCopy(g_case.path);
    return copy;
}

Connection &database()
{
    return deMealwright::instance().cnMealwright();
}

// No message box came up: anything the dialogs report goes through MessageBox.
bool noMessage(benchmark::State &state)
{
    if (MessageBox::shown().isEmpty())
        return true;
    state.SkipWithError(qPrintable(QStringLiteral("a message came up: ") + MessageBox::shown().last().text));
    MessageBox::clearShown();
    return false;
}

// The moment new meals are saved at: lunch on the first day of the week measured.
QDateTime saveMoment()
{
    return QDateTime(g_case.weekStart, QTime(12, 30));
}

// The number a query gives; -1 when it fails.
qint64 wholeNumber(const QString &sql, const QVariantList &values = {})
{
    Connection::Statement statement = database().statement(sql);
    for (const QVariant &value : values)
        statement.bind(value);
    const Result<qint64> number = statement.wholeNumber();
    return number ? *number : -1;
}

qint64 lastMealId()
{
    return wholeNumber(QStringLiteral("SELECT max(ID) FROM Meals"));
}

// Takes out the meals saved after lastId, leaving the table as it was before them.
bool removeMealsAfter(benchmark::State &state, qint64 lastId)
{
    Connection::Statement remove = database().statement(QStringLiteral("DELETE FROM Meals WHERE ID > ?"));
    if (remove.bind(lastId).exec())
        return true;
    state.SkipWithError(qPrintable(remove.status().reason()));
    return false;
}

// ---------------------------------------------------------------------------------------------
// Opening the editors.

void prepareMealEditor(frmEditMeal &editor, bool edit)
{
    editor.idMeal = edit ? g_case.meal.id : 0;
    editor.szClient = g_case.client;
    editor.dtMeal = saveMoment();
}

void prepareFoodEditor(frmEditFood &editor, bool edit)
{
    editor.idFood = edit ? g_case.foodId : 0;
    editor.szFood.clear();
    editor.szUnits.clear();
}

// Form_Load, as exec() calls it before the dialog shows; with `shown`, the dialog is shown and
// painted too, as exec() goes on to do (it is hidden again untimed).
template <typename Editor, typename Prepare>
void openEditor(benchmark::State &state, bool edit, bool shown, Prepare prepare)
{
    if (!BenchSupport::useDatabase(state, g_case.path))
        return;
    Editor editor;
    for (auto _ : state) {
        prepare(editor, edit);
        if (!editor.Form_Load()) {
            if (noMessage(state))
                state.SkipWithError("Form_Load failed");
            return;
        }
        if (shown) {
            editor.show();
            QCoreApplication::processEvents();
        }
        state.PauseTiming();
        if (shown)
            editor.hide();
        QCoreApplication::processEvents();
        if (!noMessage(state))
            return;
        state.ResumeTiming();
    }
    state.counters["food_names"] = editor.dbcFood->count();
}

// The food names alone, as both editors read them through the data layer: between this and
// the floor is Qt SQL's cost, between this and Form_Load mostly the food box's.
void BM_FoodNames(benchmark::State &state)
{
    if (!BenchSupport::useDatabase(state, g_case.path))
        return;
    qsizetype names = 0;
    for (auto _ : state) {
        const Result<QStringList> read = Foods(database()).names();
        if (!read) {
            state.SkipWithError(qPrintable(read.reason()));
            return;
        }
        names = read->size();
    }
    state.counters["rows"] = static_cast<double>(names);
}

void BM_EditMealOpen(benchmark::State &state, bool edit, bool shown)
{
    openEditor<frmEditMeal>(state, edit, shown, &prepareMealEditor);
}

void BM_EditFoodOpen(benchmark::State &state, bool edit, bool shown)
{
    openEditor<frmEditFood>(state, edit, shown, &prepareFoodEditor);
}

// ---------------------------------------------------------------------------------------------
// A keystroke in the food box: each change of its text reads the units of the food again.

void BM_UnitsReload(benchmark::State &state)
{
    if (!BenchSupport::useDatabase(state, g_case.path))
        return;
    frmEditMeal editor;
    prepareMealEditor(editor, false);
    if (!editor.Form_Load()) {
        state.SkipWithError("Form_Load failed");
        return;
    }
    std::size_t next = 0;
    int units = 0;
    for (auto _ : state) {
        editor.dbcFood->setEditText(g_case.keyed[next]);
        units += editor.dbcUnits->count();
        next ^= 1;
    }
    if (!noMessage(state))
        return;
    if (units == 0) {
        state.SkipWithError("no units were listed");
        return;
    }
    state.counters["units"] = benchmark::Counter(static_cast<double>(units), benchmark::Counter::kAvgIterations);
}

// The same as the user types it: the last letter of a name taken back and typed again, in the
// shown dialog, so that the food box's completer runs too (the name without its last letter is
// no food, and lists no units).
void BM_Keystroke(benchmark::State &state)
{
    if (!BenchSupport::useDatabase(state, g_case.path))
        return;
    frmEditMeal editor;
    prepareMealEditor(editor, false);
    if (!editor.Form_Load()) {
        state.SkipWithError("Form_Load failed");
        return;
    }
    editor.show();
    if (!QTest::qWaitForWindowExposed(&editor)) {
        state.SkipWithError("the meal editor was never shown");
        return;
    }
    const QString &name = g_case.keyed[0];
    editor.dbcFood->setFocus();
    editor.dbcFood->setEditText(name);
    QLineEdit *box = editor.dbcFood->lineEdit();
    box->end(false);
    const char last = name.back().toLatin1();
    bool takeBack = true;
    int units = 0;
    for (auto _ : state) {
        if (takeBack)
            QTest::keyClick(box, Qt::Key_Backspace);
        else
            QTest::keyClick(box, last);
        units += editor.dbcUnits->count();
        takeBack = !takeBack;
    }
    if (editor.dbcFood->currentText() != (takeBack ? name : name.chopped(1))) {
        state.SkipWithError(qPrintable(QStringLiteral("the food box says \"%1\"").arg(editor.dbcFood->currentText())));
        return;
    }
    if (!noMessage(state))
        return;
    state.counters["units"] = benchmark::Counter(static_cast<double>(units), benchmark::Counter::kAvgIterations);
}

// ---------------------------------------------------------------------------------------------
// Saving: More... of the meal editor, adding a meal of the client's last food to the week.

// A meal editor adding a meal, shown with valid values typed in, on the copy.
bool openAddingEditor(benchmark::State &state, frmEditMeal &editor)
{
    if (!BenchSupport::useDatabase(state, writableCopy()))
        return false;
    prepareMealEditor(editor, false);
    if (!editor.Form_Load()) {
        if (noMessage(state))
            state.SkipWithError("Form_Load failed");
        return false;
    }
    editor.dbcFood->setEditText(g_case.meal.food);
    editor.txtAmount->setText(QStringLiteral("1.5"));
    editor.dbcUnits->setEditText(g_case.meal.units);
    editor.show();
    if (!QTest::qWaitForWindowExposed(&editor)) {
        state.SkipWithError("the meal editor was never shown");
        return false;
    }
    return noMessage(state);
}

// After a save: exactly one meal more, which is then taken out again.
bool checkSavedAndUndo(benchmark::State &state, qint64 lastId)
{
    if (!noMessage(state))
        return false;
    if (wholeNumber(QStringLiteral("SELECT count(*) FROM Meals WHERE ID > ?"), {lastId}) != 1) {
        state.SkipWithError("More... did not save exactly one meal");
        return false;
    }
    return removeMealsAfter(state, lastId);
}

void BM_SaveMore(benchmark::State &state)
{
    frmEditMeal editor;
    if (!openAddingEditor(state, editor))
        return;
    const qint64 lastId = lastMealId();
    for (auto _ : state) {
        editor.cmdMore->click();
        state.PauseTiming();
        QCoreApplication::processEvents();
        if (!checkSavedAndUndo(state, lastId))
            return;
        state.ResumeTiming();
    }
}

// ---------------------------------------------------------------------------------------------
// The meal view's re-query of its week after a save, as the main frame does it after the meal
// editor (ReQueryMeals of the selected meal); the repaint that follows is not timed.

void BM_ReQueryAfterSave(benchmark::State &state)
{
    frmEditMeal editor;
    if (!openAddingEditor(state, editor))
        return;
    frmMealView view;
    view.setAttribute(Qt::WA_DeleteOnClose, false);
    view.szClient = g_case.client;
    view.fCalorieBudget = 1500;
    view.fFVbudget = 5;
    view.show();
    if (!QTest::qWaitForWindowExposed(&view)) {
        state.SkipWithError("the meal view was never shown");
        return;
    }
    view.optOneWeek->click();
    view.mvwDates->setSelectedDate(g_case.weekStart);
    view.ReQueryMeals(view.idSelected);
    QCoreApplication::processEvents();
    if (!(view.dtBegin <= saveMoment() && saveMoment() < view.dtEnd)) {
        state.SkipWithError("the meal saved is not in the week shown");
        return;
    }
    const int before = view.dbgMeals->model()->rowCount();
    const qint64 lastId = lastMealId();
    int rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        editor.cmdMore->click();
        QCoreApplication::processEvents();
        if (!noMessage(state))
            return;
        state.ResumeTiming();
        view.ReQueryMeals(view.idSelected);
        state.PauseTiming();
        QCoreApplication::processEvents();
        rows = view.dbgMeals->model()->rowCount();
        if (!checkSavedAndUndo(state, lastId))
            return;
        if (rows != before + 1) {
            state.SkipWithError("the meal saved is not in the view");
            return;
        }
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
}

// ---------------------------------------------------------------------------------------------
// The floor: the same statements through the SQLite C API, each prepared once as the data
// layer prepares its statements once per open database, bound, and stepped through with every
// column of every row read.

#ifdef MEALWRIGHT_BENCH_SQLITE3

sqlite3 *g_reader = nullptr; // the database read, read-only
sqlite3 *g_writer = nullptr; // the copy, for the insert

using SqliteFloor::Prepared;
using SqliteFloor::Query;
using SqliteFloor::utf8;

void BM_Floor(benchmark::State &state, std::vector<Query> queries, bool alternate)
{
    SqliteFloor::runEach(state, g_reader, queries, alternate);
}

const QString foodNames = QStringLiteral("SELECT DISTINCT Food FROM Foods ORDER BY Food");
const QString clientNames = QStringLiteral("SELECT DISTINCT Who FROM Clients ORDER BY Who");
const QString unitNames = QStringLiteral("SELECT Units FROM Units ORDER BY Units");
const QString unitsOf = QStringLiteral("SELECT DISTINCT Units FROM Foods WHERE Food = ? ORDER BY Units");
const QString isTable =
    QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE");

// What each editor's Form_Load reads, in the order it reads it.
std::vector<Query> mealEditorReads(bool edit)
{
    std::vector<Query> reads = {{foodNames, {}}, {clientNames, {}}};
    if (edit) {
        reads.push_back({QStringLiteral("SELECT ID, Who, \"When\", Food, Amount, Units FROM Meals WHERE ID = ?"),
                         {sqlite3_int64(g_case.meal.id)}});
        reads.push_back({unitsOf, {utf8(g_case.meal.food)}});
    }
    return reads;
}

std::vector<Query> foodEditorReads(bool edit)
{
    std::vector<Query> reads = {{unitNames, {}}, {foodNames, {}}, {isTable, {std::string("Foods")}}};
    if (edit)
        reads.push_back({QStringLiteral("SELECT ID, Food, Units, CaloriesPerUnit, VegetableServings, FruitServings,"
                                        " EntreeFlag, SupplementFlag FROM Foods WHERE ID = ?"),
                         {sqlite3_int64(g_case.foodId)}});
    return reads;
}

// One INSERT INTO Meals in a transaction of its own, as Meals::insert writes it; the row is
// deleted again untimed.
void BM_FloorInsert(benchmark::State &state)
{
    if (!g_writer) {
        const QString &copy = writableCopy();
        if (copy.isEmpty()
            || sqlite3_open_v2(copy.toUtf8().constData(), &g_writer, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            state.SkipWithError("sqlite3 cannot open the copy");
            return;
        }
        sqlite3_busy_timeout(g_writer, 5000);
    }
    const std::string when = utf8(Schema::whenText(saveMoment()));
    std::vector<std::unique_ptr<Prepared>> prepared = SqliteFloor::prepareAll(
        state, g_writer,
        {{QStringLiteral("BEGIN IMMEDIATE"), {}},
         {QStringLiteral("INSERT INTO Meals (Who, \"When\", Food, Amount, Units) VALUES (?, ?, ?, ?, ?)"),
          {utf8(g_case.client), when, utf8(g_case.meal.food), 1.5, utf8(g_case.meal.units)}},
         {QStringLiteral("COMMIT"), {}}});
    if (prepared.empty())
        return;
    sqlite3_stmt *remove = nullptr;
    if (sqlite3_prepare_v2(g_writer, "DELETE FROM Meals WHERE ID = ?", -1, &remove, nullptr) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(g_writer));
        return;
    }
    std::string error;
    for (auto _ : state) {
        for (const auto &statement : prepared) {
            if (statement->run() < 0) {
                error = statement->error();
                sqlite3_exec(g_writer, "ROLLBACK", nullptr, nullptr, nullptr);
                break;
            }
        }
        state.PauseTiming();
        if (error.empty()) {
            sqlite3_bind_int64(remove, 1, sqlite3_last_insert_rowid(g_writer));
            if (sqlite3_step(remove) != SQLITE_DONE || sqlite3_changes(g_writer) != 1)
                error = "the row inserted could not be deleted";
            sqlite3_reset(remove);
        }
        if (!error.empty())
            break;
        state.ResumeTiming();
    }
    sqlite3_finalize(remove);
    if (!error.empty())
        state.SkipWithError(error.c_str());
}

bool openFloorConnections()
{
    g_reader = SqliteFloor::openReadOnly("bench_editors", g_case.path);
    return g_reader != nullptr;
}

#endif

// ---------------------------------------------------------------------------------------------

// The client, the meal and the foods the benchmarks work on; the empty text on success.
QString findCase()
{
    const BenchSupport::QueryCase query = BenchSupport::queryCase(database());
    if (!query.errorText.isEmpty())
        return query.errorText;
    g_case.client = query.client;
    g_case.weekStart = query.week.firstDay();
    const qint64 mealId = wholeNumber(
        QStringLiteral("SELECT ID FROM Meals WHERE Who = ? ORDER BY \"When\" DESC, ID DESC LIMIT 1"), {g_case.client});
    const Result<std::optional<Meal>> meal = Meals(database()).byId(mealId);
    if (!meal || !meal.value())
        return QStringLiteral("the last meal of %1 cannot be read").arg(g_case.client);
    g_case.meal = *meal.value();
    const Result<std::optional<FoodEntry>> food = Foods(database()).find(g_case.meal.food, g_case.meal.units);
    if (!food || !food.value())
        return QStringLiteral("the catalogue has no entry for %1 in %2").arg(g_case.meal.food, g_case.meal.units);
    g_case.foodId = food.value()->id;
    // Two foods of the real catalogue, not store brands of one food, whose names sort side by side.
    Connection::Statement keyed = database().statement(
        QStringLiteral("SELECT Food FROM Foods WHERE Food NOT LIKE '%, store brand %' GROUP BY Food"
                       " ORDER BY count(*) DESC, Food LIMIT 2"));
    const Result<QStringList> names = keyed.texts();
    if (!names || names->size() != 2)
        return QStringLiteral("the catalogue has fewer than two foods");
    g_case.keyed = {names->at(0), names->at(1)};
    g_case.foods = static_cast<int>(wholeNumber(QStringLiteral("SELECT count(*) FROM Foods")));
    g_case.names = static_cast<int>(wholeNumber(QStringLiteral("SELECT count(DISTINCT Food) FROM Foods")));
    return {};
}

// Each floor runs right after the figures it is the floor of, so that they see the same load.
void registerAll()
{
    const auto add = [](const std::string &name, auto... arguments) {
        benchmark::RegisterBenchmark(name.c_str(), arguments...)
            ->Apply(BenchSupport::medians);
    };
    for (const std::string mode : {"add", "edit"}) {
        const bool edit = mode == "edit";
        add("EditMeal/FormLoad/" + mode, &BM_EditMealOpen, edit, false);
        add("EditMeal/FormLoadAndShow/" + mode, &BM_EditMealOpen, edit, true);
#ifdef MEALWRIGHT_BENCH_SQLITE3
        add("sqlite3/EditMealReads/" + mode, &BM_Floor, mealEditorReads(edit), false);
#endif
    }
    for (const std::string mode : {"add", "edit"}) {
        const bool edit = mode == "edit";
        add("EditFood/FormLoad/" + mode, &BM_EditFoodOpen, edit, false);
        add("EditFood/FormLoadAndShow/" + mode, &BM_EditFoodOpen, edit, true);
#ifdef MEALWRIGHT_BENCH_SQLITE3
        add("sqlite3/EditFoodReads/" + mode, &BM_Floor, foodEditorReads(edit), false);
#endif
    }
    add("Foods/names", &BM_FoodNames);
#ifdef MEALWRIGHT_BENCH_SQLITE3
    add("sqlite3/FoodNames", &BM_Floor, std::vector<Query>{{foodNames, {}}}, false);
#endif
    add("EditMeal/UnitsReload", &BM_UnitsReload);
    add("EditMeal/Keystroke", &BM_Keystroke);
#ifdef MEALWRIGHT_BENCH_SQLITE3
    add("sqlite3/UnitsOf", &BM_Floor,
        std::vector<Query>{{unitsOf, {utf8(g_case.keyed[0])}}, {unitsOf, {utf8(g_case.keyed[1])}}}, true);
#endif
    add("EditMeal/SaveMore", &BM_SaveMore);
#ifdef MEALWRIGHT_BENCH_SQLITE3
    add("sqlite3/InsertMeal", &BM_FloorInsert);
#endif
    add("MealView/ReQueryAfterSave/week", &BM_ReQueryAfterSave);
#ifdef MEALWRIGHT_BENCH_SQLITE3
    const DateSpan week = DateSpan::oneWeek(g_case.weekStart);
    add("sqlite3/MealView/week", &BM_Floor,
        std::vector<Query>{{MealViewCommand::sql(Engine::File),
                            {utf8(g_case.client), utf8(Schema::whenText(week.begin)), utf8(Schema::whenText(week.end))}}},
        false);
#endif
}

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::prepareEnvironment();
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    MessageBox::setTestMode(true);

    g_case.path = BenchSupport::largeOrGeneratedDatabase(generatedMeals, generatedCatalogue);
    if (g_case.path.isEmpty())
        return 1;
    const BenchSupport::Unchanged given(g_case.path);

    const OpenResult opened = deMealwright::instance().open(g_case.path);
    if (!opened.ok()) {
        std::fprintf(stderr, "bench_editors: %s cannot be opened: %s\n", qPrintable(g_case.path), qPrintable(opened.reason()));
        return 1;
    }
    if (const QString error = findCase(); !error.isEmpty()) {
        std::fprintf(stderr, "bench_editors: %s\n", qPrintable(error));
        return 1;
    }
    std::fprintf(stderr,
                 "database %s: %d catalogue entries, %d food names; client \"%s\", week from %s; meal %lld (%s, %s),"
                 " food entry %lld; typed in turn: \"%s\", \"%s\"\n",
                 qPrintable(g_case.path), g_case.foods, g_case.names, qPrintable(g_case.client),
                 qPrintable(g_case.weekStart.toString(Qt::ISODate)), static_cast<long long>(g_case.meal.id),
                 qPrintable(g_case.meal.food), qPrintable(g_case.meal.units), static_cast<long long>(g_case.foodId),
                 qPrintable(g_case.keyed[0]), qPrintable(g_case.keyed[1]));
    if (g_case.foods < generatedCatalogue)
        std::fprintf(stderr, "bench_editors: the catalogue has fewer than %d entries; make the database with"
                             " mealwright-bench-generate --catalogue %d\n",
                     generatedCatalogue, generatedCatalogue);

#ifdef MEALWRIGHT_BENCH_SQLITE3
    if (!openFloorConnections())
        return 1;
#else
    std::fprintf(stderr, "bench_editors: built without the SQLite development files: no sqlite3 floor\n");
#endif
    registerAll();

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
#ifdef MEALWRIGHT_BENCH_SQLITE3
    sqlite3_close(g_reader);
    sqlite3_close(g_writer);
#endif
    deMealwright::instance().close();

    return given.check("bench_editors") ? 0 : 1;
}
