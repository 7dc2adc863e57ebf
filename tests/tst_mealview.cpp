#include "TestDatabase.h"
#include "common/Clock.h"
#include "common/DateSpan.h"
#include "common/MessageBox.h"
#include "data/deMealwright.h"
#include "mealview/MealGridModel.h"
#include "mealview/MealSummary.h"
#include "mealview/RangeCalendar.h"
#include "mealview/frmMealView.h"

#include <QAbstractItemModelTester>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(IntervalMode)

namespace {

QDateTime at(QDate date, int hour = 12, int minute = 0)
{
    return wallClock(date, QTime(hour, minute));
}

// Rows as the meal view command gives them: in time order, with calories and servings.
MealRows rowsAt(std::initializer_list<std::pair<QDateTime, double>> mealsAndCalories, double servingsEach = 0)
{
    std::vector<MealRow> rows;
    qint64 id = 0;
    for (const auto &[when, calories] : mealsAndCalories) {
        MealRow row;
        row.ID = ++id;
        row.When = when;
        row.Calories = calories;
        row.Fruits = servingsEach;
        rows.push_back(row);
    }
    return MealRows(std::move(rows));
}

QStringList visibleRow(const QTableView *grid, int row)
{
    QStringList cells;
    for (int column = 0; column < grid->model()->columnCount(); ++column)
        if (!grid->isColumnHidden(column))
            cells << grid->model()->index(row, column).data().toString();
    return cells;
}

QList<qint64> shownIds(const frmMealView &view)
{
    QList<qint64> ids;
    const QAbstractItemModel *model = view.dbgMeals->model();
    for (int row = 0; row < model->rowCount(); ++row)
        ids << model->index(row, 0).data().toLongLong();
    return ids;
}

QPoint cellCentre(const QTableView *grid, int row)
{
    return grid->visualRect(grid->model()->index(row, 3)).center();
}

} // namespace

class TestMealView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    // The summary figures.
    void spanTexts_data();
    void spanTexts();
    void spansFollowTheInterval_data();
    void spansFollowTheInterval();
    void summaryFigures_data();
    void summaryFigures();
    void gridColumnsAndFormats();

    // The window.
    void loadsOnTodayInOneDayMode();
    void showsTheDayWithItsSummary();
    void noDataState();
    void modeSwitches();
    void sameDateAgainQueriesNothing();
    void rangeModeFollowsTheCalendar();
    void headerSortCycleAndResetOnRequery();
    void selectionTracksTheMeal();
    void multipleSelectionIsRefused();
    void requeryKeepsTheSelectionById();
    void deleteAsksThenDeletes();
    void deleteOfAMealNoLongerShownDoesNothing();
    void rightButtonAsksForTheMenu();
    void failingDatabaseIsReportedOnce();
    void resizeRules();
    void modelPassesTheModelTester();

