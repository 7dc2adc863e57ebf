#include "common/Clock.h"
#include "mealview/RangeCalendar.h"

#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QSet>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace {

// A calendar that remembers where it last painted each date, so that tests find a date's cell
// from what the calendar itself drew rather than from their own idea of the layout.
class PaintedCalendar : public RangeCalendar
{
public:
    QTableView *view() const { return findChild<QTableView *>(); }
    QWidget *viewport() const { return view()->viewport(); }

    // Paints the grid afresh and returns it.
    QImage paintGrid()
    {
        m_painted.clear();
        return viewport()->grab().toImage();
    }

    // Every date on the page, with its cell: the visual rectangle of the index under the spot
    // where the date was painted.
    QHash<QDate, QRect> cells()
    {
        paintGrid();
        QHash<QDate, QRect> cells;
        for (auto it = m_painted.cbegin(); it != m_painted.cend(); ++it)
            cells.insert(it.key(), view()->visualRect(view()->indexAt(it.value().center())));
        return cells;
    }

    QPoint centreOf(QDate date)
    {
        const QHash<QDate, QRect> all = cells();
        return all.contains(date) ? all.value(date).center() : QPoint(-1, -1);
    }

protected:
    void paintCell(QPainter *painter, const QRect &rect, QDate date) const override
    {
        m_painted.insert(date, rect);
        RangeCalendar::paintCell(painter, rect, date);
    }

private:
    mutable QHash<QDate, QRect> m_painted;
};

QDate day(const char *iso)
{
    return QDate::fromString(QLatin1String(iso), Qt::ISODate);
}

QList<QDate> days(std::initializer_list<const char *> isos)
{
    QList<QDate> list;
    for (const char *iso : isos)
        list.append(day(iso));
    return list;
}

// The emitted ranges, flattened to start, end, start, end, ...
QList<QDate> emitted(const QSignalSpy &spy)
{
    QList<QDate> flat;
    for (const QList<QVariant> &arguments : spy)
        flat << arguments.at(0).toDate() << arguments.at(1).toDate();
    return flat;
}

} // namespace

class tst_RangeCalendar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void startsOnToday();
    void setRangeClamps_data();
    void setRangeClamps();
    void rangeModeStartsWithOneDay();
    void leavingRangeMode_data();
    void leavingRangeMode();
    void singleModeSignalsTheSelectedDate();
    void rangeChangedOncePerChange_data();
    void rangeChangedOncePerChange();

    void clickEveryCell_data();
    void clickEveryCell();
    void clicks_data();
    void clicks();
    void doubleClickActivates();
    void dragWidensLive_data();
    void dragWidensLive();
    void shiftClickOnAnotherPageClamps_data();
    void shiftClickOnAnotherPageClamps();
    void keyboard_data();
    void keyboard();
    void navigationKeepsTheRange_data();
    void navigationKeepsTheRange();
    void rangePaintedAsOneBand_data();
    void rangePaintedAsOneBand();

private:
    std::unique_ptr<PaintedCalendar> m_cal;
};

void tst_RangeCalendar::initTestCase()
{
    Clock::setFixed(QDateTime(day("2002-12-25"), QTime(12, 0)));
}

void tst_RangeCalendar::init()
{
    m_cal = std::make_unique<PaintedCalendar>();
    m_cal->resize(420, 300);
    m_cal->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_cal.get()));
}

void tst_RangeCalendar::cleanupTestCase()
{
    m_cal.reset();
    Clock::reset();
}

void tst_RangeCalendar::startsOnToday()
{
    QCOMPARE(m_cal->selectedDate(), day("2002-12-25"));
    QCOMPARE(m_cal->rangeStart(), day("2002-12-25"));
    QCOMPARE(m_cal->rangeEnd(), day("2002-12-25"));
    QCOMPARE(m_cal->rangeMode(), false);
}

