#include "MealViewRules.h"

#include "Format.h"

#include <map>

DateSpan spanFor(IntervalMode mode, QDate current, QDate rangeFirst, QDate rangeLast)
{
    switch (mode) {
    case IntervalMode::OneDay:
        return DateSpan::oneDay(current);
    case IntervalMode::OneWeek:
        return DateSpan::oneWeek(current);
    case IntervalMode::SelectedDays:
        break;
    }
    return DateSpan::selectedDays(rangeFirst, rangeLast);
}

QString spanText(IntervalMode mode, const DateSpan &span)
{
    if (mode == IntervalMode::OneDay)
        return Format::date(span.firstDay(), u"ddd, mmm d, yyyy");
    return Format::date(span.firstDay(), u"ddd, mmm d") + QStringLiteral(" to ")
        + Format::date(span.lastDay(), u"ddd, mmm d, yyyy");
}

QString mealViewCaption(const QString &client, const QString &spanText)
{
    return QStringLiteral("Meals for %1 [%2]").arg(client, spanText);
}

int CountUnderEatingDays(const MealRows &rows, float calorieBudget)
{
    std::map<QDate, float> caloriesByDate;
    for (MealRows::Cursor row = rows.cursor(); !row.atEnd(); row.moveNext()) {
        if (!row.row().When.isValid())
            continue;
        float &sum = caloriesByDate[row.row().When.date()];
        sum = static_cast<float>(static_cast<double>(sum) + row.row().Calories);
    }
    int count = 0;
    for (const auto &[date, calories] : caloriesByDate)
        if (calories < calorieBudget)
            ++count;
    return count;
}

MealSummary summarize(const MealTotals &totals, const MealRows &rows, float calorieBudget, float servingsBudget)
{
    MealSummary summary;
    summary.daysLogged = calendarDaysInclusive(totals.FirstDate.date(), totals.LastDate.date());
    summary.caloriesPerDay = static_cast<float>(totals.TotalCalories / summary.daysLogged);
    summary.servingsPerDay = static_cast<float>((totals.TotalFruits + totals.TotalVegetables) / summary.daysLogged);
    summary.underEatingDays = CountUnderEatingDays(rows, calorieBudget);
    summary.caloriesWithinBudget = summary.caloriesPerDay <= calorieBudget;
    summary.servingsMeetBudget = !(summary.servingsPerDay < servingsBudget);
    return summary;
}
