#pragma once

#include "ReportRow.h"
#include "Status.h"

#include <QByteArray>
#include <QString>

#include <optional>

// A client's meals over a span as a CSV file for a spreadsheet or a dietitian, from the result of
// the report command (data/MealReportCommand.h), in UTF-8 with a header line (see CsvWriter).
namespace MealCsv {

enum class Lines {
    // One line per meal, in report order: When (yyyy-MM-ddTHH:mm:ss, the wall-clock time; a stored
    // time that is no date-time as it is stored), Food, Amount, Units, Calories, Vegetables,
    // Fruits, Supplements, Entrees (the last four the servings and counts the meal makes).
    PerMeal,
    // One line per day with meals: Date (yyyy-MM-dd), Foods (the number of food entries),
    // Calories, Fruits, Vegetables, Supplements, Entrees, Budget, Under Budget: "yes" when the
    // day's calories are at or under the budget, "no" over it; both empty for a client without
    // a budget.
    PerDay,
};

QByteArray content(const ReportRow &report, Lines lines, std::optional<double> calorieBudget);

// Writes the content to path: an existing file is replaced only by the complete new one, and
// is left as it was after any failure (see OutputFile).
Status write(const QString &path, const ReportRow &report, Lines lines, std::optional<double> calorieBudget);

} // namespace MealCsv
