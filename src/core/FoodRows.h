#pragma once

#include "RowTable.h"

#include <QString>

// One entry of the food catalogue: a food in one unit, with its values per unit.
struct FoodEntry
{
    qint64 id = 0;
    QString food;
    QString units;
    double caloriesPerUnit = 0;
    double vegetableServings = 0; // per unit
    double fruitServings = 0;     // per unit
    bool entree = false;
    bool supplement = false;

    friend bool operator==(const FoodEntry &, const FoodEntry &) = default;
};

// The fields of a catalogue entry the food list shows, named as the Foods table names them.
enum class CatalogueField { ID, Food, CaloriesPerUnit, Units, VegetableServings, FruitServings };

QString fieldName(CatalogueField field);

// How a search text must meet a food name. Letters match without regard to case, also beyond
// ASCII; every other character stands for itself.
enum class NameMatch { StartsWith, Contains };
bool nameMatches(const QString &name, const QString &text, NameMatch match);

// The food catalogue as a list (see RowTable), in the order it came in.
class FoodRows : public RowTable
{
public:
    explicit FoodRows(std::vector<FoodEntry> rows = {});

    const FoodEntry &at(int position) const { return atBookmark(bookmarkAt(position)); }
    const FoodEntry &atBookmark(Bookmark bookmark) const { return m_rows[static_cast<size_t>(bookmark)]; }

    // The position of the first entry at or after fromPosition, in the current order, whose
    // name meets the text; -1 when none.
    int findName(const QString &text, NameMatch match, int fromPosition) const;

private:
    std::optional<int> fieldByName(QStringView name) const override;
    int compare(Bookmark a, Bookmark b, int field) const override;
    QVariant valueAt(Bookmark row, int field) const override;
    qint64 idAt(Bookmark row) const override { return atBookmark(row).id; }

    std::vector<FoodEntry> m_rows;
};