void tst_RangeCalendar::setRangeClamps_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");

    const auto row = [](const char *name, const char *start, const char *end, const char *first,
                        const char *last) {
        QTest::newRow(name) << day(start) << day(end) << day(first) << day(last);
    };
    row("one day", "2021-03-01", "2021-03-01", "2021-03-01", "2021-03-01");
    row("364 days", "2021-03-01", "2022-02-27", "2021-03-01", "2022-02-27");
    row("365 days", "2021-03-01", "2022-02-28", "2021-03-01", "2022-02-28");
    row("366 days", "2021-03-01", "2022-03-01", "2021-03-01", "2022-02-28");
    row("ten years", "2000-01-01", "2010-01-01", "2000-01-01", "2000-12-30");
    row("reversed", "2021-05-10", "2021-05-01", "2021-05-01", "2021-05-10");
    row("reversed, too long: the anchor stays", "2022-06-30", "2020-01-01", "2021-07-01", "2022-06-30");
    row("across a year end", "2002-12-20", "2003-01-10", "2002-12-20", "2003-01-10");
    row("leap year, whole", "2024-01-01", "2024-12-31", "2024-01-01", "2024-12-30");
    row("leap day at the end", "2023-03-01", "2024-02-29", "2023-03-01", "2024-02-28");
    row("leap day inside", "2023-03-02", "2024-02-29", "2023-03-02", "2024-02-29");
}

void tst_RangeCalendar::setRangeClamps()
{
    QFETCH(QDate, start);
    QFETCH(QDate, end);
    QFETCH(QDate, first);
    QFETCH(QDate, last);

    m_cal->setRangeMode(true);
    m_cal->setRange(start, end);
    QCOMPARE(m_cal->rangeStart(), first);
    QCOMPARE(m_cal->rangeEnd(), last);
    // The anchor is the date selected, and its month is shown.
    QCOMPARE(m_cal->selectedDate(), start);
    QCOMPARE(m_cal->monthShown(), start.month());
    QCOMPARE(m_cal->yearShown(), start.year());
}

void tst_RangeCalendar::rangeModeStartsWithOneDay()
{
    m_cal->setSelectedDate(day("2003-02-14"));
    QSignalSpy spy(m_cal.get(), &RangeCalendar::rangeChanged);
    m_cal->setRangeMode(true);
    QCOMPARE(m_cal->rangeMode(), true);
    QCOMPARE(m_cal->rangeStart(), day("2003-02-14"));
    QCOMPARE(m_cal->rangeEnd(), day("2003-02-14"));
    QCOMPARE(spy.count(), 0);
}

void tst_RangeCalendar::leavingRangeMode_data()
{
    QTest::addColumn<QDate>("anchor");
    QTest::addColumn<QDate>("other");

    QTest::newRow("one day") << day("2003-02-14") << day("2003-02-14");
    QTest::newRow("forward") << day("2003-02-14") << day("2003-03-02");
    QTest::newRow("backward") << day("2003-02-14") << day("2003-01-30");
}

void tst_RangeCalendar::leavingRangeMode()
{
    QFETCH(QDate, anchor);
    QFETCH(QDate, other);

    m_cal->setRangeMode(true);
    m_cal->setRange(anchor, other);
    QSignalSpy spy(m_cal.get(), &RangeCalendar::rangeChanged);
    m_cal->setRangeMode(false);
    QCOMPARE(m_cal->selectedDate(), anchor);
    QCOMPARE(m_cal->rangeStart(), anchor);
    QCOMPARE(m_cal->rangeEnd(), anchor);
    QCOMPARE(emitted(spy), anchor == other ? QList<QDate>() : (QList<QDate>() << anchor << anchor));
}

void tst_RangeCalendar::singleModeSignalsTheSelectedDate()
{
    QSignalSpy spy(m_cal.get(), &RangeCalendar::rangeChanged);
    m_cal->setSelectedDate(day("2003-01-05"));
    m_cal->setSelectedDate(day("2003-01-05"));
    m_cal->setRange(day("2003-01-07"), day("2003-01-09")); // selects the first date only
    QCOMPARE(emitted(spy), days({"2003-01-05", "2003-01-05", "2003-01-07", "2003-01-07"}));
    QCOMPARE(m_cal->selectedDate(), day("2003-01-07"));
}

