#pragma once

#include "DateSpan.h"
#include "ReportRow.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

// The figures of a client's trend chart: one point per calendar day of a span, taken from the
// days of the meal report (its top row's children, each with DateOnly "yyyy/MM/dd").
struct TrendDay
{
    QDate date;
    bool hasMeals = false; // a day without meals is a gap in the chart, never a zero
    double calories = 0;
    double fruits = 0;
    double vegetables = 0;
    // The mean calories of the days with meals among this day and the six before it that lie in
    // the span; none when none of them has meals.
    std::optional<double> movingAverage;
};

namespace TrendSeries {

// Days in the moving average: the day itself and the six before it.
inline constexpr int averageDays = 7;

// Every calendar day of span, first to last, with the report's figures on the days it lists.
// Days of the report outside the span are left out.
std::vector<TrendDay> daily(const ReportRow &report, const DateSpan &span);

// A day is over its budget when it has more calories than the budget; on the budget is not.
inline bool overBudget(const TrendDay &day, double budget) { return day.hasMeals && day.calories > budget; }

// The figures of a day as plain text lines, for the chart's tooltip.
QString describe(const TrendDay &day, double budget);

// "Trend for Ann [Tue, Aug 13 to Mon, Aug 19, 2002]": the chart window's caption.
QString caption(const QString &client, const QString &spanText);

} // namespace TrendSeries