private:
    std::unique_ptr<frmMealView> openView(const QString &client = QStringLiteral("Ann"), float budget = 1500);
    void clickDate(frmMealView &view, QDate date, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void TestMealView::initTestCase()
{
    MessageBox::setTestMode(true);
}

void TestMealView::init()
{
    MessageBox::setTestMode(true);
    Clock::setFixed(wallClock(QDate(2002, 8, 13), QTime(9, 30)));
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->filePath(QStringLiteral("fixture.mdb"));
    QCOMPARE(TestDatabase::createMealFixture(m_path), QString());
    QVERIFY(deMealwright::instance().open(m_path).ok());
}

void TestMealView::cleanup()
{
    deMealwright::instance().close();
    Clock::reset();
    m_dir.reset();
}

std::unique_ptr<frmMealView> TestMealView::openView(const QString &client, float budget)
{
    auto view = std::make_unique<frmMealView>();
    view->setAttribute(Qt::WA_DeleteOnClose, false);
    view->szClient = client;
    view->fCalorieBudget = budget;
    view->fFVbudget = 5;
    view->show();
    return view;
}

void TestMealView::clickDate(frmMealView &view, QDate date, Qt::KeyboardModifiers modifiers)
{
    // The calendar reports a click as the user's new selection.
    if (modifiers & Qt::ShiftModifier)
        view.mvwDates->setRange(view.mvwDates->selectedDate(), date);
    else if (view.mvwDates->rangeMode())
        view.mvwDates->setRange(date, date);
    else
        view.mvwDates->setSelectedDate(date);
}

void TestMealView::spanTexts_data()
{
    QTest::addColumn<IntervalMode>("mode");
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<QString>("text");

    QTest::newRow("one day") << IntervalMode::OneDay << QDate(2002, 8, 13) << QDate(2002, 8, 13)
                             << "Tue, Aug 13, 2002";
    QTest::newRow("one week") << IntervalMode::OneWeek << QDate(2002, 8, 13) << QDate(2002, 8, 19)
                              << "Tue, Aug 13 to Mon, Aug 19, 2002";
    QTest::newRow("over the year end") << IntervalMode::SelectedDays << QDate(1999, 12, 30) << QDate(2000, 1, 5)
                                       << "Thu, Dec 30 to Wed, Jan 5, 2000";
    QTest::newRow("one-day range") << IntervalMode::SelectedDays << QDate(2002, 8, 13) << QDate(2002, 8, 13)
                                   << "Tue, Aug 13 to Tue, Aug 13, 2002";
}

void TestMealView::spanTexts()
{
    QFETCH(IntervalMode, mode);
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    QFETCH(QString, text);
    QCOMPARE(spanText(mode, DateSpan::selectedDays(first, last)), text);
}

void TestMealView::spansFollowTheInterval_data()
{
    QTest::addColumn<IntervalMode>("mode");
    QTest::addColumn<QDate>("begin");
    QTest::addColumn<QDate>("end");

    // Current date 2002-12-28; the selected range 2002-12-30 .. 2003-01-02.
    QTest::newRow("one day") << IntervalMode::OneDay << QDate(2002, 12, 28) << QDate(2002, 12, 29);
    QTest::newRow("one week over the year end") << IntervalMode::OneWeek << QDate(2002, 12, 28) << QDate(2003, 1, 4);
    QTest::newRow("selected days") << IntervalMode::SelectedDays << QDate(2002, 12, 30) << QDate(2003, 1, 3);
}

void TestMealView::spansFollowTheInterval()
{
    QFETCH(IntervalMode, mode);
    QFETCH(QDate, begin);
    QFETCH(QDate, end);
    const DateSpan span = spanFor(mode, QDate(2002, 12, 28), QDate(2002, 12, 30), QDate(2003, 1, 2));
    QCOMPARE(span.begin, wallClock(begin));
    QCOMPARE(span.end, wallClock(end));
}

void TestMealView::summaryFigures_data()
{
    QTest::addColumn<QList<QDateTime>>("times");
    QTest::addColumn<QList<double>>("calories");
    QTest::addColumn<double>("servingsEach");
    QTest::addColumn<float>("budget");
    QTest::addColumn<int>("daysLogged");
    QTest::addColumn<float>("caloriesPerDay");
    QTest::addColumn<int>("underEatingDays");
    QTest::addColumn<bool>("caloriesGreen");
    QTest::addColumn<bool>("servingsGreen");

    const QDate monday(2002, 8, 12);
    QTest::newRow("single meal") << QList<QDateTime>{at(monday)} << QList<double>{1200} << 0.0 << 1500.f << 1 << 1200.f
                                 << 1 << true << false;
    // Only Monday and Wednesday have meals: three days logged, Tuesday cannot be under-eating.
    QTest::newRow("Monday and Wednesday") << QList<QDateTime>{at(monday), at(monday.addDays(2))}
                                          << QList<double>{1000, 2000} << 0.0 << 1500.f << 3 << 1000.f << 1
                                          << true << false;
    QTest::newRow("across midnight") << QList<QDateTime>{at(monday, 23, 30), at(monday.addDays(1), 0, 10)}
                                     << QList<double>{700, 700} << 5.0 << 1500.f << 2 << 700.f << 2 << true << true;
    QTest::newRow("across the year end") << QList<QDateTime>{at(QDate(1999, 12, 31), 20), at(QDate(2000, 1, 2), 8)}
                                         << QList<double>{1500, 3000} << 0.0 << 1500.f << 3 << 1500.f << 0 << true
                                         << false;
    // A day that adds up exactly to the budget is not under it; per day at the budget is green.
    QTest::newRow("day equal to the budget") << QList<QDateTime>{at(monday, 8), at(monday, 18)}
                                             << QList<double>{500, 1000} << 5.0 << 1500.f << 1 << 1500.f << 0 << true
                                             << true;
    QTest::newRow("just over the budget") << QList<QDateTime>{at(monday)} << QList<double>{1500.5} << 4.999 << 1500.f
                                          << 1 << 1500.5f << 0 << false << false;
    QTest::newRow("just under the budget") << QList<QDateTime>{at(monday)} << QList<double>{1499.5} << 5.0 << 1500.f
                                           << 1 << 1499.5f << 1 << true << true;
}

void TestMealView::summaryFigures()
{
    QFETCH(QList<QDateTime>, times);
    QFETCH(QList<double>, calories);
    QFETCH(double, servingsEach);
    QFETCH(float, budget);
    QFETCH(int, daysLogged);
    QFETCH(float, caloriesPerDay);
    QFETCH(int, underEatingDays);
    QFETCH(bool, caloriesGreen);
    QFETCH(bool, servingsGreen);

    std::vector<MealRow> list;
    for (int i = 0; i < times.size(); ++i) {
        MealRow row;
        row.ID = i + 1;
        row.When = times[i];
        row.Calories = calories[i];
        row.Fruits = servingsEach * daysLogged / times.size();
        list.push_back(row);
    }
    const MealRows rows(std::move(list));
    const MealSummary summary = summarize(MealViewCommand::totalsOf(rows), rows, budget, 5);
    QCOMPARE(summary.daysLogged, daysLogged);
    QCOMPARE(summary.caloriesPerDay, caloriesPerDay);
    QCOMPARE(summary.underEatingDays, underEatingDays);
    QCOMPARE(summary.caloriesWithinBudget, caloriesGreen);
    QCOMPARE(summary.servingsMeetBudget, servingsGreen);
    QCOMPARE(CountUnderEatingDays(rows, budget), underEatingDays);
}

void TestMealView::gridColumnsAndFormats()
{
    const MealRows rows = rowsAt({{at(QDate(2002, 3, 5), 18, 5), 1234.6}});
    MealRow row = rows.at(0);
    row.Food = QStringLiteral("Shepherd's pie");
    row.Amount = 1234.56;
    row.Units = QStringLiteral("slice");
    row.Vegetables = 2.46;
    row.Fruits = 0;
    MealGridModel model;
    model.setRows(std::make_shared<MealRows>(std::vector<MealRow>{row}));

    QStringList captions;
    QStringList cells;
    QStringList hidden;
    for (int column = 0; column < model.columnCount(); ++column) {
        captions << model.headerData(column, Qt::Horizontal).toString();
        cells << model.index(0, column).data().toString();
        if (!MealGridModel::columns()[static_cast<size_t>(column)].visible)
            hidden << captions.last();
    }
    QCOMPARE(captions, QStringList({"ID", "When", "Who", "Description", "Amount", "Units", "CaloriesPerUnit", "Units",
                                    "Calories", "Vegs", "Fruits"}));
    QCOMPARE(hidden, QStringList({"ID", "Who", "CaloriesPerUnit", "Units"}));
    QCOMPARE(cells.at(1), QStringLiteral("Mar 05 06:05 PM"));
    QCOMPARE(cells.at(3), QStringLiteral("Shepherd's pie"));
    QCOMPARE(cells.at(4), QStringLiteral("1,234.6"));
    QCOMPARE(cells.at(8), QStringLiteral("1,235"));
    QCOMPARE(cells.at(9), QStringLiteral("2.5"));
    QCOMPARE(cells.at(10), QStringLiteral("0.0"));
    QCOMPARE(model.index(0, 8).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight, int(Qt::AlignRight));
    QCOMPARE(MealGridModel::columns()[static_cast<size_t>(MealGridModel::descriptionColumn())].caption,
             QStringLiteral("Description"));
}

void TestMealView::loadsOnTodayInOneDayMode()
{
    auto view = openView();
    QVERIFY(view->optOneDay->isChecked());
    QVERIFY(!view->mvwDates->rangeMode());
    QCOMPARE(view->mvwDates->selectedDate(), QDate(2002, 8, 13));
    QCOMPARE(view->dtBegin, wallClock(QDate(2002, 8, 13)));
    QCOMPARE(view->dtEnd, wallClock(QDate(2002, 8, 14)));
    QCOMPARE(view->idSelected, 0);
    QCOMPARE(view->windowTitle(), QStringLiteral("Meals for Ann [Tue, Aug 13, 2002]"));
}

void TestMealView::showsTheDayWithItsSummary()
{
    auto view = openView();
    QCOMPARE(shownIds(*view), QList<qint64>({1, 10, 20, 40, 41}));
    QCOMPARE(visibleRow(view->dbgMeals, 1),
             QStringList({"Aug 13 08:00 AM", "Shake", "2.0", "packet", "340", "0.0", "0.0"}));
    QCOMPARE(view->lblDates->text(), QStringLiteral("Tue, Aug 13, 2002"));
    QCOMPARE(view->lblTotalDays->text(), QStringLiteral("1"));
    QCOMPARE(view->lblTotalCalories->text(), QStringLiteral("1,085"));
    QCOMPARE(view->lblTotalFruits->text(), QStringLiteral("1.0"));
    QCOMPARE(view->lblTotalVegetables->text(), QStringLiteral("0.5"));
    // 3.5 and 2.5 rounded half away from zero.
    QCOMPARE(view->lblTotalSupplements->text(), QStringLiteral("4"));
    QCOMPARE(view->lblTotalEntrees->text(), QStringLiteral("3"));
    QCOMPARE(view->lblUnderEatingDays->text(), QStringLiteral("1"));
    QCOMPARE(view->lblAverageCalories->text(), QStringLiteral("1,085"));
    QCOMPARE(view->lblAverageFruitsAndVegetables->text(), QStringLiteral("1.5"));
    QCOMPARE(view->lblAverageCalories->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    QCOMPARE(view->lblAverageCaloriesLabel->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    QCOMPARE(view->lblAverageFruitsAndVegetables->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(view->lblAverageFruitsAndVegetablesLabel->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    // Over budget turns the calories red.
    auto strict = openView(QStringLiteral("Ann"), 1000);
    QCOMPARE(strict->lblAverageCalories->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(strict->lblUnderEatingDays->text(), QStringLiteral("0"));
}

void TestMealView::noDataState()
{
    auto view = openView();
    clickDate(*view, QDate(2002, 8, 16));
    QCOMPARE(view->lblDates->text(), QStringLiteral("No Data"));
    QCOMPARE(view->windowTitle(), QStringLiteral("Meals for Ann [Fri, Aug 16, 2002]"));
    QCOMPARE(view->dbgMeals->model()->rowCount(), 0);
    for (const QLabel *label : {view->lblTotalDays, view->lblTotalCalories, view->lblTotalFruits,
                                view->lblTotalVegetables, view->lblTotalSupplements, view->lblTotalEntrees,
                                view->lblUnderEatingDays, view->lblAverageCalories,
                                view->lblAverageFruitsAndVegetables})
        QCOMPARE(label->text(), QString());
    for (const QLabel *label : {view->lblAverageCalories, view->lblAverageCaloriesLabel,
                                view->lblAverageFruitsAndVegetables, view->lblAverageFruitsAndVegetablesLabel})
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 0));

    // Back to a day with meals, everything is shown again.
    clickDate(*view, QDate(2002, 8, 13));
    QCOMPARE(view->lblDates->text(), QStringLiteral("Tue, Aug 13, 2002"));
    QCOMPARE(view->dbgMeals->model()->rowCount(), 5);
}

void TestMealView::modeSwitches()
{
    auto view = openView();
    view->optOneWeek->click();
    QVERIFY(!view->mvwDates->rangeMode());
    QCOMPARE(view->mvwDates->selectedDate(), QDate(2002, 8, 13));
    QCOMPARE(view->dtEnd, wallClock(QDate(2002, 8, 20)));
    QCOMPARE(view->lblDates->text(), QStringLiteral("Tue, Aug 13 to Mon, Aug 19, 2002"));
    QCOMPARE(shownIds(*view), QList<qint64>({1, 10, 20, 40, 41, 50, 70}));
    // One week with meals on three days: the days logged run from the first meal to the last.
    QCOMPARE(view->lblTotalDays->text(), QStringLiteral("3"));

    view->optSelectedDays->click();
    QVERIFY(view->mvwDates->rangeMode());
    QCOMPARE(view->mvwDates->rangeStart(), QDate(2002, 8, 13));
    QCOMPARE(view->mvwDates->rangeEnd(), QDate(2002, 8, 13));
    QCOMPARE(view->lblDates->text(), QStringLiteral("Tue, Aug 13 to Tue, Aug 13, 2002"));
    QCOMPARE(view->dtEnd, wallClock(QDate(2002, 8, 14)));

    view->optOneDay->click();
    QVERIFY(!view->mvwDates->rangeMode());
    QCOMPARE(view->lblDates->text(), QStringLiteral("Tue, Aug 13, 2002"));

    // The access keys.
    QCOMPARE(view->optOneDay->text(), QStringLiteral("One &Day"));
    QCOMPARE(view->optOneWeek->text(), QStringLiteral("One &Week"));
    QCOMPARE(view->optSelectedDays->text(), QStringLiteral("&Selected days"));
}

void TestMealView::sameDateAgainQueriesNothing()
{
    auto view = openView();
    clickDate(*view, QDate(2002, 8, 14));
    QCOMPARE(shownIds(*view), QList<qint64>({50}));
    // A meal added behind the view's back shows only once the view queries again.
    QCOMPARE(TestDatabase::execute(m_path, {QStringLiteral("INSERT INTO Meals (Who, \"When\", Food, Amount, Units) "
                                                           "VALUES ('Ann', '2002-08-14 09:00:00', 'Apple', 1, 'each')")}),
             QString());
    clickDate(*view, QDate(2002, 8, 14));
    QCOMPARE(shownIds(*view).size(), 1);
    clickDate(*view, QDate(2002, 8, 13));
    clickDate(*view, QDate(2002, 8, 14));
    QCOMPARE(shownIds(*view).size(), 2);
}

void TestMealView::rangeModeFollowsTheCalendar()
{
    auto view = openView();
    view->optSelectedDays->click();
    clickDate(*view, QDate(2002, 8, 20), Qt::ShiftModifier);
    QCOMPARE(view->dtBegin, wallClock(QDate(2002, 8, 13)));
    QCOMPARE(view->dtEnd, wallClock(QDate(2002, 8, 21)));
    QCOMPARE(view->lblDates->text(), QStringLiteral("Tue, Aug 13 to Tue, Aug 20, 2002"));
    QCOMPARE(shownIds(*view).last(), 40000);
    QCOMPARE(view->lblTotalDays->text(), QStringLiteral("8"));
}

void TestMealView::headerSortCycleAndResetOnRequery()
{
    auto view = openView();
    QHeaderView *header = view->dbgMeals->horizontalHeader();
    const int calories = 8;
    auto caloriesShown = [&] {
        QList<qint64> ids = shownIds(*view);
        return ids;
    };
    // Calories: 95 (1), 340 (10), 100 (20), 250 (40), 300 (41).
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(calories) + 5, 5));
    QCOMPARE(caloriesShown(), QList<qint64>({1, 20, 40, 41, 10}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(calories) + 5, 5));
    QCOMPARE(caloriesShown(), QList<qint64>({10, 41, 40, 20, 1}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(calories) + 5, 5));
    QCOMPARE(caloriesShown(), QList<qint64>({1, 20, 40, 41, 10}));
    // Another column starts ascending.
    const int description = MealGridModel::descriptionColumn();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(description) + 5, 5));
    QCOMPARE(caloriesShown(), QList<qint64>({1, 40, 20, 41, 10}));

    // Any re-query shows the time order again; the designed columns stay as they were.
    const int whenWidth = view->dbgMeals->columnWidth(1);
    view->dbgMeals->setColumnWidth(description, 150);
    view->ReQueryMeals(view->idSelected);
    QCOMPARE(caloriesShown(), QList<qint64>({1, 10, 20, 40, 41}));
    QCOMPARE(view->dbgMeals->columnWidth(1), whenWidth);
    QCOMPARE(view->dbgMeals->columnWidth(description), 150);
    for (int column : {0, 2, 6, 7})
        QVERIFY(view->dbgMeals->isColumnHidden(column));
}

