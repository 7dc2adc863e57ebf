#pragma once

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
QString mealFieldName(MealField field);
// The field with this name, without regard to case; "Units" is the meal's own units.
std::optional<MealField> mealFieldByName(QStringView name);
// The field's value; for a When that is not a date-time, the text stored.
QVariant mealFieldValue(const MealRow &row, MealField field);

// The meals of a span as a list that can be re-ordered by any field, searched by ID and walked
// by several cursors at once. Each row keeps a bookmark for as long as the list lives: the
// position it had when the list was made (time order).
class MealRows
{
public:
    using Bookmark = int;

    explicit MealRows(std::vector<MealRow> rows = {});

    int count() const { return static_cast<int>(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    // The row at a position of the current order.
    const MealRow &at(int position) const { return m_rows[static_cast<size_t>(m_order[static_cast<size_t>(position)])]; }
    const MealRow &atBookmark(Bookmark bookmark) const { return m_rows[static_cast<size_t>(bookmark)]; }
    Bookmark bookmarkAt(int position) const { return m_order[static_cast<size_t>(position)]; }
    int positionOf(Bookmark bookmark) const { return m_positionOf[static_cast<size_t>(bookmark)]; }

    // Orders the rows by a sort text made of a field name, a blank and ASC or DESC
    // ("Calories DESC"; the direction may be left out for ASC). Rows with equal values keep
    // their time order. False, and nothing changed, for a text that names no field.
    bool sort(QStringView sortText);
    // The sort text last applied; empty while the rows are in the order they came in.
    QString sortText() const { return m_sortText; }

    // The position of the first row at or after fromPosition whose ID is id; -1 when none.
    int find(qint64 id, int fromPosition = 0) const;

    // A cursor of its own over the rows in their current order.
    class Cursor
    {
    public:
        explicit Cursor(const MealRows &rows) : m_rows(&rows) {}
        void moveFirst() { m_position = 0; }
        void moveNext() { ++m_position; }
        bool atEnd() const { return m_position >= m_rows->count(); }
        int position() const { return m_position; }
        const MealRow &row() const { return m_rows->at(m_position); }

    private:
        const MealRows *m_rows;
        int m_position = 0;
    };
    Cursor cursor() const { return Cursor(*this); }

private:
    std::vector<MealRow> m_rows;
    std::vector<Bookmark> m_order;
    std::vector<int> m_positionOf;
    QString m_sortText;
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
