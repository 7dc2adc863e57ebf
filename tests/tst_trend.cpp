#include "frmMealTrend.h"
#include "RangeCalendar.h"
#include "TrendSeries.h"
#include "Windows.h"

#include <QBarSet>
#include <QCategoryAxis>
#include <QChartView>
#include <QFile>
#include <QImage>
#include <QLineSeries>
#include <QToolTip>

namespace {

const QDate tuesday(2002, 8, 13);

// The meal report's days, each "yyyy/MM/dd calories fruits vegetables".
ReportRow reportOf(const QStringList &days)
{
    ReportRow report;
    for (const QString &day : days) {
        const QStringList parts = day.split(QLatin1Char(' '));
        report.children.push_back({{{"DateOnly", parts[0]}, {"TotalCalories", parts[1].toDouble()},
                                    {"TotalFruits", parts[2].toDouble()}, {"TotalVegetables", parts[3].toDouble()}}, {}});
    }
    return report;
}

// A day of the series as "Aug 13 1085 avg 572.5"; "-" for no meals or no average.
QString pointText(const TrendDay &day)
{
    return day.date.toString(QStringLiteral("MMM d ")) + (day.hasMeals ? QString::number(day.calories) : QStringLiteral("-"))
        + QStringLiteral(" avg ") + (day.movingAverage ? QString::number(*day.movingAverage, 'g', 6) : QStringLiteral("-"));
}

QList<qreal> valuesOf(const QBarSet *set)
{
    QList<qreal> values;
    for (int i = 0; i < set->count(); ++i)
        values << set->at(i);
    return values;
}

frmMealTrend *currentTrend(frmMainFrame &frame)
{
    QMdiSubWindow *window = frame.mdiArea()->currentSubWindow();
    return window ? qobject_cast<frmMealTrend *>(window->widget()) : nullptr;
}

} // namespace

class TestTrend : public DiaryTest
{
    Q_OBJECT

public:
    TestTrend() : DiaryTest({}, wallClock(tuesday, QTime(9, 0))) {}

private Q_SLOTS:

    void initTestCase() { FileDialog::setTestMode(true); }

    void series_data()
    {
        QTest::addColumn<QDate>("first");
        QTest::addColumn<QDate>("last");
        QTest::addColumn<QStringList>("report");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("points"); // index=point, for the days checked

        // Ann's week of the fixture and the next Tuesday: the days between are gaps, and the
        // window of the 20th no longer reaches back to the 13th.
        QTest::newRow("span with gaps")
            << tuesday << QDate(2002, 8, 20)
            << QStringList{"2002/08/13 1085 1 0.5", "2002/08/14 60 0 2", "2002/08/15 100 0 0", "2002/08/20 190 2 0"} << 8
            << QStringList{"0=Aug 13 1085 avg 1085", "1=Aug 14 60 avg 572.5", "2=Aug 15 100 avg 415", "3=Aug 16 - avg 415",
                           "6=Aug 19 - avg 415", "7=Aug 20 190 avg 116.667"};
        QTest::newRow("single day") << tuesday << tuesday << QStringList{"2002/08/13 1085 1 0.5"} << 1
                                    << QStringList{"0=Aug 13 1085 avg 1085"};
        // The average at the start of a span is over what the span holds; a day the report
        // gives outside the span is no part of it.
        QTest::newRow("start of a span") << QDate(2002, 8, 15) << QDate(2002, 8, 21)
                                         << QStringList{"2002/08/13 1085 1 0.5", "2002/08/15 100 0 0", "2002/08/16 300 0 1"}
                                         << 7 << QStringList{"0=Aug 15 100 avg 100", "1=Aug 16 300 avg 200", "6=Aug 21 - avg 200"};
        // A gap of more than six days leaves days with no average at all.
        QTest::newRow("across a long gap") << QDate(2002, 9, 1) << QDate(2002, 9, 12)
                                           << QStringList{"2002/09/01 700 0 0", "2002/09/10 1400 0 0"} << 12
                                           << QStringList{"6=Sep 7 - avg 700", "7=Sep 8 - avg -", "8=Sep 9 - avg -",
                                                          "9=Sep 10 1400 avg 1400", "11=Sep 12 - avg 1400"};
        // A year with meals every day, 1000 calories plus the day of the year: the last day
        // averages days 359 to 365 of the year, 1362.
        QStringList year;
        for (QDate date(2003, 1, 1); date.year() == 2003; date = date.addDays(1))
            year << date.toString(QStringLiteral("yyyy/MM/dd ")) + QString::number(1000 + date.dayOfYear()) + " 1 2";
        QTest::newRow("365 days") << QDate(2003, 1, 1) << QDate(2003, 12, 31) << year << 365
                                  << QStringList{"0=Jan 1 1001 avg 1001", "6=Jan 7 1007 avg 1004", "58=Feb 28 1059 avg 1056",
                                                 "59=Mar 1 1060 avg 1057", "364=Dec 31 1365 avg 1362"};
    }

