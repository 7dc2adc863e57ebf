#pragma once

#include "CsvReader.h"
#include "Status.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class Connection;

// A line of the file that was not imported, and why.
struct SkippedLine
{
    qint64 line = 0;
    QString reason;

    friend bool operator==(const SkippedLine &, const SkippedLine &) = default;
};

// What an import did.
struct FoodImportSummary
{
    int added = 0;
    int alreadyThere = 0; // in the catalogue before, or on an earlier line of the file
    int skipped = 0;
    std::vector<SkippedLine> firstSkipped; // the first firstSkippedListed of them, in file order
    bool cancelled = false; // then nothing was kept, and the counts are 0
};

// Food entries read from a CSV file merged into the catalogue, in one transaction.
//
// The header line names the columns, in any order and without regard to case: Food, Units,
// CaloriesPerUnit, VegetableServings and FruitServings, and optionally EntreeFlag and
// SupplementFlag; other columns are ignored. Each line is checked as the food editor checks an
// entry it adds (EntryChecks::checkFood); a line that fails (no name, units not in the Units
// table, a number that is not a number) is skipped with its line number and the reason. In a
// semicolon-separated file a comma in a number is its decimal point ("1,5" is 1.5), as
// spreadsheets that write such files mean it. A flag is yes for 1 (any number but 0), "yes" or
// "true", no for 0, "no", "false" or nothing. An entry whose food and units the catalogue holds
// already, compared as the database compares names, is never changed and counts as already
// there; so does a second line with the same food and units.
namespace FoodImport {

inline constexpr int firstSkippedListed = 10;

// The columns a file must have, then the optional ones, as they are named.
const QStringList &requiredColumns();
const QStringList &optionalColumns();

// Called with the lines done and the lines there are, now and then; false cancels the import.
using Progress = std::function<bool(qint64 done, qint64 total)>;

// Imports the file; a file that cannot be read, has no header with the columns needed, or a
// write that fails says why, and then the catalogue is as it was. After a cancel too.
Result<FoodImportSummary> importFile(Connection &connection, const QString &path, const Progress &progress = {});
// The same for a file already read.
Result<FoodImportSummary> importTable(Connection &connection, const CsvTable &table, const Progress &progress = {});

} // namespace FoodImport
