#include "TrendSeries.h"

#include "Format.h"

namespace TrendSeries {

std::vector<TrendDay> daily(const ReportRow &report, const DateSpan &span)
{
    std::vector<TrendDay> days;
    const QDate first = span.firstDay();
    const QDate last = span.lastDay();
    if (!first.isValid() || !last.isValid() || last < first)
        return days;
    days.resize(static_cast<size_t>(first.daysTo(last) + 1));
    for (size_t i = 0; i < days.size(); ++i)
        days[i].date = first.addDays(static_cast<qint64>(i));

    for (const ReportRow &row : report.children) {
        const QDate date = QDate::fromString(row.value(QStringLiteral("DateOnly")).toString(), QStringLiteral("yyyy/MM/dd"));
        if (!date.isValid() || date < first || date > last)
            continue;
        TrendDay &day = days[static_cast<size_t>(first.daysTo(date))];
        day.hasMeals = true;
        day.calories = row.value(QStringLiteral("TotalCalories")).toDouble();
        day.fruits = row.value(QStringLiteral("TotalFruits")).toDouble();
        day.vegetables = row.value(QStringLiteral("TotalVegetables")).toDouble();
    }

    // A sliding window over the last seven days: what enters on the right leaves seven days on.
    double sum = 0;
    int counted = 0;
    for (size_t i = 0; i < days.size(); ++i) {
        if (days[i].hasMeals) {
            sum += days[i].calories;
            ++counted;
        }
        if (i >= averageDays && days[i - averageDays].hasMeals) {
            sum -= days[i - averageDays].calories;
            --counted;
        }
        if (counted > 0)
            days[i].movingAverage = sum / counted;
    }
    return days;
}

QString describe(const TrendDay &day, double budget)
{
    QString text = Format::date(day.date, u"ddd, mmm d, yyyy");
    if (!day.hasMeals)
        return text + QStringLiteral("\nNo meals recorded");
    text += QStringLiteral("\nCalories: ") + Format::number(day.calories, u"#,##0");
    text += QStringLiteral("\nBudget: ") + Format::number(budget, u"#,##0");
    text += QStringLiteral("\nFruits: ") + Format::number(day.fruits, u"0.0");
    text += QStringLiteral("\nVegetables: ") + Format::number(day.vegetables, u"0.0");
    if (day.movingAverage)
        text += QStringLiteral("\n7-day average: ") + Format::number(*day.movingAverage, u"#,##0");
    return text;
}

QString caption(const QString &client, const QString &spanText)
{
    return QStringLiteral("Trend for %1 [%2]").arg(client, spanText);
}

} // namespace TrendSeries
