#include "MealReportCommand.h"

#include "Connection.h"
#include "Foods.h"
#include "MealFigures.h"
#include "Meals.h"
#include "Schema.h"

namespace MealReportCommand {

namespace {

// The meals of the span with their food entries, in report order. Ties of time and food come in
// ID order, so the same data always prints the same way.
QString sql(Engine engine)
{
    return QStringLiteral("SELECT %2, Meals.Who, Meals.Food, Meals.Amount, Foods.Units, %1"
                                   " FROM Meals INNER JOIN Foods ON Meals.Food = Foods.Food AND Meals.Units = Foods.Units"
                                   " WHERE (Meals.Who = ?) AND (Meals.\"When\" >= ?) AND (Meals.\"When\" < ?)"
                                   " ORDER BY Meals.\"When\", Meals.Food, Meals.ID")
        .arg(QLatin1String(Foods::perUnitColumns), Dialect::whenText(engine, QStringLiteral("Meals.\"When\"")));
}

// The date part of a stored time, "yyyy-MM-dd".
constexpr qsizetype dateLength = 10;

ReportRow dayRow(const FigureSums &sums, const QString &dateOnly, std::vector<ReportRow> entries)
{
    ReportRow day;
    day.columns.reserve(8);
    day.columns.insert(QStringLiteral("TotalMeals"), sums.meals);
    day.columns.insert(QStringLiteral("TotalCalories"), sums.calories);
    day.columns.insert(QStringLiteral("TotalFruits"), sums.fruits);
    day.columns.insert(QStringLiteral("TotalVegetables"), sums.vegetables);
    day.columns.insert(QStringLiteral("TotalFruitsAndVegetables"), sums.fruitsAndVegetables());
    day.columns.insert(QStringLiteral("TotalSupplements"), sums.supplements);
    day.columns.insert(QStringLiteral("TotalEntrees"), sums.entrees);
    day.columns.insert(QStringLiteral("DateOnly"), dateOnly);
    day.children = std::move(entries);
    return day;
}

ReportRow grandTotalRow(const FigureSums &sums, std::vector<ReportRow> days)
{
    const qint64 dayCount = static_cast<qint64>(days.size());
    ReportRow top;
    top.columns.reserve(9);
    top.columns.insert(QStringLiteral("DayCount"), dayCount);
    top.columns.insert(QStringLiteral("GrandTotalCalories"), sums.calories);
    top.columns.insert(QStringLiteral("GrandTotalFruitsAndVegetables"), sums.fruitsAndVegetables());
    top.columns.insert(QStringLiteral("AverageDailyCalories"), dayCount > 0 ? sums.calories / dayCount : 0.0);
    top.columns.insert(QStringLiteral("AverageDailyFruitsAndVegeables"),
                       dayCount > 0 ? sums.fruitsAndVegetables() / dayCount : 0.0);
    top.columns.insert(QStringLiteral("GrandTotalSupplements"), sums.supplements);
    top.columns.insert(QStringLiteral("GrandTotalEntrees"), sums.entrees);
    top.columns.insert(QStringLiteral("GrandTotalFruits"), sums.fruits);
    top.columns.insert(QStringLiteral("GrandTotalVegetables"), sums.vegetables);
    top.children = std::move(days);
    return top;
}

} // namespace

Result<ReportRow> execute(Connection &connection, const QString &client, const DateSpan &span)
{
    const auto [begin, end] = Meals::whenRange(span);
    Connection::Statement query = connection.statement(sql(connection.engine()));
    if (!query.bind(client).bind(begin).bind(end).exec())
        return query.status();

    // The rows come in time order: a new date closes the day before it.
    std::vector<ReportRow> days;
    std::vector<ReportRow> entries;
    FigureSums daySums;
    FigureSums grandSums;
    QString dayKey; // the stored date part of the day being read
    QString dateOnly; // the same as "yyyy/MM/dd"
    while (query.next()) {
        const QString whenText = query.value(0).toString();
        const QStringView date = QStringView(whenText).left(dateLength);
        if (entries.empty() || date != dayKey) {
            if (!entries.empty())
                days.push_back(dayRow(daySums, dateOnly, std::move(entries)));
            entries = {};
            daySums = {};
            dayKey = date.toString();
            dateOnly = QString(dayKey).replace(QLatin1Char('-'), QLatin1Char('/'));
        }

        const double amount = query.value(3).toDouble();
        const FoodEntry perUnit = Foods::perUnitAt(query, 5);
        const MealFigures figures = MealFigures::of(amount, perUnit);
        daySums.add(figures);
        grandSums.add(figures);

        // A time that is no date-time is given as it is stored, as the meal view shows it.
        const QDateTime when = Schema::whenFromText(whenText);
        ReportRow entry;
        entry.columns.reserve(13);
        entry.columns.insert(QStringLiteral("When"), when.isValid() ? QVariant(when) : QVariant(whenText));
        entry.columns.insert(QStringLiteral("Who"), query.value(1).toString());
        entry.columns.insert(QStringLiteral("Food"), query.value(2).toString());
        entry.columns.insert(QStringLiteral("Amount"), amount);
        entry.columns.insert(QStringLiteral("CaloriesPerUnit"), perUnit.caloriesPerUnit);
        entry.columns.insert(QStringLiteral("Units"), query.value(4).toString());
        entry.columns.insert(QStringLiteral("Calories"), figures.calories);
        entry.columns.insert(QStringLiteral("Supplements"), figures.supplements);
        entry.columns.insert(QStringLiteral("Entrees"), figures.entrees);
        entry.columns.insert(QStringLiteral("Vegetables"), figures.vegetables);
        entry.columns.insert(QStringLiteral("Fruits"), figures.fruits);
        entry.columns.insert(QStringLiteral("FruitsAndVegetables"), figures.fruitsAndVegetables());
        entry.columns.insert(QStringLiteral("DateOnly"), dateOnly);
        entries.push_back(std::move(entry));
    }
    if (!query.status())
        return query.status();
    if (!entries.empty())
        days.push_back(dayRow(daySums, dateOnly, std::move(entries)));
    return grandTotalRow(grandSums, std::move(days));
}

} // namespace MealReportCommand