void TestMealView::selectionTracksTheMeal()
{
    auto view = openView();
    QTableView *grid = view->dbgMeals;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(grid, 2));
    QCOMPARE(view->idSelected, 20);
    // The selection stays with its meal when the rows are sorted.
    QHeaderView *header = grid->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(8) + 5, 5));
    QCOMPARE(view->idSelected, 20);
    const QModelIndexList selected = grid->selectionModel()->selectedRows();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.constFirst().siblingAtColumn(0).data().toLongLong(), 20);
    // Clearing the selection leaves no meal selected.
    grid->clearSelection();
    QCOMPARE(view->idSelected, 0);
}

void TestMealView::multipleSelectionIsRefused()
{
    auto view = openView();
    QTableView *grid = view->dbgMeals;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(grid, 1));
    QCOMPARE(view->idSelected, 10);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, cellCentre(grid, 3));
    QCOMPARE(view->idSelected, 0);
    QVERIFY(grid->selectionModel()->selectedIndexes().isEmpty());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(grid, 3));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ShiftModifier, cellCentre(grid, 4));
    QCOMPARE(view->idSelected, 0);
    QVERIFY(grid->selectionModel()->selectedIndexes().isEmpty());
}

void TestMealView::requeryKeepsTheSelectionById()
{
    auto view = openView();
    view->optOneWeek->click();
    view->ReQueryMeals(0);
    clickDate(*view, QDate(2002, 8, 14)); // a week from the 14th holds meal 40000 on the 20th
    const int row = shownIds(*view).indexOf(40000);
    QVERIFY(row >= 0);
    QTest::mouseClick(view->dbgMeals->viewport(), Qt::LeftButton, {}, cellCentre(view->dbgMeals, row));
    QCOMPARE(view->idSelected, 40000);

    // Moving the calendar keeps the ID; the meal is highlighted again wherever it shows.
    clickDate(*view, QDate(2002, 8, 13));
    QCOMPARE(view->idSelected, 40000);
    QVERIFY(view->dbgMeals->selectionModel()->selectedRows().isEmpty());
    clickDate(*view, QDate(2002, 8, 15));
    QCOMPARE(view->idSelected, 40000);
    const QModelIndexList selected = view->dbgMeals->selectionModel()->selectedRows();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.constFirst().data().toLongLong(), 40000);
}

