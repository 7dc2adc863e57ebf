#pragma once

#include "DateSpan.h"
#include "ReportRow.h"
#include "Status.h"

#include <QString>

class Connection;

// qryMealReport_GrandTotal: what both printed reports show for one client and a half-open span
// [begin, end), in three levels.
//
//  - The top row (qryMealReport_GrandTotal): DayCount, GrandTotalCalories,
//    GrandTotalFruitsAndVegetables, AverageDailyCalories, AverageDailyFruitsAndVegeables,
//    GrandTotalSupplements, GrandTotalEntrees, GrandTotalFruits, GrandTotalVegetables. The
//    averages are over the days with data. With no data DayCount is 0 and every other value 0.
//  - Its children, one per day with data in date order (qryMealReport_ByDate): TotalMeals,
//    TotalCalories, TotalFruits, TotalVegetables, TotalFruitsAndVegetables, TotalSupplements,
//    TotalEntrees, DateOnly ("yyyy/MM/dd").
//  - Theirs, one per food entry by When then Food (qryMealReport): When (a wall-clock
//    QDateTime), Who, Food, Amount, CaloriesPerUnit, Units, Calories, Supplements, Entrees,
//    Vegetables, Fruits, FruitsAndVegetables, DateOnly. Who and Food are the meal's, Units and
//    the per-unit figures the food entry's. A stored time that is no date-time is given as its
//    text, as the meal view shows it.
//
// A meal is joined to the food entry with the same food and units; meals without one are left
// out. Numbers are doubles, DayCount and TotalMeals whole numbers (qint64); empty numbers count
// as 0. Text compares as the database's columns do (without regard to case in Mealwright's
// files). One query reads the meals; on a database error the result is the failure, never a
// part of the report.
namespace MealReportCommand {

Result<ReportRow> execute(Connection &connection, const QString &client, const DateSpan &span);

} // namespace MealReportCommand
