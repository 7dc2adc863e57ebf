// Finding a food by typing, on a large food catalogue:
//   the names prepared, as the editors do when they open;
//   the matches of one keystroke (FoodMatch::matches), for three texts typed;
//   a keystroke in the meal editor's food box, list, units and repaint included;
// beside them the floor of the same search in SQLite: the names that hold every typed word at
// the start of a word, by LIKE, with no ranking.
//
//   MEALWRIGHT_BENCH_DB=/tmp/mealwright-1m-20k.mdb bench_foodbox
// Without MEALWRIGHT_BENCH_DB a database of 100,000 meals and 20,000 catalogue entries is
// generated in a temporary folder. The database is only read.

#include "BenchSupport.h"

#include "Clock.h"
#include "deMealwright.h"
#include "FoodMatch.h"
#include "Foods.h"
#include "frmEditMeal.h"
#include "MatchList.h"
#include "Meals.h"
#include "MessageBox.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>

#include <benchmark/benchmark.h>

#ifdef MEALWRIGHT_BENCH_SQLITE3
#include "SqliteFloor.h"
#endif

#include <cstdio>
#include <vector>

namespace {

constexpr std::int64_t generatedMeals = 100'000;
constexpr int generatedCatalogue = 20'000;

struct Typed
{
    const char *label;
    QString text;
};

QString g_path;
QString g_client;
QDate g_today; // the day of the client's last meal, taken as today
QStringList g_names;
std::vector<std::pair<QString, qint64>> g_recent;
std::vector<Typed> g_typed;
#ifdef MEALWRIGHT_BENCH_SQLITE3
sqlite3 *g_reader = nullptr;
#endif

Connection &database()
{
    return deMealwright::instance().cnMealwright();
}

// What is typed, from the catalogue as it is: "apple" when a name has that word, otherwise the
// start of the first word of the middle name; one letter of it; and it with the start of
// another word of a name that has both.
void chooseTyped()
{
    const QString middle = g_names[g_names.size() / 2];
    QString word = FoodMatch::words(middle).value(0).left(5);
    for (const QString &name : std::as_const(g_names)) {
        if (FoodMatch::words(name).contains(QStringLiteral("apple"))) {
            word = QStringLiteral("apple");
            break;
        }
    }
    QString twoWords = word;
    for (const QString &name : std::as_const(g_names)) {
        const QStringList words = FoodMatch::words(name);
        if (words.size() > 1 && words.first().startsWith(word)) {
            twoWords = word + u' ' + words.last().left(3);
            break;
        }
    }
    g_typed = {{"one letter", word.left(1)}, {"one word", word}, {"two words", twoWords}};
}

// The names prepared by a new FoodMatch (an editor's first opening), or again by the same one
// (each opening after, with the same names: the editors are kept).
void BM_Prepare(benchmark::State &state, bool again)
{
    FoodMatch kept;
    kept.setNames(g_names);
    for (auto _ : state) {
        FoodMatch fresh;
        FoodMatch &match = again ? kept : fresh;
        match.setNames(g_names);
        match.setRecent(g_recent);
        benchmark::DoNotOptimize(match);
    }
    state.counters["names"] = double(g_names.size());
}

void BM_Matches(benchmark::State &state, const QString &typed)
{
    FoodMatch match;
    match.setRecent(g_recent);
    match.setNames(g_names);
    qsizetype shown = 0;
    for (auto _ : state)
        shown = match.matches(typed).size();
    state.counters["shown"] = double(shown);
}

// The last letter of the word typed again in the shown meal editor's food box: the list filled
// and placed, the units of the text read, and the dialog and list repainted.
void BM_KeystrokeInEditor(benchmark::State &state, const QString &typed)
{
    if (!BenchSupport::useDatabase(state, g_path))
        return;
    Clock::setFixed(QDateTime(g_today, QTime(12, 0)));
    frmEditMeal editor;
    editor.szClient = g_client;
    if (!editor.Form_Load()) {
        state.SkipWithError("Form_Load failed");
        return;
    }
    editor.show();
    editor.activateWindow();
    editor.dbcFood->setFocus();
    QTest::keyClicks(editor.dbcFood, typed);
    QCoreApplication::processEvents();
    const QChar last = typed.back();
    for (auto _ : state) {
        state.PauseTiming();
        QTest::keyClick(editor.dbcFood, Qt::Key_Backspace);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        QTest::keyClick(editor.dbcFood, last.toLatin1());
        QCoreApplication::processEvents();
    }
    state.counters["shown"] = double(editor.foodMatches->shown().size());
    if (!MessageBox::shown().isEmpty())
        state.SkipWithError(qPrintable(QStringLiteral("a message came up: ") + MessageBox::shown().last().text));
    editor.hide();
    Clock::reset();
}

#ifdef MEALWRIGHT_BENCH_SQLITE3
// The distinct names that hold every typed word at the start of a blank-separated word, by LIKE
// (ASCII letter case aside, accents not), in no order.
void BM_FloorLike(benchmark::State &state, const QString &typed)
{
    SqliteFloor::Query query{QStringLiteral("SELECT DISTINCT Food FROM Foods WHERE 1"), {}};
    for (const QString &word : FoodMatch::words(typed)) {
        query.sql += QStringLiteral(" AND (Food LIKE ? OR Food LIKE ?)");
        query.values.emplace_back(SqliteFloor::utf8(word + u'%'));
        query.values.emplace_back(SqliteFloor::utf8(QStringLiteral("% ") + word + u'%'));
    }
    SqliteFloor::runEach(state, g_reader, {query}, false);
}
#endif

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::prepareEnvironment();
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    MessageBox::setTestMode(true);

