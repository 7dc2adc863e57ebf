#include "MealViewCommand.h"

#include "Schema.h"

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

MealViewResult MealViewCommand::execute(const QSqlDatabase &connection) const
{
    MealViewResult result;
    QSqlQuery query(connection);
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        result.errorText = query.lastError().text();
        return result;
    }
    parameters.bindTo(query);
    if (!query.exec()) {
        result.errorText = query.lastError().text();
        return result;
    }

    std::vector<MealRow> rows;
    while (query.next()) {
        MealRow row;
        row.ID = query.value(0).toLongLong();
        row.When = Schema::whenFromText(query.value(1).toString());
        row.Who = query.value(2).toString();
        row.Food = query.value(3).toString();
        row.Amount = query.value(4).toDouble();
        row.Units = query.value(5).toString();
        row.CaloriesPerUnit = query.value(6).toDouble();
        row.FoodUnits = query.value(7).toString();
        row.Calories = query.value(8).toDouble();
        row.Vegetables = query.value(9).toDouble();
        row.Fruits = query.value(10).toDouble();
        row.Supplements = query.value(11).toDouble();
        row.Entrees = query.value(12).toDouble();
        rows.push_back(std::move(row));
    }
    if (query.lastError().isValid()) {
        result.errorText = query.lastError().text();
        return result;
    }
    result.qryMealView = std::make_shared<MealRows>(std::move(rows));
    result.totals = totalsOf(*result.qryMealView);
    return result;
}
