#include "MealGridModel.h"

#include "MealRows.h"

namespace {

std::vector<GridModel::Column> designedColumns()
{
    using G = GridModel;
    return {
        G::column("ID", MealField::ID, "0", false, false, 1020),
        G::column("When", MealField::When, "mmm dd hh:mm AM/PM", true, false, 1308),
        G::column("Who", MealField::Who, "", false, false, 1956),
        G::column("Description", MealField::Food, "", true, false, 2472),
        G::column("Amount", MealField::Amount, "#,##0.0", true, true, 720),
        G::column("Units", MealField::Units, "", true, false, 876),
        G::column("CaloriesPerUnit", MealField::CaloriesPerUnit, "", false, false, 1188),
        G::column("Units", MealField::FoodUnits, "", false, false, 876),
        G::column("Calories", MealField::Calories, "#,##0", true, true, 684),
        G::column("Vegs", MealField::Vegetables, "#,##0.0", true, true, 528),
        G::column("Fruits", MealField::Fruits, "#,##0.0", true, true, 528),
    };
}

} // namespace

MealGridModel::MealGridModel(QObject *parent)
    : GridModel(designedColumns(), parent)
{
}
