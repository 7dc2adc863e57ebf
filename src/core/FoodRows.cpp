#include "FoodRows.h"

#include <array>

namespace {

constexpr std::array<const char16_t *, 6> fieldNames = {
    u"ID", u"Food", u"CaloriesPerUnit", u"Units", u"VegetableServings", u"FruitServings",
};

} // namespace

QString fieldName(CatalogueField field)
{
    return QString::fromUtf16(fieldNames[static_cast<size_t>(field)]);
}

bool nameMatches(const QString &name, const QString &text, NameMatch match)
{
    return match == NameMatch::StartsWith ? name.startsWith(text, Qt::CaseInsensitive)
                                          : name.contains(text, Qt::CaseInsensitive);
}

FoodRows::FoodRows(std::vector<FoodEntry> rows)
    : RowTable(rows.size())
    , m_rows(std::move(rows))
{
}

int FoodRows::findName(const QString &text, NameMatch match, int fromPosition) const
{
    for (int position = qMax(0, fromPosition); position < count(); ++position)
        if (nameMatches(at(position).food, text, match))
            return position;
    return -1;
}

std::optional<int> FoodRows::fieldByName(QStringView name) const
{
    for (size_t i = 0; i < fieldNames.size(); ++i)
        if (name.compare(QStringView(fieldNames[i]), Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return std::nullopt;
}

int FoodRows::compare(Bookmark first, Bookmark second, int field) const
{
    const FoodEntry &a = atBookmark(first);
    const FoodEntry &b = atBookmark(second);
    switch (static_cast<CatalogueField>(field)) {
    case CatalogueField::ID: return compareNumbers(double(a.id), double(b.id));
    case CatalogueField::Food: return compareTexts(a.food, b.food);
    case CatalogueField::CaloriesPerUnit: return compareNumbers(a.caloriesPerUnit, b.caloriesPerUnit);
    case CatalogueField::Units: return compareTexts(a.units, b.units);
    case CatalogueField::VegetableServings: return compareNumbers(a.vegetableServings, b.vegetableServings);
    case CatalogueField::FruitServings: return compareNumbers(a.fruitServings, b.fruitServings);
    }
    return 0;
}

QVariant FoodRows::valueAt(Bookmark row, int field) const
{
    const FoodEntry &entry = atBookmark(row);
    switch (static_cast<CatalogueField>(field)) {
    case CatalogueField::ID: return entry.id;
    case CatalogueField::Food: return entry.food;
    case CatalogueField::CaloriesPerUnit: return entry.caloriesPerUnit;
    case CatalogueField::Units: return entry.units;
    case CatalogueField::VegetableServings: return entry.vegetableServings;
    case CatalogueField::FruitServings: return entry.fruitServings;
    }
    return {};
}
