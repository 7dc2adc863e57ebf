#include "DateSpan.h"

#include <QTimeZone>

QDateTime wallClock(QDate date, QTime time)
{
    return QDateTime(date, time, Qt::UTC);
}

DateSpan DateSpan::oneDay(QDate date)
{
    return {wallClock(date), wallClock(date.addDays(1))};
}

DateSpan DateSpan::oneWeek(QDate date)
{
    return {wallClock(date), wallClock(date.addDays(7))};
}

DateSpan DateSpan::selectedDays(QDate first, QDate last)
{
    return {wallClock(first), wallClock(last.addDays(1))};
}

int calendarDaysInclusive(QDate first, QDate last)
{
    return static_cast<int>(first.daysTo(last)) + 1;
}