void tst_RangeCalendar::rangeChangedOncePerChange_data()
{
    QTest::addColumn<QList<QDate>>("calls"); // setRange(start, end) pairs
    QTest::addColumn<QList<QDate>>("expected"); // emitted start, end pairs

    QTest::newRow("same range twice")
        << days({"2003-01-05", "2003-01-09", "2003-01-05", "2003-01-09"})
        << days({"2003-01-05", "2003-01-09"});
    QTest::newRow("same range, ends swapped")
        << days({"2003-01-05", "2003-01-09", "2003-01-09", "2003-01-05"})
        << days({"2003-01-05", "2003-01-09"});
    QTest::newRow("clamped to the same range")
        << days({"2003-01-05", "2004-06-01", "2003-01-05", "2005-01-01"})
        << days({"2003-01-05", "2004-01-04"});
    QTest::newRow("end moves")
        << days({"2003-01-05", "2003-01-09", "2003-01-05", "2003-01-10"})
        << days({"2003-01-05", "2003-01-09", "2003-01-05", "2003-01-10"});
    QTest::newRow("start moves")
        << days({"2003-01-05", "2003-01-09", "2003-01-04", "2003-01-09"})
        << days({"2003-01-05", "2003-01-09", "2003-01-04", "2003-01-09"});
    QTest::newRow("the current one-day range") << days({"2002-12-25", "2002-12-25"}) << QList<QDate>();
}

void tst_RangeCalendar::rangeChangedOncePerChange()
{
    QFETCH(QList<QDate>, calls);
    QFETCH(QList<QDate>, expected);

    m_cal->setRangeMode(true);
    QSignalSpy spy(m_cal.get(), &RangeCalendar::rangeChanged);
    for (qsizetype i = 0; i + 1 < calls.size(); i += 2)
        m_cal->setRange(calls[i], calls[i + 1]);
    QCOMPARE(emitted(spy), expected);
}

void tst_RangeCalendar::clickEveryCell_data()
{
    QTest::addColumn<QDate>("page");
    QTest::addColumn<Qt::DayOfWeek>("firstDay");
    QTest::addColumn<bool>("headings");
    QTest::addColumn<Qt::LayoutDirection>("direction");

    QTest::newRow("month starts on the first weekday")
        << day("2024-01-01") << Qt::Monday << true << Qt::LeftToRight;
    QTest::newRow("28 days, Sunday first") << day("2015-02-01") << Qt::Sunday << true << Qt::LeftToRight;
    QTest::newRow("year end") << day("2002-12-01") << Qt::Monday << true << Qt::LeftToRight;
    QTest::newRow("no headings") << day("2021-08-01") << Qt::Monday << false << Qt::LeftToRight;
    QTest::newRow("right to left") << day("2021-08-01") << Qt::Monday << true << Qt::RightToLeft;
}

// Every cell of the grid, the grey days of the months before and after included, selects the
// date painted in it.
void tst_RangeCalendar::clickEveryCell()
{
    QFETCH(QDate, page);
    QFETCH(Qt::DayOfWeek, firstDay);
    QFETCH(bool, headings);
    QFETCH(Qt::LayoutDirection, direction);

    m_cal->setLayoutDirection(direction);
    m_cal->setFirstDayOfWeek(firstDay);
    if (!headings) {
        m_cal->setHorizontalHeaderFormat(QCalendarWidget::NoHorizontalHeader);
        m_cal->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    }
    m_cal->setRangeMode(true);
    m_cal->setCurrentPage(page.year(), page.month());

    const QHash<QDate, QRect> cells = m_cal->cells();
    QCOMPARE(cells.size(), 42);
    for (auto it = cells.cbegin(); it != cells.cend(); ++it) {
        QTest::mouseClick(m_cal->viewport(), Qt::LeftButton, {}, it.value().center());
        QCOMPARE(m_cal->rangeStart(), it.key());
        QCOMPARE(m_cal->rangeEnd(), it.key());
        QCOMPARE(m_cal->monthShown(), page.month());
    }
}

void tst_RangeCalendar::clicks_data()
{
    // Clicks on the page of January 2003: "d" a plain click, "+d" a Shift+click, on 2003-01-d,
    // or on 2002-12-d and 2003-02-d for "dec d" and "feb d" (grey days of the page).
    QTest::addColumn<QString>("plan");
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<int>("changes");

    QTest::newRow("click") << "10" << day("2003-01-10") << day("2003-01-10") << 1;
    QTest::newRow("same date again") << "10 10" << day("2003-01-10") << day("2003-01-10") << 1;
    QTest::newRow("shift+click forward") << "10 +20" << day("2003-01-10") << day("2003-01-20") << 2;
    QTest::newRow("shift+click backward") << "20 +5" << day("2003-01-05") << day("2003-01-20") << 2;
    QTest::newRow("shift+click keeps the anchor") << "10 +20 +3" << day("2003-01-03") << day("2003-01-10") << 3;
    QTest::newRow("click after a range") << "10 +20 15" << day("2003-01-15") << day("2003-01-15") << 3;
    QTest::newRow("same shift+click again") << "10 +20 +20" << day("2003-01-10") << day("2003-01-20") << 2;
    QTest::newRow("into the next month") << "28 +feb 3" << day("2003-01-28") << day("2003-02-03") << 2;
    QTest::newRow("from the month before") << "dec 31 +2" << day("2002-12-31") << day("2003-01-02") << 2;
}

