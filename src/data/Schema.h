#pragma once

#include "Status.h"

#include <QDateTime>
#include <QStringList>

#include <vector>

class Connection;
class QSqlDatabase;

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
// The stored text read back as a wall-clock date-time, in that form or any other SQLite's date
// functions read ("yyyy-MM-dd HH:mm", a "T", fractions of a second, an offset from UTC); an
// invalid QDateTime when it is not one.
QDateTime whenFromText(QStringView text);

// A yes/no field is yes when it holds any number other than 0; empty is no.
bool flag(const QVariant &value);

// What a database lacks of the contract: whole tables, and fields of tables that exist
// (written "Table.Field"). Names compare without regard to case, as SQLite's do.
struct Check
{
    QStringList missingTables;
    QStringList missingFields;
    QString errorText; // set when the database could not even be read
    bool ok() const { return missingTables.isEmpty() && missingFields.isEmpty() && errorText.isEmpty(); }
};
Check check(Connection &connection);

// Whether name is a table of the database, into which rows can be written (not a view).
Result<bool> isTable(Connection &connection, const QString &name);

// Creates the four tables, the indexes the meal and report queries need and the standard
// units, in one transaction, on an open database that holds none of them.
Status create(Connection &connection);

// After rows were written with the IDs they had elsewhere (a diary copied from a file), makes
// the IDs of new rows follow on from the largest.
Status followIdentities(Connection &connection);

} // namespace Schema
