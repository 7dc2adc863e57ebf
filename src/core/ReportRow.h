#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

#include <vector>

// A row of a hierarchical result, as a printed report walks it: its columns by name and the rows
// of the level below it. The meal report's top row holds the grand totals and averages, its
// children are the days and theirs the food entries.
struct ReportRow
{
    QHash<QString, QVariant> columns;
    std::vector<ReportRow> children;

    // The column's value; an invalid QVariant when the row has no such column.
    QVariant value(const QString &column) const { return columns.value(column); }
};
