#include "MealViewCommand.h"

#include "Connection.h"
#include "Foods.h"
#include "Meals.h"
#include "Schema.h"

namespace MealViewCommand {

QString sql(Engine engine)
{
    return QStringLiteral("SELECT Meals.ID, %2, Meals.Who, Meals.Food, Meals.Amount, Meals.Units,"
                                   " Foods.Units, %1"
                                   " FROM Meals INNER JOIN Foods ON Meals.Food = Foods.Food AND Meals.Units = Foods.Units"
                                   " WHERE (Meals.Who = ?) AND (Meals.\"When\" >= ?) AND (Meals.\"When\" < ?)"
                                   " ORDER BY Meals.\"When\", Meals.ID")
        .arg(QLatin1String(Foods::perUnitColumns), Dialect::whenText(engine, QStringLiteral("Meals.\"When\"")));
}

namespace {

// An upper bound of the rows above, from the meals index alone (meals without a food entry are
// counted too).
const QString countSql = QStringLiteral(
    "SELECT count(*) FROM Meals WHERE (Meals.Who = ?) AND (Meals.\"When\" >= ?) AND (Meals.\"When\" < ?)");

MealRow rowAt(const Connection::Statement &query)
{
    MealRow row;
    row.ID = query.value(0).toLongLong();
    const QString when = query.value(1).toString();
    row.When = Schema::whenFromText(when);
    if (!row.When.isValid())
        row.WhenText = when;
    row.Who = query.value(2).toString();
    row.Food = query.value(3).toString();
    row.Amount = query.value(4).toDouble();
    row.Units = query.value(5).toString();
    const QString foodUnits = query.value(6).toString();
    // Mostly the same text as the meal's units: share it rather than hold it twice.
    row.FoodUnits = foodUnits == row.Units ? row.Units : foodUnits;
    const FoodEntry perUnit = Foods::perUnitAt(query, 7);
    row.CaloriesPerUnit = perUnit.caloriesPerUnit;
    row.setFigures(MealFigures::of(row.Amount, perUnit));
    return row;
}

} // namespace

MealViewResult execute(Connection &connection, const QString &client, const DateSpan &span)
{
    MealViewResult result;
    const auto [begin, end] = Meals::whenRange(span);

    // Room for every row at once: a list grown row by row moves its rows many times over, and
    // its freed blocks go back to the system after each query, to be fetched again the next.
    const Result<qint64> count = connection.statement(countSql).bind(client).bind(begin).bind(end).wholeNumber();
    if (!count) {
        result.status = count.status();
        return result;
    }

    Connection::Statement query = connection.statement(sql(connection.engine()));
    if (!query.bind(client).bind(begin).bind(end).exec()) {
        result.status = query.status();
        return result;
    }
    std::vector<MealRow> rows;
    rows.reserve(static_cast<size_t>(*count));
    while (query.next())
        rows.push_back(rowAt(query));
    if (!query.status()) {
        result.status = query.status();
        return result;
    }
    result.qryMealView = std::make_shared<MealRows>(std::move(rows));
    result.totals = totalsOf(*result.qryMealView);
    return result;
}

} // namespace MealViewCommand