    void series()
    {
        QFETCH(QDate, first);
        QFETCH(QDate, last);
        QFETCH(QStringList, report);
        QFETCH(int, count);
        QFETCH(QStringList, points);
        const std::vector<TrendDay> days = TrendSeries::daily(reportOf(report), DateSpan::selectedDays(first, last));
        QCOMPARE(int(days.size()), count);
        for (const QString &point : points) {
            const int index = point.section(QLatin1Char('='), 0, 0).toInt();
            QCOMPARE(pointText(days[size_t(index)]), point.section(QLatin1Char('='), 1));
        }
    }

    void overBudget()
    {
        // Calories, budget, over: a day on the budget is at it; with no budget every day is over.
        for (const auto &[calories, budget, over] : {std::tuple{1499.5, 1500.0, false}, {1500.0, 1500.0, false},
                                                     {1500.5, 1500.0, true}, {1.0, 0.0, true}}) {
            QCOMPARE(TrendSeries::overBudget(TrendDay{QDate(), true, calories, 0, 0, {}}, budget), over);
        }
        QVERIFY(!TrendSeries::overBudget(TrendDay(), 0)); // a day without meals
    }

    // The dates under the bars: as many as the width holds, for a year and for a few days.
    void dateLabels()
    {
        frmMealView view;
        view.show();
        view.optSelectedDays->click();
        view.mvwDates->setRange(QDate(2002, 8, 1), QDate(2003, 7, 31));
        frmMealTrend trend(&view);
        trend.resize(760, 540);
        trend.show();
        const auto labels = [&trend] { return trend.chvCalories->chart()->findChild<QCategoryAxis *>()->categoriesLabels(); };
        QCOMPARE(labels(), QStringList({"Aug", "Sep", "Oct", "Nov", "Dec", "2003", "Feb", "Mar", "Apr", "May", "Jun", "Jul"}));
        trend.resize(400, 540); // room for five labels: every third month
        QCOMPARE(labels(), QStringList({"Oct", "2003", "Apr", "Jul"}));
        view.mvwDates->setRange(QDate(2002, 8, 13), QDate(2002, 8, 15));
        QCOMPARE(labels(), QStringList({"Aug 13", "Aug 14", "Aug 15"}));
    }

    // The frame's Trend... on Ann's view of Tuesday: one chart per view, following it.
    void chartFollowsItsView()
    {
        auto frame = startFrame(m_path);
        frmMealView *view = openMealView(*frame, 0);
        QVERIFY(view);
        frame->mnuMealTrend->trigger();
        QPointer<frmMealTrend> trend = currentTrend(*frame);
        QVERIFY(trend);
        QCOMPARE(trend->windowTitle(), "Trend for Ann [Tue, Aug 13, 2002]");
        QCOMPARE(valuesOf(trend->barUnder), QList<qreal>({1085}));
        QCOMPARE(valuesOf(trend->barOver), QList<qreal>({0}));
        QCOMPARE(QList<qreal>({trend->linBudget->at(0).y(), trend->linServingsBudget->at(0).y()}), QList<qreal>({1500, 5}));
        QCOMPARE(valuesOf(trend->barFruits) + valuesOf(trend->barVegetables), QList<qreal>({1, 0.5}));
        QCOMPARE(trend->dayTip(0), "Tue, Aug 13, 2002\nCalories: 1,085\nBudget: 1,500\nFruits: 1.0\nVegetables: 0.5\n"
                                   "7-day average: 1,085");

        // Trend... again on the same view shows the same chart.
        frame->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(view->parentWidget()));
        frame->mnuMealTrend->trigger();
        QCOMPARE(currentTrend(*frame), trend.data());
        QCOMPARE(frame->mdiArea()->subWindowList().size(), 2);

