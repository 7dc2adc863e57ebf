#include "MealGridModel.h"
#include "frmCopyMeals.h"
#include "MealViewRules.h"
#include "RangeCalendar.h"
#include "Windows.h"

#include <QAbstractItemModelTester>
#include <QGroupBox>
#include <QStyle>
#include <QTemporaryDir>

namespace {

const QDate tuesday(2002, 8, 13);

QDateTime at(QDate date, int hour = 12, int minute = 0)
{
    return wallClock(date, QTime(hour, minute));
}

// The calendar reports a click, or a Shift+click in range mode, as the user's new selection.
void clickDate(frmMealView &view, QDate date, bool extend = false)
{
    if (extend)
        view.mvwDates->setRange(view.mvwDates->selectedDate(), date);
    else if (view.mvwDates->rangeMode())
        view.mvwDates->setRange(date, date);
    else
        view.mvwDates->setSelectedDate(date);
}

// The summary panel's figures, from the span to the servings per day.
QStringList summaryTexts(const frmMealView &view)
{
    QStringList texts;
    for (const QLabel *label : {view.lblDates, view.lblTotalDays, view.lblTotalCalories, view.lblTotalFruits,
                                view.lblTotalVegetables, view.lblTotalSupplements, view.lblTotalEntrees,
                                view.lblUnderEatingDays, view.lblAverageCalories, view.lblAverageFruitsAndVegetables})
        texts << label->text();
    return texts;
}

// The colours of the calories and the servings per day, each value with its caption.
QList<QColor> averageColours(const frmMealView &view)
{
    QList<QColor> colours;
    for (const QLabel *label : {view.lblAverageCalories, view.lblAverageCaloriesLabel,
                                view.lblAverageFruitsAndVegetables, view.lblAverageFruitsAndVegetablesLabel})
        colours << label->palette().color(QPalette::WindowText);
    return colours;
}

// A view of Ann's meals, shown, with the calorie budget given and 5 servings a day.
std::unique_ptr<frmMealView> openView(float budget = 1500)
{
    auto view = std::make_unique<frmMealView>();
    view->setAttribute(Qt::WA_DeleteOnClose, false);
    view->szClient = QStringLiteral("Ann");
    view->fCalorieBudget = budget;
    view->fFVbudget = 5;
    view->show();
    return view;
}

const QColor green(0, 255, 0);
const QColor red(255, 0, 0);
const QColor black(0, 0, 0);

} // namespace

class TestMealView : public DiaryTest
{
    Q_OBJECT

public:
    TestMealView() : DiaryTest({}, wallClock(tuesday, QTime(9, 30))) {}

private Q_SLOTS:
    // The rules.

    void summaryFigures_data()
    {
        QTest::addColumn<QList<QDateTime>>("times");
        QTest::addColumn<QList<double>>("calories");
        QTest::addColumn<QList<double>>("servings");
        QTest::addColumn<QString>("figures");

        // Budgets: 1500 calories and 5 servings a day.
        const QDate monday = tuesday.addDays(-1);
        // Only Monday and Wednesday have meals: three days logged, Tuesday cannot be under-eating.
        QTest::newRow("Monday and Wednesday") << QList<QDateTime>{at(monday), at(monday.addDays(2))}
                                              << QList<double>{1000, 2000} << QList<double>{6, 9}
                                              << "3 days, 1000 cal, 5 servings, 1 under, green/green";
        QTest::newRow("across midnight") << QList<QDateTime>{at(monday, 23, 30), at(tuesday, 0, 10)}
                                         << QList<double>{700, 700} << QList<double>{5, 5}
                                         << "2 days, 700 cal, 5 servings, 2 under, green/green";
        // A day that adds up exactly to the budget is not under it; per day at the budget is green.
        QTest::newRow("day equal to the budget") << QList<QDateTime>{at(monday, 8), at(monday, 18)}
                                                 << QList<double>{500, 1000} << QList<double>{2.5, 2.5}
                                                 << "1 days, 1500 cal, 5 servings, 0 under, green/green";
        QTest::newRow("just over the budgets") << QList<QDateTime>{at(monday)} << QList<double>{1500.5} << QList<double>{4.999}
                                               << "1 days, 1500.5 cal, 4.999 servings, 0 under, red/red";
    }

