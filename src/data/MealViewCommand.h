#pragma once

#include "CommandParameters.h"
#include "MealRows.h"

#include <QDateTime>
#include <QString>

#include <memory>

// The grand-total record over the meals of one client in one span.
struct MealTotals
{
    double TotalCalories = 0;
    double TotalFruits = 0;
    double TotalVegetables = 0;
    qint64 TotalMeals = 0;
    double TotalSupplements = 0;
    double TotalEntrees = 0;
    QDateTime FirstDate; // the earliest meal's date and time; invalid when there is none
    QDateTime LastDate;
};

// What the meal view command gives: the grand-total record and, in qryMealView, the meal rows
// in time order (ties in ID order).
struct MealViewResult
{
    MealTotals totals;
    std::shared_ptr<MealRows> qryMealView;
    QString errorText; // set when the database could not be read; then there are no rows
    bool failed() const { return !errorText.isEmpty(); }
};

// The meals of one client in a half-open span [StartTime, EndTime), each joined to the food
// entry with the same food and units (meals without one are left out), with calories and
// servings multiplied out by the amount, and their grand totals.
// Parameters: Client (text), StartTime and EndTime (date-times), set by name in any case.
class MealViewCommand
{
public:
    MealViewCommand();

    CommandParameters parameters;

    // Runs on the open database (deMealwright).
    MealViewResult execute() const;
    // The totals over rows, as the command computes them.
    static MealTotals totalsOf(const MealRows &rows);

    static const QString sql;
};