    const BenchSupport::QueryCase queryCase =
        BenchSupport::openQueryCase("bench_foodbox", generatedMeals, generatedCatalogue);
    g_path = database().path();
    const Result<QStringList> names = Foods(database()).names();
    const Result<qint64> entries = database().statement(QStringLiteral("SELECT count(*) FROM Foods")).wholeNumber();
    if (!queryCase.errorText.isEmpty() || !names || names->isEmpty() || !entries) {
        std::fprintf(stderr, "bench_foodbox: no client or no foods in %s\n", qPrintable(g_path));
        return 1;
    }
    g_names = *names;
    g_client = queryCase.client;
    g_today = queryCase.week.lastDay();
    const auto recent = Meals(database()).mealsPerFood(g_client, FoodMatch::recentSpan(g_today));
    if (!recent) {
        std::fprintf(stderr, "bench_foodbox: %s\n", qPrintable(recent.reason()));
        return 1;
    }
    g_recent = *recent;
    chooseTyped();
    std::fprintf(stderr, "database %s: %lld catalogue entries, %lld food names; client %s, %zu foods in the 90 days to %s\n",
                 qPrintable(g_path), static_cast<long long>(*entries), static_cast<long long>(g_names.size()),
                 qPrintable(g_client), g_recent.size(), qPrintable(g_today.toString(Qt::ISODate)));
    if (*entries < generatedCatalogue)
        std::fprintf(stderr, "bench_foodbox: the catalogue has fewer than %d entries\n", generatedCatalogue);
#ifdef MEALWRIGHT_BENCH_SQLITE3
    g_reader = SqliteFloor::openReadOnly("bench_foodbox", g_path);
    if (!g_reader)
        return 1;
#endif

    benchmark::RegisterBenchmark("FoodBox/prepare/first", BM_Prepare, false)->Apply(BenchSupport::medians);
    benchmark::RegisterBenchmark("FoodBox/prepare/again", BM_Prepare, true)->Apply(BenchSupport::medians);
    for (const Typed &typed : g_typed) {
        std::fprintf(stderr, "%s: \"%s\"\n", typed.label, qPrintable(typed.text));
        const std::string label = typed.label;
        benchmark::RegisterBenchmark(("FoodBox/matches/" + label).c_str(), BM_Matches, typed.text)
            ->Apply(BenchSupport::medians);
#ifdef MEALWRIGHT_BENCH_SQLITE3
        benchmark::RegisterBenchmark(("sqlite3/FoodLike/" + label).c_str(), BM_FloorLike, typed.text)
            ->Apply(BenchSupport::medians);
#endif
        benchmark::RegisterBenchmark(("EditMeal/FoodBoxKeystroke/" + label).c_str(), BM_KeystrokeInEditor, typed.text)
            ->Apply(BenchSupport::medians);
    }

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
#ifdef MEALWRIGHT_BENCH_SQLITE3
    sqlite3_close(g_reader);
#endif
    deMealwright::instance().close();
    return 0;
}