    void summaryFigures()
    {
        QFETCH(QList<QDateTime>, times);
        QFETCH(QList<double>, calories);
        QFETCH(QList<double>, servings);

        std::vector<MealRow> list;
        for (int i = 0; i < times.size(); ++i) {
            MealRow &row = list.emplace_back();
            row.When = times[i];
            row.Calories = calories[i];
            row.Fruits = row.Vegetables = servings[i] / 2;
        }
        const MealRows rows(std::move(list));
        const MealSummary summary = summarize(totalsOf(rows), rows, 1500, 5);
        const auto colour = [](bool good) { return good ? QStringLiteral("green") : QStringLiteral("red"); };
        QTEST(QStringLiteral("%1 days, %2 cal, %3 servings, %4 under, %5/%6")
                  .arg(summary.daysLogged)
                  .arg(summary.caloriesPerDay)
                  .arg(summary.servingsPerDay)
                  .arg(summary.underEatingDays)
                  .arg(colour(summary.caloriesWithinBudget), colour(summary.servingsMeetBudget)),
              "figures");
    }

    // The window.

    void showsTheDayWithItsSummary()
    {
        // It opens on today, one day, nothing selected.
        auto view = openView();
        QCOMPARE(QVariantList({view->optOneDay->isChecked(), view->mvwDates->rangeMode(), view->idSelected, view->dtBegin,
                               view->dtEnd, view->windowTitle()}),
                 QVariantList({true, false, 0, wallClock(tuesday), wallClock(tuesday.addDays(1)),
                               "Meals for Ann [Tue, Aug 13, 2002]"}));
        QCOMPARE(idsOf(view->dbgMeals), QList<qint64>({1, 10, 20, 40, 41}));
        QStringList cells; // the visible columns
        for (int column : {1, 3, 4, 5, 8, 9, 10})
            cells << view->dbgMeals->model()->index(1, column).data().toString();
        QCOMPARE(cells, QStringList({"Aug 13 08:00 AM", "Shake", "2.0", "packet", "340", "0.0", "0.0"}));
        // Supplements 3.5 and entrees 2.5 are rounded half away from zero.
        QCOMPARE(summaryTexts(*view), QStringList({"Tue, Aug 13, 2002", "1", "1,085", "1.0", "0.5", "4", "3", "1", "1,085", "1.5"}));
        QCOMPARE(averageColours(*view), QList<QColor>({green, green, red, red}));
        // 9,999,999 in each box's format fits the box, inside the panel, clear of its caption's text.
        const std::pair<QLabel *, const char *> largest[] = {{view->lblTotalDays, "9999999"}, {view->lblUnderEatingDays, "9999999"},
            {view->lblTotalCalories, "9,999,999"}, {view->lblTotalFruits, "9999999.0"}, {view->lblTotalVegetables, "9999999.0"},
            {view->lblTotalSupplements, "9999999"}, {view->lblTotalEntrees, "9999999"}, {view->lblAverageCalories, "9,999,999"},
            {view->lblAverageFruitsAndVegetables, "9999999.0"}};
        for (const auto &[box, text] : largest) {
            const auto *caption = view->fraSummary->findChild<QLabel *>(box->objectName() + QStringLiteral("Label"));
            const int textLeft = box->x() + box->width() - box->fontMetrics().horizontalAdvance(QString::fromLatin1(text));
            QVERIFY2(textLeft >= box->x() && box->geometry().right() <= view->fraSummary->contentsRect().right()
                     && caption->x() + caption->fontMetrics().horizontalAdvance(caption->text()) < textLeft, qPrintable(box->objectName()));
        }

        // Over budget turns the calories red.
        auto strict = openView(1000);
        QCOMPARE(averageColours(*strict), QList<QColor>({red, red, red, red}));
        QCOMPARE(strict->lblUnderEatingDays->text(), QStringLiteral("0"));
    }

