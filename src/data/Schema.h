#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>

#include <vector>

// The contract between Mealwright and its database file: four tables reached by field name.
// Meals(ID, Who, When, Food, Amount, Units), Foods(ID, Food, Units, CaloriesPerUnit,
// VegetableServings, FruitServings, EntreeFlag, SupplementFlag), Units(ID, Units) and
// Clients(Who, CalorieBudget).
namespace Schema {

struct Table
{
    QString name;
    QStringList fields;
};

// The four tables with the fields Mealwright reads and writes.
const std::vector<Table> &tables();

// The units a new database starts with.
const QStringList &standardUnits();

// "When" is stored as text "yyyy-MM-dd HH:mm:ss", which sorts and compares as a date-time.
QString whenText(const QDateTime &moment);
// The stored text read back as a wall-clock date-time; an invalid QDateTime when it is not one.
QDateTime whenFromText(QStringView text);

// What a database lacks of the contract: whole tables, and fields of tables that exist
// (written "Table.Field"). Names compare without regard to case, as SQLite's do.
struct Check
{
    QStringList missingTables;
    QStringList missingFields;
    QString errorText; // set when the database could not even be read
    bool ok() const { return missingTables.isEmpty() && missingFields.isEmpty() && errorText.isEmpty(); }
};
Check check(const QSqlDatabase &db);

// One row of the Foods table.
struct FoodEntry
{
    QString food;
    QString units;
    double caloriesPerUnit = 0;
    double vegetableServings = 0; // per unit
    double fruitServings = 0;     // per unit
    bool entree = false;
    bool supplement = false;
};

// Adds food entries to the Foods table. Returns the empty text, or the database's words for
// the first entry that could not be added (the caller's transaction decides what stays).
template <typename Entries>
QString insertFoods(const QSqlDatabase &db, const Entries &entries);
QString insertFood(QSqlQuery &prepared, const FoodEntry &entry);
QString prepareFoodInsert(QSqlQuery &query);

template <typename Entries>
QString insertFoods(const QSqlDatabase &db, const Entries &entries)
{
    QSqlQuery query(db);
    QString error = prepareFoodInsert(query);
    for (const FoodEntry &entry : entries) {
        if (!error.isEmpty())
            break;
        error = insertFood(query, entry);
    }
    return error;
}

// Creates the four tables, the indexes the meal and report queries need and the standard
// units, in one transaction, on an open database that holds none of them.
// Returns the empty text on success, otherwise what went wrong.
QString create(QSqlDatabase &db);

} // namespace Schema