void TestMealView::deleteAsksThenDeletes()
{
    auto view = openView();
    QTest::mouseClick(view->dbgMeals->viewport(), Qt::LeftButton, {}, cellCentre(view->dbgMeals, 4));
    QCOMPARE(view->idSelected, 41);

    MessageBox::setNextAnswer(false);
    view->DeleteMeal();
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().constFirst().kind, MessageBox::Kind::Question);
    QCOMPARE(MessageBox::shown().constFirst().text,
             QStringLiteral("Are you sure you want to delete the meal\r\n\"Protein bar\",  1.5 bar ?"));
    QCOMPARE(view->idSelected, 41);
    QCOMPARE(shownIds(*view).size(), 5);

    MessageBox::setNextAnswer(true);
    view->DeleteMeal();
    QCOMPARE(view->idSelected, 0);
    QCOMPARE(shownIds(*view), QList<qint64>({1, 10, 20, 40}));
    QVERIFY(view->dbgMeals->selectionModel()->selectedRows().isEmpty());
    QCOMPARE(view->lblTotalCalories->text(), QStringLiteral("785"));

    // Deleting the only meal of a day leaves the day without data.
    clickDate(*view, QDate(2002, 8, 14));
    QTest::mouseClick(view->dbgMeals->viewport(), Qt::LeftButton, {}, cellCentre(view->dbgMeals, 0));
    view->DeleteMeal();
    QCOMPARE(view->lblDates->text(), QStringLiteral("No Data"));
    QCOMPARE(view->dbgMeals->model()->rowCount(), 0);
}

