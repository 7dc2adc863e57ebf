#include "FoodImport.h"

#include "Connection.h"
#include "EntryChecks.h"
#include "Foods.h"
#include "Units.h"

#include <array>
#include <optional>

namespace FoodImport {

namespace {

enum Column { Food, UnitsColumn, Calories, Vegetables, Fruits, Entree, Supplement, ColumnCount };

const QStringList &columnNames()
{
    static const QStringList names = {QStringLiteral("Food"),          QStringLiteral("Units"),
                                      QStringLiteral("CaloriesPerUnit"), QStringLiteral("VegetableServings"),
                                      QStringLiteral("FruitServings"), QStringLiteral("EntreeFlag"),
                                      QStringLiteral("SupplementFlag")};
    return names;
}

constexpr int requiredCount = Entree;

// Where each column is in a line; -1 for an optional column the file does not have.
using ColumnPlaces = std::array<qsizetype, ColumnCount>;

Result<ColumnPlaces> findColumns(const QStringList &header)
{
    ColumnPlaces places;
    QStringList missing;
    for (int column = 0; column < ColumnCount; ++column) {
        const QString &name = columnNames()[column];
        places[column] = -1;
        for (qsizetype i = 0; i < header.size() && places[column] < 0; ++i)
            if (header[i].compare(name, Qt::CaseInsensitive) == 0)
                places[column] = i;
        if (places[column] < 0 && column < requiredCount)
            missing << name;
    }
    if (!missing.isEmpty())
        return Status::failure(QStringLiteral("The file has no column %1. Its first line must name the columns %2 "
                                              "(in any order), and may name %3.")
                                   .arg(missing.join(QStringLiteral(", ")),
                                        requiredColumns().join(QStringLiteral(", ")),
                                        optionalColumns().join(QStringLiteral(" and "))));
    return places;
}

// A flag as a spreadsheet writes it; none when the text is no yes or no.
std::optional<bool> readFlag(const QString &text)
{
    const QString word = text.trimmed().toLower();
    if (word.isEmpty() || word == u"no" || word == u"false")
        return false;
    if (word == u"yes" || word == u"true")
        return true;
    if (const std::optional<double> number = EntryChecks::readDecimal(word))
        return *number != 0;
    return std::nullopt;
}

struct Line
{
    std::optional<FoodEntry> entry;
    QString fault;
};

Line readLine(const QStringList &fields, const ColumnPlaces &places, char delimiter, const QStringList &units)
{
    const auto field = [&](Column column) {
        // A short line lacks its last fields: they are empty.
        return places[column] >= 0 ? fields.value(places[column]) : QString();
    };
    const auto number = [&](Column column) {
        QString text = field(column);
        return delimiter == ';' ? text.replace(QLatin1Char(','), QLatin1Char('.')) : text;
    };
    const EntryChecks::FoodTexts texts{field(Food), number(Calories), field(UnitsColumn), number(Vegetables),
                                       number(Fruits)};
    if (const auto fault = EntryChecks::checkFood(texts, units))
        return {std::nullopt, fault->message.section(QStringLiteral("\r\n"), 0, 0)};
    FoodEntry entry;
    for (const Column flag : {Entree, Supplement}) {
        const std::optional<bool> value = readFlag(field(flag));
        if (!value)
            return {std::nullopt, QStringLiteral("%1 must be yes or no (1 or 0, true or false), not '%2'")
                                      .arg(columnNames()[flag], field(flag))};
        (flag == Entree ? entry.entree : entry.supplement) = *value;
    }
    entry.food = texts.food;
    // The units as the Units table spells them.
    entry.units = *EntryChecks::matchingName(units, texts.units);
    entry.caloriesPerUnit = *EntryChecks::readDecimal(texts.calories);
    entry.vegetableServings = *EntryChecks::readDecimal(texts.vegetables);
    entry.fruitServings = *EntryChecks::readDecimal(texts.fruits);
    return {entry, {}};
}

FoodImportSummary cancelled()
{
    FoodImportSummary summary;
    summary.cancelled = true;
    return summary;
}

// How often the progress is told, in lines.
constexpr qint64 progressEvery = 256;

} // namespace

const QStringList &requiredColumns()
{
    static const QStringList names = columnNames().first(requiredCount);
    return names;
}

const QStringList &optionalColumns()
{
    static const QStringList names = columnNames().sliced(requiredCount);
    return names;
}

Result<FoodImportSummary> importFile(Connection &connection, const QString &path, const Progress &progress)
{
    const Result<CsvTable> table = CsvReader::readFile(path, columnNames());
    if (!table)
        return table.status();
    return importTable(connection, *table, progress);
}

Result<FoodImportSummary> importTable(Connection &connection, const CsvTable &table, const Progress &progress)
{
    if (table.records.empty())
        return Status::failure(QStringLiteral("The file is empty. Its first line must name the columns %1.")
                                   .arg(requiredColumns().join(QStringLiteral(", "))));
    const Result<ColumnPlaces> places = findColumns(table.records.front().fields);
    if (!places)
        return places.status();

    Connection::Transaction transaction(connection);
    if (!transaction.status())
        return transaction.status();
    const Result<QStringList> units = Units(connection).names();
    if (!units)
        return units.status();

    Foods foods(connection);
    FoodImportSummary summary;
    const qint64 total = static_cast<qint64>(table.records.size()) - 1;
    for (qint64 done = 0; done < total; ++done) {
        if (progress && done % progressEvery == 0 && !progress(done, total))
            return cancelled();
        const CsvRecord &record = table.records[static_cast<size_t>(done + 1)];
        const Line line = readLine(record.fields, *places, table.delimiter, *units);
        if (!line.entry) {
            if (++summary.skipped <= firstSkippedListed)
                summary.firstSkipped.push_back({record.line, line.fault});
            continue;
        }
        const Result<std::optional<FoodEntry>> existing = foods.find(line.entry->food, line.entry->units);
        if (!existing)
            return existing.status();
        if (existing.value()) {
            ++summary.alreadyThere;
            continue;
        }
        if (const Result<qint64> added = foods.insert(*line.entry); !added)
            return added.status();
        ++summary.added;
    }
    if (progress && !progress(total, total))
        return cancelled();
    if (const Status saved = transaction.commit(); !saved)
        return saved;
    return summary;
}

} // namespace FoodImport
