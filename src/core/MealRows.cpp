#include "MealRows.h"

#include <array>

namespace {

struct FieldName
{
    MealField field;
    const char16_t *name;
};

constexpr std::array<FieldName, 13> fieldNames = {{
    {MealField::ID, u"ID"},
    {MealField::When, u"When"},
    {MealField::Who, u"Who"},
    {MealField::Food, u"Food"},
    {MealField::Amount, u"Amount"},
    {MealField::Units, u"Units"},
    {MealField::CaloriesPerUnit, u"CaloriesPerUnit"},
    {MealField::FoodUnits, u"Units"},
    {MealField::Calories, u"Calories"},
    {MealField::Vegetables, u"Vegetables"},
    {MealField::Fruits, u"Fruits"},
    {MealField::Supplements, u"Supplements"},
    {MealField::Entrees, u"Entrees"},
}};

} // namespace

int MealRows::compare(Bookmark first, Bookmark second, int field) const
{
    const MealRow &a = atBookmark(first);
    const MealRow &b = atBookmark(second);
    const auto numbers = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    const auto texts = compareTexts;
    switch (static_cast<MealField>(field)) {
    case MealField::ID: return numbers(a.ID, b.ID);
    case MealField::When: return numbers(a.When, b.When);
    case MealField::Who: return texts(a.Who, b.Who);
    case MealField::Food: return texts(a.Food, b.Food);
    case MealField::Amount: return numbers(a.Amount, b.Amount);
    case MealField::Units: return texts(a.Units, b.Units);
    case MealField::CaloriesPerUnit: return numbers(a.CaloriesPerUnit, b.CaloriesPerUnit);
    case MealField::FoodUnits: return texts(a.FoodUnits, b.FoodUnits);
    case MealField::Calories: return numbers(a.Calories, b.Calories);
    case MealField::Vegetables: return numbers(a.Vegetables, b.Vegetables);
    case MealField::Fruits: return numbers(a.Fruits, b.Fruits);
    case MealField::Supplements: return numbers(a.Supplements, b.Supplements);
    case MealField::Entrees: return numbers(a.Entrees, b.Entrees);
    }
    return 0;
}

QString fieldName(MealField field)
{
    return QString::fromUtf16(fieldNames[static_cast<size_t>(field)].name);
}

std::optional<MealField> mealFieldByName(QStringView name)
{
    for (const FieldName &candidate : fieldNames)
        if (name.compare(QStringView(candidate.name), Qt::CaseInsensitive) == 0)
            return candidate.field;
    return std::nullopt;
}

QVariant mealFieldValue(const MealRow &row, MealField field)
{
    switch (field) {
    case MealField::ID: return row.ID;
    case MealField::When: return row.When.isValid() ? QVariant(row.When) : QVariant(row.WhenText);
    case MealField::Who: return row.Who;
    case MealField::Food: return row.Food;
    case MealField::Amount: return row.Amount;
    case MealField::Units: return row.Units;
    case MealField::CaloriesPerUnit: return row.CaloriesPerUnit;
    case MealField::FoodUnits: return row.FoodUnits;
    case MealField::Calories: return row.Calories;
    case MealField::Vegetables: return row.Vegetables;
    case MealField::Fruits: return row.Fruits;
    case MealField::Supplements: return row.Supplements;
    case MealField::Entrees: return row.Entrees;
    }
    return {};
}

void MealRow::setFigures(const MealFigures &figures)
{
    Calories = figures.calories;
    Vegetables = figures.vegetables;
    Fruits = figures.fruits;
    Supplements = figures.supplements;
    Entrees = figures.entrees;
}

MealRows::MealRows(std::vector<MealRow> rows)
    : RowTable(rows.size())
    , m_rows(std::move(rows))
{
}

std::optional<int> MealRows::fieldByName(QStringView name) const
{
    const std::optional<MealField> field = mealFieldByName(name);
    return field ? std::optional<int>(static_cast<int>(*field)) : std::nullopt;
}

QVariant MealRows::valueAt(Bookmark row, int field) const
{
    return mealFieldValue(atBookmark(row), static_cast<MealField>(field));
}

MealTotals totalsOf(const MealRows &rows)
{
    FigureSums sums;
    MealTotals totals;
    for (MealRows::Cursor row = rows.cursor(); !row.atEnd(); row.moveNext()) {
        const MealRow &meal = row.row();
        sums.add(meal.figures());
        if (!meal.When.isValid())
            continue;
        if (!totals.FirstDate.isValid() || meal.When < totals.FirstDate)
            totals.FirstDate = meal.When;
        if (!totals.LastDate.isValid() || totals.LastDate < meal.When)
            totals.LastDate = meal.When;
    }
    totals.TotalCalories = sums.calories;
    totals.TotalFruits = sums.fruits;
    totals.TotalVegetables = sums.vegetables;
    totals.TotalMeals = sums.meals;
    totals.TotalSupplements = sums.supplements;
    totals.TotalEntrees = sums.entrees;
    return totals;
}
