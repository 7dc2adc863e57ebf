#pragma once

#include "MealFigures.h"
#include "RowTable.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <optional>
#include <vector>

// One meal with its food entry's values multiplied out by the amount eaten.
struct MealRow
{
    qint64 ID = 0;
    QDateTime When;   // invalid when the stored text is not a date-time
    QString WhenText; // the stored text, kept only when When is invalid
    QString Who;
    QString Food;
    double Amount = 0;
    QString Units;
    double CaloriesPerUnit = 0;
    QString FoodUnits; // the food entry's units: the same as Units through the join
    double Calories = 0;
    double Vegetables = 0;
    double Fruits = 0;
    double Supplements = 0;
    double Entrees = 0;

    MealFigures figures() const { return {Calories, Vegetables, Fruits, Supplements, Entrees}; }
    void setFigures(const MealFigures &figures);
};

// The fields of a meal row, in the order the meal list gives them.
enum class MealField {
    ID,
    When,
    Who,
    Food,
    Amount,
    Units,
    CaloriesPerUnit,
    FoodUnits,
    Calories,
    Vegetables,
    Fruits,
    Supplements,
    Entrees,
};

// The field's name as the meal list calls it ("Units" for both unit fields).
QString fieldName(MealField field);
// The field with this name, without regard to case; "Units" is the meal's own units.
std::optional<MealField> mealFieldByName(QStringView name);
// The field's value; for a When that is not a date-time, the text stored.
QVariant mealFieldValue(const MealRow &row, MealField field);

// The meals of a span, in time order as they came in (see RowTable).
class MealRows : public RowTable
{
public:
    explicit MealRows(std::vector<MealRow> rows = {});

    // The row at a position of the current order.
    const MealRow &at(int position) const { return atBookmark(bookmarkAt(position)); }
    const MealRow &atBookmark(Bookmark bookmark) const { return m_rows[static_cast<size_t>(bookmark)]; }

    // A cursor of its own over the rows in their current order.
    class Cursor
    {
    public:
        explicit Cursor(const MealRows &rows) : m_rows(&rows) {}
        void moveNext() { ++m_position; }
        bool atEnd() const { return m_position >= m_rows->count(); }
        const MealRow &row() const { return m_rows->at(m_position); }

    private:
        const MealRows *m_rows;
        int m_position = 0;
    };
    Cursor cursor() const { return Cursor(*this); }

private:
    std::optional<int> fieldByName(QStringView name) const override;
    int compare(Bookmark a, Bookmark b, int field) const override;
    QVariant valueAt(Bookmark row, int field) const override;
    qint64 idAt(Bookmark row) const override { return atBookmark(row).ID; }

    std::vector<MealRow> m_rows;
};

// The grand totals over the meals of a span.
struct MealTotals
{
    double TotalCalories = 0;
    double TotalFruits = 0;
    double TotalVegetables = 0;
    qint64 TotalMeals = 0;
    double TotalSupplements = 0;
    double TotalEntrees = 0;
    QDateTime FirstDate; // the earliest meal's date and time; invalid when no meal has one
    QDateTime LastDate;
};

// The totals over every row; the first and last date over the rows whose When is a date-time.
MealTotals totalsOf(const MealRows &rows);
