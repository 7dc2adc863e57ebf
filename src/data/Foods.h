#pragma once

#include "FoodRows.h"
#include "Status.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include "Connection.h"

// The Foods table, the food catalogue. Meals name an entry by its food and units, which the
// catalogue keeps unique; names compare as the database compares them (without regard to
// case). Each write is one transaction (or part of the caller's) and changes exactly the entry
// it names.
class Foods
{
public:
    explicit Foods(Connection &connection) : m_connection(connection) {}

    // The columns of an entry's values per unit, "Foods.CaloriesPerUnit, ..." in the order
    // perUnitAt reads them, for a statement that joins Foods.
    static constexpr char perUnitColumns[] = "Foods.CaloriesPerUnit, Foods.VegetableServings, Foods.FruitServings,"
                                             " Foods.EntreeFlag, Foods.SupplementFlag";
    // Those values read from a row, starting at column first; the entry's ID and names are left empty.
    static FoodEntry perUnitAt(const Connection::Statement &row, int first);

    // Every entry, in the order of their IDs.
    Result<std::vector<FoodEntry>> all() const;
    // The distinct food names, sorted.
    Result<QStringList> names() const;
    // The units the food has entries in, sorted.
    Result<QStringList> unitsOf(const QString &food) const;
    // The entry of a food in a unit; none when the catalogue has no such entry.
    Result<std::optional<FoodEntry>> find(const QString &food, const QString &units) const;
    Result<std::optional<FoodEntry>> byId(qint64 id) const;
    // The number of meals that name the food in the units.
    Result<qint64> mealsUsing(const QString &food, const QString &units) const;

    // Adds the entry (its id is ignored); gives the ID the database gave it.
    Result<qint64> insert(const FoodEntry &entry);
    // Writes every field but the ID to the entry with that ID, provided the row still holds
    // asRead, the entry as the caller read it: one another program or user changed meanwhile is
    // not written over (Status::isChanged), nor one deleted meanwhile (Status::isMissing).
    Status update(const FoodEntry &entry, const FoodEntry &asRead);

    // Deletes the entry with this ID unless meals use it, checked and done in one transaction.
    // Gives the number of meals that use it: 0 when it was deleted, otherwise nothing changed.
    Result<qint64> removeUnused(qint64 id);

private:
    Connection &m_connection;
};