void tst_RangeCalendar::clicks()
{
    QFETCH(QString, plan);
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    QFETCH(int, changes);

    m_cal->setRangeMode(true);
    m_cal->setCurrentPage(2003, 1);
    QSignalSpy spy(m_cal.get(), &RangeCalendar::rangeChanged);
    QSignalSpy baseClicks(m_cal.get(), &QCalendarWidget::clicked);

    QStringList words = plan.split(u' ');
    while (!words.isEmpty()) {
        QString word = words.takeFirst();
        const bool shift = word.startsWith(u'+');
        if (shift)
            word.remove(0, 1);
        int month = 1;
        if (word == u"dec" || word == u"feb") {
            month = word == u"dec" ? 0 : 2;
            word = words.takeFirst();
        }
        const QDate date = QDate(2003, 1, 1).addMonths(month - 1).addDays(word.toInt() - 1);
        const QPoint spot = m_cal->centreOf(date);
        QVERIFY2(spot != QPoint(-1, -1), qPrintable(date.toString(Qt::ISODate)));
        QTest::mouseClick(m_cal->viewport(), Qt::LeftButton, shift ? Qt::ShiftModifier : Qt::NoModifier, spot);
        // Every signal carries the range as it stands right after it.
        if (!spy.isEmpty()) {
            QCOMPARE(spy.last().at(0).toDate(), m_cal->rangeStart());
            QCOMPARE(spy.last().at(1).toDate(), m_cal->rangeEnd());
        }
    }
    QCOMPARE(m_cal->rangeStart(), first);
    QCOMPARE(m_cal->rangeEnd(), last);
    QCOMPARE(spy.count(), changes);
    QCOMPARE(m_cal->monthShown(), 1);
    QCOMPARE(baseClicks.count(), 0);
}

void tst_RangeCalendar::doubleClickActivates()
{
    m_cal->setRangeMode(true);
    m_cal->setCurrentPage(2003, 1);
    QSignalSpy activated(m_cal.get(), &QCalendarWidget::activated);
    QTest::mouseDClick(m_cal->viewport(), Qt::LeftButton, {}, m_cal->centreOf(day("2003-01-10")));
    QCOMPARE(m_cal->rangeStart(), day("2003-01-10"));
    QCOMPARE(m_cal->rangeEnd(), day("2003-01-10"));
    QCOMPARE(activated.count(), 1);
    QCOMPARE(activated.first().first().toDate(), day("2003-01-10"));
}

void tst_RangeCalendar::dragWidensLive_data()
{
    QTest::addColumn<QDate>("press");
    QTest::addColumn<QList<QDate>>("moves");
    QTest::addColumn<QList<QDate>>("ranges"); // start, end after each move

    QTest::newRow("forward") << day("2003-01-10") << days({"2003-01-12", "2003-01-16"})
                             << days({"2003-01-10", "2003-01-12", "2003-01-10", "2003-01-16"});
    QTest::newRow("forward, then back past the pressed date")
        << day("2003-01-10") << days({"2003-01-16", "2003-01-07"})
        << days({"2003-01-10", "2003-01-16", "2003-01-07", "2003-01-10"});
    QTest::newRow("onto the grey days") << day("2003-01-29") << days({"2003-02-04", "2002-12-30"})
                                        << days({"2003-01-29", "2003-02-04", "2002-12-30", "2003-01-29"});
}