    void noDataState()
    {
        auto view = openView();
        clickDate(*view, QDate(2002, 8, 16));
        QCOMPARE(summaryTexts(*view) << view->windowTitle() << QString::number(view->dbgMeals->model()->rowCount()),
                 QStringList({"No Data", "", "", "", "", "", "", "", "", "", "Meals for Ann [Fri, Aug 16, 2002]", "0"}));
        QCOMPARE(averageColours(*view), QList<QColor>({black, black, black, black}));

        // A meal added behind the view's back shows only once the view queries again: not for a
        // click on the same date, but for the next new one.
        change({"INSERT INTO Meals (Who, \"When\", Food, Amount, Units)"
                " VALUES ('Ann', '2002-08-16 09:00:00', 'Apple', 1, 'each')"});
        clickDate(*view, QDate(2002, 8, 16));
        QCOMPARE(view->lblDates->text(), QStringLiteral("No Data"));
        clickDate(*view, tuesday);
        clickDate(*view, QDate(2002, 8, 16));
        QCOMPARE(view->lblDates->text() + QString::number(view->dbgMeals->model()->rowCount()), "Fri, Aug 16, 20021");

        // A read that fails is never shown as a day without meals: every time, it says why.
        change({QStringLiteral("DROP TABLE Foods")});
        for (const QDate date : {tuesday, QDate(2002, 8, 16)}) {
            clickDate(*view, date);
            QCOMPARE(messages(), QStringList("X The meals of Ann could not be read from the database.\n\n"
                                             "The database reported an error: " + TestDatabase::missingTable("Foods")));
            QCOMPARE(summaryTexts(*view), QStringList({"Meals not read", "", "", "", "", "", "", "", "", ""}));
            QCOMPARE(view->dbgMeals->model()->rowCount(), 0);
        }
    }

    void modeSwitches()
    {
        // One week with meals on three days: the days logged run from the first meal to the last.
        auto view = openView();
        view->optOneWeek->click();
        QCOMPARE(QVariantList({view->mvwDates->rangeMode(), view->dtEnd, view->lblDates->text(), view->lblTotalDays->text()}),
                 QVariantList({false, wallClock(tuesday.addDays(7)), "Tue, Aug 13 to Mon, Aug 19, 2002", "3"}));
        QCOMPARE(idsOf(view->dbgMeals), QList<qint64>({1, 10, 20, 40, 41, 50, 70}));

        // Selected days starts with one day; then Aug 13-20; One Day; and the same again: the grid
        // and the summary follow the calendar every time.
        for (int round = 0; round < 2; ++round) {
            view->optSelectedDays->click();
            QCOMPARE(QVariantList({view->mvwDates->rangeMode(), view->lblDates->text()}),
                     QVariantList({true, "Tue, Aug 13 to Tue, Aug 13, 2002"}));
            clickDate(*view, QDate(2002, 8, 20), true);
            QCOMPARE(QVariantList({view->dtEnd, idsOf(view->dbgMeals).last(), view->lblTotalDays->text()}),
                     QVariantList({wallClock(QDate(2002, 8, 21)), 40000, "8"}));
            view->optOneDay->click();
            QCOMPARE(QVariantList({view->mvwDates->rangeMode(), view->lblDates->text()}), QVariantList({false, "Tue, Aug 13, 2002"}));
        }

        // The access keys choose the interval from the calendar too, after a click on a day: the
        // calendar's date editor does not take them.
        QVERIFY(QTest::qWaitForWindowActive(view.get()));
        auto *days = view->mvwDates->findChild<QTableView *>();
        for (const auto &[key, dates] : {std::pair{Qt::Key_W, "Tue, Aug 13 to Mon, Aug 19, 2002"},
                                         {Qt::Key_S, "Tue, Aug 13 to Tue, Aug 13, 2002"}, {Qt::Key_D, "Tue, Aug 13, 2002"}}) {
            QTest::mouseClick(days->viewport(), Qt::LeftButton, {}, days->visualRect(days->currentIndex()).center());
            QTest::keyClick(days, key, Qt::AltModifier);
            QTRY_COMPARE(view->lblDates->text(), QString::fromLatin1(dates)); // a shortcut clicks after a moment
        }
    }

