#pragma once

#include <QDateTime>

// Date-times in Mealwright are wall-clock times with no time zone: a meal eaten at 02:30 on
// the night the clocks change is stored and shown as 02:30. They are held as QDateTime in UTC
// so that no daylight-saving rule moves them; wallClock() builds one.
QDateTime wallClock(QDate date, QTime time = QTime(0, 0));

// A half-open span of time [begin, end). Spans picked on a calendar run from midnight to
// midnight: one day is [date, date + 1), one week [date, date + 7), selected days
// [first, last + 1).
struct DateSpan
{
    QDateTime begin;
    QDateTime end;

    static DateSpan oneDay(QDate date);
    static DateSpan oneWeek(QDate date);
    static DateSpan selectedDays(QDate first, QDate last);

    QDate firstDay() const { return begin.date(); }
    // The last calendar day the span touches: the day before its exclusive end.
    QDate lastDay() const { return end.addDays(-1).date(); }

    friend bool operator==(const DateSpan &, const DateSpan &) = default;
};

// Calendar days from the date of first to the date of last, both counted: date boundaries,
// not elapsed hours (23:30 and 00:10 the next day are 2 days). At least 1 when last >= first.
int calendarDaysInclusive(QDate first, QDate last);