void tst_RangeCalendar::dragWidensLive()
{
    QFETCH(QDate, press);
    QFETCH(QList<QDate>, moves);
    QFETCH(QList<QDate>, ranges);

    m_cal->setRangeMode(true);
    m_cal->setCurrentPage(2003, 1);
    const QHash<QDate, QRect> cells = m_cal->cells();
    QWidget *viewport = m_cal->viewport();

    QTest::mousePress(viewport, Qt::LeftButton, {}, cells.value(press).center());
    QCOMPARE(m_cal->rangeStart(), press);
    QCOMPARE(m_cal->rangeEnd(), press);
    for (qsizetype i = 0; i < moves.size(); ++i) {
        QTest::mouseMove(viewport, cells.value(moves[i]).center());
        QCOMPARE(m_cal->rangeStart(), ranges[2 * i]);
        QCOMPARE(m_cal->rangeEnd(), ranges[2 * i + 1]);
    }
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, cells.value(moves.last()).center());
    QCOMPARE(m_cal->rangeStart(), ranges[ranges.size() - 2]);
    QCOMPARE(m_cal->rangeEnd(), ranges.last());
    QCOMPARE(m_cal->monthShown(), 1);

    // Moving with the button up afterwards changes nothing.
    QTest::mouseMove(viewport, cells.value(press.addDays(3)).center());
    QCOMPARE(m_cal->rangeEnd(), ranges.last());
}

void tst_RangeCalendar::shiftClickOnAnotherPageClamps_data()
{
    QTest::addColumn<QDate>("anchor");
    QTest::addColumn<QDate>("target");
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");

    QTest::newRow("within reach")
        << day("2023-03-15") << day("2023-08-10") << day("2023-03-15") << day("2023-08-10");
    QTest::newRow("forward, too far")
        << day("2023-03-15") << day("2024-04-10") << day("2023-03-15") << day("2024-03-13");
    QTest::newRow("backward, too far")
        << day("2024-04-10") << day("2023-03-01") << day("2023-04-12") << day("2024-04-10");
}

void tst_RangeCalendar::shiftClickOnAnotherPageClamps()
{
    QFETCH(QDate, anchor);
    QFETCH(QDate, target);
    QFETCH(QDate, first);
    QFETCH(QDate, last);

    m_cal->setRangeMode(true);
    m_cal->setCurrentPage(anchor.year(), anchor.month());
    QTest::mouseClick(m_cal->viewport(), Qt::LeftButton, {}, m_cal->centreOf(anchor));
    m_cal->setCurrentPage(target.year(), target.month());
    QSignalSpy spy(m_cal.get(), &RangeCalendar::rangeChanged);
    QTest::mouseClick(m_cal->viewport(), Qt::LeftButton, Qt::ShiftModifier, m_cal->centreOf(target));
    QCOMPARE(m_cal->rangeStart(), first);
    QCOMPARE(m_cal->rangeEnd(), last);
    QCOMPARE(emitted(spy), (QList<QDate>() << first << last));
    QCOMPARE(m_cal->selectedDate(), anchor);
    QCOMPARE(m_cal->monthShown(), target.month());
}

void tst_RangeCalendar::keyboard_data()
{
    // From a click on 2003-01-10, keys pressed on the grid; "+" holds Shift.
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<int>("month");
    QTest::addColumn<Qt::LayoutDirection>("direction");

    const auto row = [](const char *name, const char *keys, const char *first, const char *last,
                        int month, Qt::LayoutDirection direction = Qt::LeftToRight) {
        QTest::newRow(name) << QString::fromLatin1(keys) << day(first) << day(last) << month << direction;
    };
    row("shift+right", "+right +right", "2003-01-10", "2003-01-12", 1);
    row("shift+left", "+left", "2003-01-09", "2003-01-10", 1);
    row("shift+down, into the next month", "+down +down +down", "2003-01-10", "2003-01-31", 1);
    row("shift+down shows the cursor's month", "+down +down +down +down", "2003-01-10", "2003-02-07", 2);
    row("plain arrow collapses", "+right +right right", "2003-01-13", "2003-01-13", 1);
    row("plain arrow onto the anchor", "+right left", "2003-01-10", "2003-01-10", 1);
    row("shift+end", "+end", "2003-01-10", "2003-01-31", 1);
    row("right to left: shift+left goes forward", "+left +left", "2003-01-10", "2003-01-12", 1,
        Qt::RightToLeft);
    row("page down, then shift+right", "pagedown +right", "2003-01-10", "2003-02-11", 2);
}