    void headerSortCycleAndResetOnRequery()
    {
        auto view = openView();
        QAbstractItemModelTester tester(view->dbgMeals->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        // Calories (column 8): 95 (1), 340 (10), 100 (20), 250 (40), 300 (41), up then down. Another
        // column (5) starts ascending; equal values keep their time order.
        for (const auto &[column, ids] : {std::pair{8, QList<qint64>{1, 20, 40, 41, 10}}, {8, {10, 41, 40, 20, 1}},
                                          {5, {41, 20, 1, 40, 10}}}) {
            clickHeader(view->dbgMeals, column);
            QCOMPARE(idsOf(view->dbgMeals), ids);
        }
        // Any re-query shows the time order again, and leaves a column's width as the user set it.
        view->dbgMeals->setColumnWidth(3, 150);
        view->ReQueryMeals(view->idSelected);
        QCOMPARE(idsOf(view->dbgMeals), QList<qint64>({1, 10, 20, 40, 41}));
        QCOMPARE(view->dbgMeals->columnWidth(3), 150);
    }

    void selection()
    {
        auto view = openView();
        QTableView *grid = view->dbgMeals;
        // The selected meal, and the one highlighted (0 for none).
        const auto selected = [&] {
            return QList<qint64>({view->idSelected, grid->selectionModel()->selectedRows(0).value(0).data().toLongLong()});
        };
        clickRow(grid, 2);
        QCOMPARE(selected(), QList<qint64>({20, 20}));
        // The selection stays with its meal when the rows are sorted.
        clickHeader(grid, 8);
        QCOMPARE(selected(), QList<qint64>({20, 20}));
        // Rows by Ctrl or Shift stay selected (for copying), but no meal counts as selected.
        const auto selectedIds = [&] {
            QList<qint64> ids;
            for (const MealRow &meal : view->selectedMeals())
                ids << meal.ID;
            return ids;
        };
        clickRow(grid, 3, Qt::LeftButton, Qt::ControlModifier);
        QCOMPARE(view->idSelected, 0);
        QCOMPARE(selectedIds(), QList<qint64>({20, 41})); // in calorie order
        clickRow(grid, 1);
        clickRow(grid, 4, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(view->idSelected, 0);
        QCOMPARE(selectedIds(), QList<qint64>({20, 40, 41, 10}));

        // A re-query keeps the ID, and highlights the meal again wherever it shows; not shown, it
        // is not deleted either.
        clickRow(grid, 2); // meal 40, the rows in calorie order
        clickDate(*view, QDate(2002, 8, 14));
        view->DeleteMeal();
        QCOMPARE(selected() << MessageBox::shown().size(), QList<qint64>({40, 0, 0}));
        clickDate(*view, tuesday);
        QCOMPARE(selected(), QList<qint64>({40, 40}));
        grid->clearSelection();
        QCOMPARE(selected(), QList<qint64>({0, 0}));
    }

    void copyingMeals_data()
    {
        QTest::addColumn<QList<qint64>>("ids");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("who");
        QTest::addColumn<QStringList>("copies"); // none when the copy is refused
        QTest::addColumn<QString>("reason");
        // Meal 20 was stored by another program in another form; its copy is stored in the usual one.
        QTest::newRow("over a month end, to another client") << QList<qint64>({41, 50, 20}) << QDate(2002, 9, 1) << "Bob"
            << QStringList({"Bob|2002-09-01 23:59:59|Protein bar|1.5|bar", "Bob|2002-09-01 00:00:00|Broccoli|2.0|cup",
                            "Bob|2002-09-01 08:00:00|Milk|1.0|cup"}) << "";
        QTest::newRow("a leap day, the same client") << QList<qint64>({70}) << QDate(2004, 2, 29) << ""
                                                     << QStringList("Ann|2004-02-29 19:00:00|Milk|8.0|fl oz") << "";
        QTest::newRow("one meal gone") << QList<qint64>({1, 999}) << QDate(2002, 9, 1) << "" << QStringList()
                                       << "The meal number 999 is no longer in the diary";
        QTest::newRow("client gone") << QList<qint64>({1}) << QDate(2002, 9, 1) << "Zed" << QStringList()
                                     << "The client 'Zed' is no longer in the diary";
        QTest::newRow("food entry gone") << QList<qint64>({1, 30}) << QDate(2002, 9, 1) << "" << QStringList()
                                         << "There is no longer a food entry for 'Mystery stew' in bowl";
    }

    void copyingMeals()
    {
        QFETCH(QList<qint64>, ids);
        QFETCH(QDate, day);
        QFETCH(QString, who);
        QFETCH(QStringList, copies);
        QFETCH(QString, reason);
        change({"UPDATE Meals SET \"When\" = '2002-08-13T08:00' WHERE ID = 20"});
        const QString added = QStringLiteral("SELECT Who, \"When\", Food, Amount, Units "
                                             "FROM Meals WHERE ID > 40000 ORDER BY ID");
        const QStringList all = rows(QStringLiteral("SELECT * FROM Meals"));
        const Result<QList<qint64>> copied = Meals(deMealwright::instance().cnMealwright()).copyTo(ids, day, who);
        QCOMPARE(copied.reason().left(reason.size()), reason);
        QCOMPARE(rows(added), copies);
        if (!copied)
            QCOMPARE(rows(QStringLiteral("SELECT * FROM Meals")), all);
    }

    // Two of Tuesday's meals copied to Bob's day through the menu: the other open view follows.
    void copyToFromTheMenu()
    {
        auto frame = startFrame(m_path);
        frmMealView *ann = openMealView(*frame, 0);
        frmMealView *bob = openMealView(*frame, 1);
        bob->mvwDates->setSelectedDate(tuesday.addDays(1));
        frame->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(ann->parentWidget()));
        ann->mvwDates->setSelectedDate(tuesday);
        Q_EMIT frame->mnuMeals->aboutToShow();
        QVERIFY(!frame->mnuMealCopy->isEnabled());
        clickRow(ann->dbgMeals, 0);
        clickRow(ann->dbgMeals, 4, Qt::LeftButton, Qt::ControlModifier); // meals 1 and 41
        Q_EMIT frame->mnuMeals->aboutToShow();
        QCOMPARE(QList<bool>({frame->mnuMealCopy->isEnabled(), frame->mnuMealEdit->isEnabled()}), QList<bool>({true, false}));
        QStringList seen;
        whenModal([&](QWidget *dialog) {
            auto *copy = qobject_cast<frmCopyMeals *>(dialog);
            seen << copy->lblPrompt->text() << copy->dtpDate->date().toString(Qt::ISODate) << copy->cboWho->currentText();
            copy->cboWho->setCurrentText(QStringLiteral("Bob"));
            copy->cmdOK->click();
        });
        frame->mnuMealCopy->trigger();
        QCOMPARE(seen, QStringList({"Copy the 2 selected meals to:", "2002-08-14", "Ann"}));
        QCOMPARE(idsOf(bob->dbgMeals), QList<qint64>({40001, 40002}));
    }

    void deleteAsksThenDeletes()
    {
        auto view = openView();
        clickRow(view->dbgMeals, 4);
        MessageBox::setNextAnswer(false);
        view->DeleteMeal();
        QCOMPARE(messages(), QStringList("? Are you sure you want to delete the meal\r\n\"Protein bar\",  1.5 bar ?"));
        QCOMPARE(QList<qint64>({view->idSelected, idsOf(view->dbgMeals).size()}), QList<qint64>({41, 5}));
        view->DeleteMeal(); // OK
        QCOMPARE(QList<qint64>({view->idSelected, view->dbgMeals->selectionModel()->selectedRows().size()}), QList<qint64>({0, 0}));
        QCOMPARE(idsOf(view->dbgMeals), QList<qint64>({1, 10, 20, 40}));
        QCOMPARE(view->lblTotalCalories->text(), QStringLiteral("785"));

        // Deleted meanwhile by another program: said plainly, and the rows are read again.
        clickRow(view->dbgMeals, 0);
        change({QStringLiteral("DELETE FROM Meals WHERE ID = 1")});
        view->DeleteMeal();
        QVERIFY(messages().constLast().startsWith(QStringLiteral("X The meal could not be deleted.")));
        QCOMPARE(idsOf(view->dbgMeals), QList<qint64>({10, 20, 40}));

        // Deleting the only meal of a day leaves the day without data.
        clickDate(*view, QDate(2002, 8, 14));
        clickRow(view->dbgMeals, 0);
        view->DeleteMeal();
        QCOMPARE(view->lblDates->text(), QStringLiteral("No Data"));
    }

    // The frame's meal commands.

    void frameRoutesTheMealCommands()
    {
        const auto frame = startFrame(m_path);
        // Cancel in the client picker opens nothing; each View opens a view, also for a client who
        // has one, with the client's budgets.
        whenModal([](QWidget *dialog) { qobject_cast<frmSelectClient *>(dialog)->cmdCancel->click(); });
        frame->mnuMealView->trigger();
        QVERIFY(frame->mdiArea()->subWindowList().isEmpty());
        frmMealView *ann = openMealView(*frame, 0);
        frmMealView *again = openMealView(*frame, 1);
        QVERIFY(ann && again && openMealView(*frame, 1) != again);
        QCOMPARE(QStringLiteral("%1 %2 %3").arg(again->szClient).arg(again->fCalorieBudget).arg(again->fFVbudget),
                 QStringLiteral("Bob 2000 5"));

        // The meal menus follow the active view's selection; the right button shows the pop-up.
        frame->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(ann->parentWidget()));
        QTableView *grid = ann->dbgMeals;
        const auto commands = [&](QPoint at) {
            QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, at);
            const bool shown = QTest::qWaitFor([&] { return frame->mnuMealPopup->isVisible(); });
            frame->mnuMealPopup->hide();
            Q_EMIT frame->mnuMeals->aboutToShow();
            return QList<bool>{shown, frame->mnuMealPopupAdd->isEnabled(), frame->mnuMealPopupEdit->isEnabled(),
                               frame->mnuMealPopupDelete->isEnabled(), frame->mnuMealEdit->isEnabled(),
                               frame->mnuMealDelete->isEnabled()};
        };
        const QPoint below(5, grid->viewport()->height() - 5); // no row there
        QCOMPARE(commands(below), QList<bool>({true, true, false, false, false, false}));
        // A right click on a row not selected selects it first; below the rows the selection stays.
        clickRow(grid, 0);
        QCOMPARE(commands(grid->visualRect(grid->model()->index(3, 3)).center()) << (ann->idSelected == 40), QList<bool>(7, true));
        QCOMPARE(commands(below) << (ann->idSelected == 40), QList<bool>(7, true));

