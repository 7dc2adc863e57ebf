#pragma once

#include "DateSpan.h"
#include "MealRows.h"

#include <QString>

// The rules of a meal view, as plain functions: the span it shows, its caption and the figures
// of its summary panel.

enum class IntervalMode { OneDay, OneWeek, SelectedDays };

// One day or one week from the calendar's current date, or the calendar's selected range.
DateSpan spanFor(IntervalMode mode, QDate current, QDate rangeFirst, QDate rangeLast);

// "Tue, Aug 13, 2002" for one day; "Tue, Aug 13 to Mon, Aug 19, 2002" otherwise (the start of
// a range never shows its year).
QString spanText(IntervalMode mode, const DateSpan &span);

// "Meals for Ann [Tue, Aug 13, 2002]": the window caption for a client and the panel's span text.
QString mealViewCaption(const QString &client, const QString &spanText);

// Dates with meals on which the calories eaten add up to less than the budget. Days without
// a meal never count, nor do meals whose time is not a date-time. Sums are kept in single
// precision.
int CountUnderEatingDays(const MealRows &rows, float calorieBudget);

struct MealSummary
{
    // Calendar days from the first meal's date to the last one's, both counted; days in
    // between without a meal count too.
    int daysLogged = 0;
    float caloriesPerDay = 0;
    float servingsPerDay = 0; // fruit and vegetable servings
    int underEatingDays = 0;
    bool caloriesWithinBudget = false; // at or under the calorie budget
    bool servingsMeetBudget = false;   // at or over the servings budget
};

// The panel's figures for a span with at least one meal.
MealSummary summarize(const MealTotals &totals, const MealRows &rows, float calorieBudget, float servingsBudget);
