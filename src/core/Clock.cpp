#include "Clock.h"

#include "DateSpan.h"

namespace {
QDateTime &fixedMoment()
{
    static QDateTime moment;
    return moment;
}
} // namespace

namespace Clock {

QDateTime now()
{
    const QDateTime &fixed = fixedMoment();
    if (fixed.isValid())
        return fixed;
    const QDateTime local = QDateTime::currentDateTime();
    const QTime t = local.time(); // to the second, as meals are recorded
    return wallClock(local.date(), QTime(t.hour(), t.minute(), t.second()));
}

QDate today()
{
    return now().date();
}

void setFixed(const QDateTime &moment)
{
    fixedMoment() = moment;
}

void reset()
{
    fixedMoment() = QDateTime();
}

} // namespace Clock
