#pragma once

#include "ReportLayout.h"

// The two printed reports of a client's meals over a span of days, over the result of the
// report command (see data/MealReportCommand.h).

// Every food entry of every day, a total line per day and a closing summary.
const ReportLayout &drCalorieReport();
// One line per day and the closing summary.
const ReportLayout &drCalorieSummary();
