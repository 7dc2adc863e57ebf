#include "MealRows.h"

#include <algorithm>
#include <array>
#include <numeric>

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

// Negative, zero or positive as a orders before, with or after b.
int compareField(const MealRow &a, const MealRow &b, MealField field)
{
    auto numbers = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    switch (field) {
    case MealField::ID: return numbers(a.ID, b.ID);
    case MealField::When: return numbers(a.When, b.When);
    case MealField::Who: return a.Who.compare(b.Who, Qt::CaseInsensitive);
    case MealField::Food: return a.Food.compare(b.Food, Qt::CaseInsensitive);
    case MealField::Amount: return numbers(a.Amount, b.Amount);
    case MealField::Units: return a.Units.compare(b.Units, Qt::CaseInsensitive);
    case MealField::CaloriesPerUnit: return numbers(a.CaloriesPerUnit, b.CaloriesPerUnit);
    case MealField::FoodUnits: return a.FoodUnits.compare(b.FoodUnits, Qt::CaseInsensitive);
    case MealField::Calories: return numbers(a.Calories, b.Calories);
    case MealField::Vegetables: return numbers(a.Vegetables, b.Vegetables);
    case MealField::Fruits: return numbers(a.Fruits, b.Fruits);
    case MealField::Supplements: return numbers(a.Supplements, b.Supplements);
    case MealField::Entrees: return numbers(a.Entrees, b.Entrees);
    }
    return 0;
}

} // namespace

QString mealFieldName(MealField field)
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

MealRows::MealRows(std::vector<MealRow> rows)
    : m_rows(std::move(rows))
    , m_order(m_rows.size())
    , m_positionOf(m_rows.size())
{
    std::iota(m_order.begin(), m_order.end(), 0);
    std::iota(m_positionOf.begin(), m_positionOf.end(), 0);
}

bool MealRows::sort(QStringView sortText)
{
    const QStringView text = sortText.trimmed();
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    const QStringView name = blank < 0 ? text : text.left(blank);
    const QStringView direction = blank < 0 ? QStringView() : text.mid(blank + 1).trimmed();
    const std::optional<MealField> field = mealFieldByName(name);
    const bool descending = direction.compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0;
    if (!field || (!direction.isEmpty() && !descending && direction.compare(QLatin1String("ASC"), Qt::CaseInsensitive) != 0))
        return false;

    // Start from time order so that rows with equal values always come in time order.
    std::iota(m_order.begin(), m_order.end(), 0);
    std::stable_sort(m_order.begin(), m_order.end(), [&](Bookmark a, Bookmark b) {
        const int order = compareField(m_rows[static_cast<size_t>(a)], m_rows[static_cast<size_t>(b)], *field);
        return descending ? order > 0 : order < 0;
    });
    for (size_t position = 0; position < m_order.size(); ++position)
        m_positionOf[static_cast<size_t>(m_order[position])] = static_cast<int>(position);
    m_sortText = sortText.toString();
    return true;
}

int MealRows::find(qint64 id, int fromPosition) const
{
    for (int position = qMax(0, fromPosition); position < count(); ++position)
        if (at(position).ID == id)
            return position;
    return -1;
}

MealTotals totalsOf(const MealRows &rows)
{
    MealTotals totals;
    for (MealRows::Cursor row = rows.cursor(); !row.atEnd(); row.moveNext()) {
        const MealRow &meal = row.row();
        totals.TotalCalories += meal.Calories;
        totals.TotalFruits += meal.Fruits;
        totals.TotalVegetables += meal.Vegetables;
        totals.TotalSupplements += meal.Supplements;
        totals.TotalEntrees += meal.Entrees;
        if (!meal.When.isValid())
            continue;
        if (!totals.FirstDate.isValid() || meal.When < totals.FirstDate)
            totals.FirstDate = meal.When;
        if (!totals.LastDate.isValid() || totals.LastDate < meal.When)
            totals.LastDate = meal.When;
    }
    totals.TotalMeals = rows.count();
    return totals;
}