        // A new span: the week from Tuesday, with Wednesday and Thursday's meals and four gaps.
        view->optOneWeek->click();
        QCOMPARE(trend->windowTitle(), "Trend for Ann [Tue, Aug 13 to Mon, Aug 19, 2002]");
        QCOMPARE(valuesOf(trend->barUnder), QList<qreal>({1085, 60, 100, 0, 0, 0, 0}));
        QCOMPARE(valuesOf(trend->barVegetables), QList<qreal>({0.5, 2, 0, 0, 0, 0, 0}));
        QCOMPARE(trend->linAverage->at(2), QPointF(2, 415));
        // Pointing at Wednesday, above its bar in the servings chart, shows Wednesday's figures.
        QChartView *servings = trend->chvServings;
        const QPoint wednesday = servings->mapFromScene(servings->chart()->mapToPosition(QPointF(1, 4), trend->linServingsBudget));
        QMouseEvent move(QEvent::MouseMove, wednesday, servings->viewport()->mapToGlobal(wednesday), Qt::NoButton, {}, {});
        QApplication::sendEvent(servings->viewport(), &move);
        QVERIFY2(QToolTip::text().startsWith("Wed, Aug 14, 2002\nCalories: 60\n"), qPrintable(QToolTip::text()));

        // A meal added on Friday: 10 shakes, 1700 calories, over the budget; then deleted.
        change({"INSERT INTO Meals (ID, Who, \"When\", Food, Amount, Units) VALUES (80, 'Ann', '2002-08-16 12:00:00', 'Shake', 10, 'packet')"});
        view->ReQueryMeals(0);
        QCOMPARE(valuesOf(trend->barOver), QList<qreal>({0, 0, 0, 1700, 0, 0, 0}));
        QCOMPARE(trend->linAverage->at(3), QPointF(3, 736.25));
        view->dbgMeals->selectRow(7);
        view->DeleteMeal();
        QCOMPARE(valuesOf(trend->barOver), QList<qreal>({0, 0, 0, 0, 0, 0, 0}));

        // A day without meals: an empty chart that says so.
        view->optOneDay->click();
        view->mvwDates->setSelectedDate(QDate(2002, 8, 16));
        QCOMPARE(valuesOf(trend->barUnder), QList<qreal>({0}));
        QCOMPARE(trend->lblMessage->text() + '|' + trend->dayTip(0), "No meals recorded for Ann in this span.|"
                                                                    "Fri, Aug 16, 2002\nNo meals recorded");
        QVERIFY(!trend->lblMessage->isHidden());

        // A failed read shows why, and no figures of before.
        change({QStringLiteral("DROP TABLE Foods")});
        view->ReQueryMeals(0);
        messages();
        QCOMPARE(trend->lblMessage->text(), "The meals of Ann could not be read from the database.\n\n"
                                            "The database reported an error: " + TestDatabase::missingTable("Foods"));
        QCOMPARE(QList<int>({trend->barUnder->count(), trend->barFruits->count(), int(trend->linAverage->count())}),
                 QList<int>({0, 0, 0}));

        // It closes with its view.
        view->parentWidget()->close();
        QTRY_VERIFY(!trend);
    }

    // Bob's chart: a palette change recolours it; Save as PNG writes the picture, Save as PDF a PDF.
    void paletteAndSaving()
    {
        auto frame = startFrame(m_path);
        openMealView(*frame, 1);
        frame->mnuMealTrend->trigger();
        frmMealTrend *trend = currentTrend(*frame);
        QVERIFY(trend);
        QCOMPARE(valuesOf(trend->barUnder), QList<qreal>({285}));
        QPalette dark = trend->palette();
        dark.setColor(QPalette::WindowText, Qt::white);
        dark.setColor(QPalette::Base, Qt::black);
        trend->setPalette(dark);
        QCOMPARE(trend->chvServings->chart()->backgroundBrush().color(), QColor(Qt::black));
        for (QAbstractAxis *axis : trend->chvServings->chart()->axes())
            QCOMPARE(axis->labelsColor(), QColor(Qt::white));

        const QString png = m_dir->filePath(QStringLiteral("trend.png"));
        FileDialog::setNextAnswer(png);
        trend->mnuTrendSavePng->trigger();
        QCOMPARE(FileDialog::requests().constLast().selectedFile, "Trend for Bob [Tue, Aug 13, 2002].png");
        QCOMPARE(QImage(png).size(), trend->chvCalories->parentWidget()->size());

        const QString pdf = m_dir->filePath(QStringLiteral("trend.pdf"));
        FileDialog::setNextAnswer(pdf);
        trend->mnuTrendSavePdf->trigger();
        QFile written(pdf);
        QVERIFY(written.open(QIODevice::ReadOnly) && written.readAll().startsWith("%PDF"));
    }
};

QTEST_MAIN(TestTrend)
#include "tst_trend.moc"
