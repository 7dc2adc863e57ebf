#include "MealViewCommand.h"

#include "Schema.h"
#include "deMealwright.h"

#include <QSqlError>
#include <QSqlQuery>

const QString MealViewCommand::sql = QStringLiteral(
    "SELECT Meals.ID, Meals.\"When\", Meals.Who, Meals.Food, Meals.Amount, Meals.Units,"
    " Foods.CaloriesPerUnit, Foods.Units,"
    " Meals.Amount * Foods.CaloriesPerUnit AS Calories,"
    " Meals.Amount * Foods.VegetableServings AS Vegetables,"
    " Meals.Amount * Foods.FruitServings AS Fruits,"
    " Meals.Amount * iif(Foods.SupplementFlag, 1, 0) AS Supplements,"
    " Meals.Amount * iif(Foods.EntreeFlag, 1, 0) AS Entrees"
    " FROM Meals INNER JOIN Foods ON Meals.Food = Foods.Food AND Meals.Units = Foods.Units"
    " WHERE (Meals.Who = ?) AND (Meals.\"When\" >= ?) AND (Meals.\"When\" < ?)"
    " ORDER BY Meals.\"When\", Meals.ID");

// An upper bound of the rows above, from the meals index alone (meals without a food entry are
// counted too).
static const QString countSql = QStringLiteral(
    "SELECT count(*) FROM Meals WHERE (Meals.Who = ?) AND (Meals.\"When\" >= ?) AND (Meals.\"When\" < ?)");

MealViewCommand::MealViewCommand()
    : parameters{{QStringLiteral("Client"), QMetaType::QString},
                 {QStringLiteral("StartTime"), QMetaType::QDateTime},
                 {QStringLiteral("EndTime"), QMetaType::QDateTime}}
{
}

MealTotals MealViewCommand::totalsOf(const MealRows &rows)
{
    MealTotals totals;
    for (MealRows::Cursor row = rows.cursor(); !row.atEnd(); row.moveNext()) {
        const MealRow &meal = row.row();
        totals.TotalCalories += meal.Calories;
        totals.TotalFruits += meal.Fruits;
        totals.TotalVegetables += meal.Vegetables;
        totals.TotalSupplements += meal.Supplements;
        totals.TotalEntrees += meal.Entrees;
        if (!totals.FirstDate.isValid() || meal.When < totals.FirstDate)
            totals.FirstDate = meal.When;
        if (!totals.LastDate.isValid() || totals.LastDate < meal.When)
            totals.LastDate = meal.When;
    }
    totals.TotalMeals = rows.count();
    return totals;
}

MealViewResult MealViewCommand::execute() const
{
    MealViewResult result;
    deMealwright &environment = deMealwright::instance();
    QSqlQuery *query = environment.preparedStatement(sql, &result.errorText);
    QSqlQuery *count = query ? environment.preparedStatement(countSql, &result.errorText) : nullptr;
    if (!count)
        return result;

    // Room for every row at once: a list grown row by row moves its rows many times over, and
    // its freed blocks go back to the system after each query, to be fetched again the next.
    std::vector<MealRow> rows;
    parameters.bindTo(*count);
    if (count->exec() && count->next())
        rows.reserve(static_cast<size_t>(count->value(0).toLongLong()));
    count->finish();

    parameters.bindTo(*query);
    if (!query->exec()) {
        result.errorText = query->lastError().text();
        return result;
    }
    while (query->next()) {
        MealRow row;
        row.ID = query->value(0).toLongLong();
        row.When = Schema::whenFromText(query->value(1).toString());
        row.Who = query->value(2).toString();
        row.Food = query->value(3).toString();
        row.Amount = query->value(4).toDouble();
        row.Units = query->value(5).toString();
        row.CaloriesPerUnit = query->value(6).toDouble();
        const QString foodUnits = query->value(7).toString();
        // Mostly the same text as the meal's units: share it rather than hold it twice.
        row.FoodUnits = foodUnits == row.Units ? row.Units : foodUnits;
        row.Calories = query->value(8).toDouble();
        row.Vegetables = query->value(9).toDouble();
        row.Fruits = query->value(10).toDouble();
        row.Supplements = query->value(11).toDouble();
        row.Entrees = query->value(12).toDouble();
        rows.push_back(std::move(row));
    }
    const QSqlError error = query->lastError();
    query->finish();
    if (error.isValid()) {
        result.errorText = error.text();
        return result;
    }
    result.qryMealView = std::make_shared<MealRows>(std::move(rows));
    result.totals = totalsOf(*result.qryMealView);
    return result;
}
