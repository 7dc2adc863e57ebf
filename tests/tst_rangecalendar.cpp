#include "Clock.h"
#include "Controls.h"
#include "RangeCalendar.h"

#include <QDateTimeEdit>
#include <QHash>
#include <QPixmap>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

namespace {

// A calendar that remembers where it last painted each date, so that tests find a date's cell
// from what the calendar itself drew rather than from their own idea of the layout.
struct PaintedCalendar : RangeCalendar
{
    QTableView *view() const { return findChild<QTableView *>(); }

    // Paints the grid; every date on the page, with the cell where it was painted.
    QHash<QDate, QRect> cells()
    {
        painted.clear();
        view()->viewport()->grab();
        for (QRect &cell : painted)
            cell = view()->visualRect(view()->indexAt(cell.center()));
        return painted;
    }

    void paintCell(QPainter *painter, const QRect &rect, QDate date) const override
    {
        painted.insert(date, rect);
        RangeCalendar::paintCell(painter, rect, date);
    }

    mutable QHash<QDate, QRect> painted;
};

QDate day(const QString &iso) { return QDate::fromString(iso, Qt::ISODate); }

} // namespace

class tst_RangeCalendar : public QObject
{
    Q_OBJECT
    std::unique_ptr<PaintedCalendar> m_cal;

private Q_SLOTS:
    void initTestCase() { Clock::setFixed(QDateTime(day("2002-12-25"), QTime(12, 0))); }
    void cleanupTestCase() { m_cal.reset(); Clock::reset(); }
    void init()
    {
        m_cal = std::make_unique<PaintedCalendar>();
        m_cal->resize(420, 300);
        m_cal->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_cal.get()));
        m_cal->setRangeMode(true);
        m_cal->setCurrentPage(2003, 1);
    }

    void steps_data()
    {
        // Each row's tag is a plan of steps taken in range mode from the page of January 2003 (today
        // is 2002-12-25):
        //   d, -d, +d   a click on day d of the page shown, of the month before it, of the month after;
        //               S before it holds Shift, D double-clicks, P presses, M moves, R releases
        //   <key>       a key on the grid, such as <Shift+Right> or <PgDown>
        //   set:a:b     setRange(a, b)     sel:a  setSelectedDate(a)     page:yyyy-MM  setCurrentPage
        //   single      leaves range mode  rtl    right to left          next  the next-month button
        // and its outcome: the first and last day of the range, the page shown, rangeChanged signals.
        QTest::addColumn<QString>("outcome");
        const auto row = [](const char *plan, const char *outcome) { QTest::newRow(plan) << outcome; };

        // Modes: a one-day range on the selected date both ways; only a real change is signalled
        // (today's range was there from the start).
        row("single sel:2003-01-05 sel:2003-01-05 set:2003-01-07:2003-01-09", "2003-01-07 2003-01-07 2003-01 2");
        row("set:2003-02-14:2003-03-02 single", "2003-02-14 2003-02-14 2003-02 2");
        row("set:2003-01-05:2003-01-09 set:2003-01-05:2003-01-09 set:2003-01-09:2003-01-05",
            "2003-01-05 2003-01-09 2003-01 1");

        // At most 365 days, counted by days (over a 29 February too), from the anchor either way.
        row("set:2023-03-01:2024-02-29 set:2023-03-01:2025-01-01", "2023-03-01 2024-02-28 2023-03 1");
        row("set:2022-06-30:2020-01-01", "2021-07-01 2022-06-30 2022-06 1");
        row("page:2023-03 15 page:2024-04 S10", "2023-03-15 2024-03-13 2024-04 2");
        row("page:2024-04 10 page:2023-03 S1", "2023-04-12 2024-04-10 2023-03 2");

        // Clicks: Shift extends from the anchor, a plain click moves it; a click never turns the page.
        row("20 S5 S25 S25", "2003-01-20 2003-01-25 2003-01 3");
        row("10 S20 15 S17", "2003-01-15 2003-01-17 2003-01 4");
        row("10 S20 D15", "2003-01-15 2003-01-15 2003-01 3");
        row("-31 S+3", "2002-12-31 2003-02-03 2003-01 2");

        // Dragging widens from the pressed date as the mouse moves, until the button is up.
        row("P10 M16 M7 R7 M13", "2003-01-07 2003-01-10 2003-01 3");

        // Keys move the cursor, and show its month; with Shift they extend from the anchor.
        row("10 <Shift+Left> <Shift+Right> <Shift+Right>", "2003-01-10 2003-01-11 2003-01 4");
        row("10 <Shift+End> <Shift+Down>", "2003-01-10 2003-02-07 2003-02 3");
        row("30 <Shift+Left> <Down>", "2003-02-05 2003-02-05 2003-02 3");
        row("rtl 10 <Shift+Left> <Shift+Left>", "2003-01-10 2003-01-12 2003-01 3");
        row("10 <PgDown> <Shift+Right>", "2003-01-10 2003-02-11 2003-02 2");

        // Turning the page keeps the range.
        row("set:2003-01-20:2003-01-25 next <PgUp> <PgUp>", "2003-01-20 2003-01-25 2002-12 1");
    }

    void steps()
    {
        QFETCH(QString, outcome);
        static const QHash<QChar, QTest::MouseAction> actions{{u'P', QTest::MousePress},
            {u'M', QTest::MouseMove}, {u'R', QTest::MouseRelease}, {u'D', QTest::MouseDClick}};
        QSignalSpy spy(m_cal.get(), &RangeCalendar::rangeChanged);
        QSignalSpy baseClicks(m_cal.get(), &QCalendarWidget::clicked);
        QSignalSpy activated(m_cal.get(), &QCalendarWidget::activated);
        qsizetype doubleClicks = 0;
        for (const QString &step : QString::fromUtf8(QTest::currentDataTag()).split(u' ')) {
            const QStringList args = step.split(u':');
            if (args[0] == u"set") {
                m_cal->setRange(day(args[1]), day(args[2]));
            } else if (args[0] == u"sel") {
                m_cal->setSelectedDate(day(args[1]));
            } else if (args[0] == u"page") {
                m_cal->setCurrentPage(args[1].left(4).toInt(), args[1].right(2).toInt());
            } else if (step == u"single") {
                m_cal->setRangeMode(false);
            } else if (step == u"rtl") {
                m_cal->setLayoutDirection(Qt::RightToLeft);
            } else if (step == u"next") {
                QTest::mouseClick(m_cal->findChild<QWidget *>("qt_calendar_nextmonth"), Qt::LeftButton);
            } else if (step.startsWith(u'<')) {
                const QKeyCombination key = QKeySequence(step.mid(1).chopped(1))[0];
                QTest::keyClick(m_cal->view(), key.key(), key.keyboardModifiers());
            } else {
                const QChar how = step[0].isLetter() ? step[0] : QChar();
                const QDate date = QDate(m_cal->yearShown(), m_cal->monthShown(), 1)
                                       .addMonths(step.count(u'+') - step.count(u'-'))
                                       .addDays(qAbs(step.mid(!how.isNull()).toInt()) - 1);
                const QRect cell = m_cal->cells().value(date);
                QVERIFY2(cell.isValid(), qPrintable(step));
                doubleClicks += how == u'D';
                QTest::mouseEvent(actions.value(how, QTest::MouseClick), m_cal->view()->viewport(),
                                  Qt::LeftButton, how == u'S' ? Qt::ShiftModifier : Qt::NoModifier,
                                  cell.center());
            }
            // Every signal carries the range as it stands right after it.
            if (!spy.isEmpty())
                QCOMPARE(spy.last(), (QVariantList{m_cal->rangeStart(), m_cal->rangeEnd()}));
        }
        const QStringList shown{m_cal->rangeStart().toString(Qt::ISODate), m_cal->rangeEnd().toString(Qt::ISODate),
                                QDate(m_cal->yearShown(), m_cal->monthShown(), 1).toString("yyyy-MM"),
                                QString::number(spy.count())};
        QCOMPARE(shown, outcome.split(u' '));
        // The base class's single-date clicks stay silent; a double click still activates.
        QCOMPARE((QList<qsizetype>{baseClicks.count(), activated.count()}), (QList<qsizetype>{0, doubleClicks}));
    }

};

QTEST_MAIN(tst_RangeCalendar)
#include "tst_rangecalendar.moc"
