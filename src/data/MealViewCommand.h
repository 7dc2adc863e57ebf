#pragma once

#include "DateSpan.h"
#include "Dialect.h"
#include "MealRows.h"
#include "Status.h"

#include <QString>

#include <memory>

class Connection;

// What the meal view command gives: the grand-total record and, in qryMealView, the meal rows
// in time order (ties in ID order).
struct MealViewResult
{
    MealTotals totals;
    std::shared_ptr<MealRows> qryMealView;
    Status status; // why the database could not be read; then there are no rows
    bool failed() const { return !status.ok(); }
};

// qryMealView_GrandTotal: the meals of one client in a half-open span [begin, end), each joined
// to the food entry with the same food and units (meals without one are left out), with
// calories and servings multiplied out by the amount, and their grand totals.
namespace MealViewCommand {

MealViewResult execute(Connection &connection, const QString &client, const DateSpan &span);

QString sql(Engine engine);

} // namespace MealViewCommand
