#include "MealGridModel.h"

#include "MealRows.h"

namespace {

std::vector<GridModel::Column> designedColumns()
{
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const auto column = [&](const char *caption, MealField field, const char *format, bool visible, bool rightAligned,
                            int width) {
        return GridModel::Column{QString::fromLatin1(caption), static_cast<int>(field), mealFieldName(field),
                                 QString::fromLatin1(format), visible, rightAligned ? right : left, width};
    };
    return {
        column("ID", MealField::ID, "0", false, false, 1020),
        column("When", MealField::When, "mmm dd hh:mm AM/PM", true, false, 1308),
        column("Who", MealField::Who, "", false, false, 1956),
        column("Description", MealField::Food, "", true, false, 2472),
        column("Amount", MealField::Amount, "#,##0.0", true, true, 720),
        column("Units", MealField::Units, "", true, false, 876),
        column("CaloriesPerUnit", MealField::CaloriesPerUnit, "", false, false, 1188),
        column("Units", MealField::FoodUnits, "", false, false, 876),
        column("Calories", MealField::Calories, "#,##0", true, true, 684),
        column("Vegs", MealField::Vegetables, "#,##0.0", true, true, 528),
        column("Fruits", MealField::Fruits, "#,##0.0", true, true, 528),
    };
}

} // namespace

MealGridModel::MealGridModel(QObject *parent)
    : GridModel(designedColumns(), parent)
{
}