        // Meals > Add... starts on the active view's client and first day; after it every view reads
        // its meals again, a meal another program added too, and keeps its selected meal.
        change({"INSERT INTO Meals (Who, \"When\", Food, Amount, Units)"
                " VALUES ('Ann', '2002-08-13 07:00:00', 'Apple', 1, 'each')"});
        const auto addMeal = [&frame] { // what the editor started with
            QStringList started;
            whenShown<frmEditMeal>([&started](frmEditMeal *editor) {
                started << editor->dbcWho->currentText() << editor->dtpDate->text() << editor->dtpTime->text();
                editor->dtpTime->setTime(QTime(7, 0));
                editor->dbcFood->setEditText(QStringLiteral("Apple"));
                editor->txtAmount->setText(QStringLiteral("1"));
                editor->dbcUnits->setEditText(QStringLiteral("each"));
                editor->cmdOK->click();
            });
            frame->mnuMealAdd->trigger();
            return started;
        };
        frame->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(again->parentWidget()));
        QCOMPARE(addMeal(), QStringList({"Bob", "Tue Aug 13 2002", "12:00 AM"}));
        QCOMPARE(QList<qint64>({grid->model()->rowCount(), again->dbgMeals->model()->rowCount(), ann->idSelected,
                                grid->selectionModel()->selectedRows().value(0).data().toLongLong()}),
                 QList<qint64>({6, 2, 40, 40}));

        // The pop-up's Delete asks about the active view's selected meal; with none selected, nothing
        // is asked.
        frame->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(ann->parentWidget()));
        frame->mnuMealPopupDelete->trigger();
        QCOMPARE(messages(), QStringList("? Are you sure you want to delete the meal\r\n\"Chicken pasta\",  1 each ?"));
        QCOMPARE(grid->model()->rowCount(), 5);
        frame->mnuMealDelete->trigger();
        QCOMPARE(messages(), QStringList());

        // With no view: no client, and now. A meal with no client is not saved.
        frame->mnuWindowCloseAll->trigger();
        QCOMPARE(addMeal(), QStringList({"", "Tue Aug 13 2002", "9:30 AM"}));
        QCOMPARE(messages(), QStringList("! You must select a client name"));
    }
};

QTEST_MAIN(TestMealView)
#include "tst_mealview.moc"