void TestMealView::deleteOfAMealNoLongerShownDoesNothing()
{
    auto view = openView();
    QTest::mouseClick(view->dbgMeals->viewport(), Qt::LeftButton, {}, cellCentre(view->dbgMeals, 0));
    QCOMPARE(view->idSelected, 1);
    clickDate(*view, QDate(2002, 8, 14));
    view->DeleteMeal();
    QVERIFY(MessageBox::shown().isEmpty());
    clickDate(*view, QDate(2002, 8, 16)); // no meals at all
    view->DeleteMeal();
    QVERIFY(MessageBox::shown().isEmpty());
    clickDate(*view, QDate(2002, 8, 13));
    QCOMPARE(shownIds(*view).first(), 1);
}

void TestMealView::rightButtonAsksForTheMenu()
{
    auto view = openView();
    QSignalSpy asked(view.get(), &frmMealView::popupMenuRequested);
    QTableView *grid = view->dbgMeals;
    QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, cellCentre(grid, 1));
    QCOMPARE(asked.size(), 1);
    // The right button does not select.
    QCOMPARE(view->idSelected, 0);
    QVERIFY(grid->selectionModel()->selectedRows().isEmpty());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(grid, 1));
    QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, QPoint(5, grid->viewport()->height() - 5));
    QCOMPARE(asked.size(), 2);
    QCOMPARE(view->idSelected, 10);
}