void tst_RangeCalendar::keyboard()
{
    QFETCH(QString, keys);
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    QFETCH(int, month);
    QFETCH(Qt::LayoutDirection, direction);

    static const QHash<QString, Qt::Key> names{{"right", Qt::Key_Right}, {"left", Qt::Key_Left},
                                               {"down", Qt::Key_Down}, {"end", Qt::Key_End},
                                               {"pagedown", Qt::Key_PageDown}};
    m_cal->setLayoutDirection(direction);
    m_cal->setRangeMode(true);
    m_cal->setCurrentPage(2003, 1);
    QTest::mouseClick(m_cal->viewport(), Qt::LeftButton, {}, m_cal->centreOf(day("2003-01-10")));
    for (QString key : keys.split(u' ')) {
        const bool shift = key.startsWith(u'+');
        if (shift)
            key.remove(0, 1);
        QVERIFY(names.contains(key));
        QTest::keyClick(m_cal->view(), names.value(key), shift ? Qt::ShiftModifier : Qt::NoModifier);
    }
    QCOMPARE(m_cal->rangeStart(), first);
    QCOMPARE(m_cal->rangeEnd(), last);
    QCOMPARE(m_cal->monthShown(), month);
}

void tst_RangeCalendar::navigationKeepsTheRange_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("month");

    QTest::newRow("next month button") << "qt_calendar_nextmonth" << 2;
    QTest::newRow("previous month button") << "qt_calendar_prevmonth" << 12;
    QTest::newRow("page down") << "pagedown" << 2;
    QTest::newRow("page up") << "pageup" << 12;
    QTest::newRow("setCurrentPage") << "setCurrentPage" << 6;
}

void tst_RangeCalendar::navigationKeepsTheRange()
{
    QFETCH(QString, how);
    QFETCH(int, month);

    m_cal->setRangeMode(true);
    m_cal->setRange(day("2003-01-20"), day("2003-01-25"));
    QSignalSpy spy(m_cal.get(), &RangeCalendar::rangeChanged);
    if (how == u"pagedown" || how == u"pageup")
        QTest::keyClick(m_cal->view(), how == u"pageup" ? Qt::Key_PageUp : Qt::Key_PageDown);
    else if (how == u"setCurrentPage")
        m_cal->setCurrentPage(2003, 6);
    else
        QTest::mouseClick(m_cal->findChild<QToolButton *>(how), Qt::LeftButton);
    QCOMPARE(m_cal->monthShown(), month);
    QCOMPARE(m_cal->rangeStart(), day("2003-01-20"));
    QCOMPARE(m_cal->rangeEnd(), day("2003-01-25"));
    QCOMPARE(spy.count(), 0);
}

void tst_RangeCalendar::rangePaintedAsOneBand_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QDate>("end");

    QTest::newRow("one day") << day("2003-01-15") << day("2003-01-15");
    QTest::newRow("across weeks") << day("2003-01-09") << day("2003-01-22");
    QTest::newRow("across the month end, onto grey days") << day("2003-01-25") << day("2003-02-05");
    QTest::newRow("more than the page") << day("2002-12-01") << day("2003-03-01");
}

void tst_RangeCalendar::rangePaintedAsOneBand()
{
    QFETCH(QDate, start);
    QFETCH(QDate, end);

    m_cal->setRangeMode(true);
    m_cal->setRange(start, end);
    m_cal->setCurrentPage(2003, 1);
    const QHash<QDate, QRect> cells = m_cal->cells();
    const QImage image = m_cal->paintGrid();
    const QColor highlight = m_cal->palette().color(QPalette::Highlight);

    // One colour per kind of cell, taken at the corners, far from the digits: the band runs edge
    // to edge, with no gap between days. (The keyboard cursor may frame a day outside it.)
    QHash<QString, QSet<QRgb>> colours;
    for (auto it = cells.cbegin(); it != cells.cend(); ++it) {
        const QDate date = it.key();
        const bool inRange = start <= date && date <= end;
        const bool inMonth = date.month() == 1;
        const QString kind = QString::fromLatin1(inRange ? (inMonth ? "band" : "grey band") : "outside");
        colours[kind] << image.pixel(it.value().topLeft()) << image.pixel(it.value().bottomRight());
    }
    QCOMPARE(colours.value("band"), QSet<QRgb>{highlight.rgb()});
    QVERIFY(colours.value("grey band").size() <= 1);
    for (const QRgb grey : colours.value("grey band")) { // lighter than the band
        QVERIFY(grey != highlight.rgb());
        QVERIFY(grey != m_cal->palette().color(QPalette::Base).rgb());
    }
    for (const QRgb outside : colours.value("outside")) {
        QVERIFY(outside != highlight.rgb());
        QVERIFY(!colours.value("grey band").contains(outside));
    }
}

QTEST_MAIN(tst_RangeCalendar)
#include "tst_rangecalendar.moc"