void TestMealView::failingDatabaseIsReportedOnce()
{
    auto view = openView();
    QCOMPARE(shownIds(*view).size(), 5);
    deMealwright::instance().close();
    view->ReQueryMeals(0);
    view->ReQueryMeals(0);
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().constFirst().kind, MessageBox::Kind::Critical);
    QVERIFY(MessageBox::shown().constFirst().text.contains(QStringLiteral("Ann")));
    QCOMPARE(view->lblDates->text(), QStringLiteral("No Data"));
    QCOMPARE(view->dbgMeals->model()->rowCount(), 0);

    // Once the database is back, the view works again, and a later failure is reported anew.
    QVERIFY(deMealwright::instance().open(m_path).ok());
    view->ReQueryMeals(0);
    QCOMPARE(shownIds(*view).size(), 5);
    deMealwright::instance().close();
    view->ReQueryMeals(0);
    QCOMPARE(MessageBox::shown().size(), 2);
}

void TestMealView::resizeRules()
{
    QMdiArea area;
    area.resize(1200, 900);
    auto *view = new frmMealView;
    view->szClient = QStringLiteral("Ann");
    view->fCalorieBudget = 1500;
    QMdiSubWindow *window = area.addSubWindow(view);
    area.show();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));

    QTableView *grid = view->dbgMeals;
    const int description = MealGridModel::descriptionColumn();
    // The grid fills the window below the calendar and the panels.
    QCOMPARE(grid->width(), view->width());
    QCOMPARE(grid->geometry().bottom(), view->height() - 1);

    const int before = grid->columnWidth(description);
    window->resize(window->width() + 100, window->height() + 50);
    QCOMPARE(grid->columnWidth(description), before + 100);
    QCOMPARE(grid->width(), view->width());
    QCOMPARE(grid->geometry().bottom(), view->height() - 1);

    // Narrower or lower than the minimum snaps back to it.
    window->resize(50, 50);
    QCOMPARE(view->width(), view->minimumWidth());
    QCOMPARE(view->height(), view->minimumHeight());
    QVERIFY(view->minimumWidth() >= view->fraSummary->geometry().right());
    QVERIFY(view->minimumHeight() >= grid->y() + 6 * grid->verticalHeader()->defaultSectionSize());

    // Minimising and restoring leaves the column widths as they were.
    window->resize(900, 600);
    QList<int> widths;
    for (int column = 0; column < grid->model()->columnCount(); ++column)
        widths << grid->columnWidth(column);
    window->showMinimized();
    window->showNormal();
    QList<int> after;
    for (int column = 0; column < grid->model()->columnCount(); ++column)
        after << grid->columnWidth(column);
    QCOMPARE(after, widths);
}

void TestMealView::modelPassesTheModelTester()
{
    auto view = openView();
    QAbstractItemModelTester tester(view->dbgMeals->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QHeaderView *header = view->dbgMeals->horizontalHeader();
    QTest::mouseClick(view->dbgMeals->viewport(), Qt::LeftButton, {}, cellCentre(view->dbgMeals, 2));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(8) + 5, 5));
    clickDate(*view, QDate(2002, 8, 16));
    clickDate(*view, QDate(2002, 8, 13));
    view->optOneWeek->click();
}

QTEST_MAIN(TestMealView)
#include "tst_mealview.moc"
