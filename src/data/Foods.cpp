#include "Foods.h"

#include "Connection.h"
#include "Schema.h"
#include "Writes.h"

FoodEntry Foods::perUnitAt(const Connection::Statement &row, int first)
{
    FoodEntry entry;
    entry.caloriesPerUnit = row.value(first).toDouble();
    entry.vegetableServings = row.value(first + 1).toDouble();
    entry.fruitServings = row.value(first + 2).toDouble();
    entry.entree = Schema::flag(row.value(first + 3));
    entry.supplement = Schema::flag(row.value(first + 4));
    return entry;
}

namespace {

const QString entryColumns = QStringLiteral("Foods.ID, Foods.Food, Foods.Units, ") + QLatin1String(Foods::perUnitColumns);

FoodEntry entryAt(const Connection::Statement &query)
{
    FoodEntry entry = Foods::perUnitAt(query, 3);
    entry.id = query.value(0).toLongLong();
    entry.food = query.value(1).toString();
    entry.units = query.value(2).toString();
    return entry;
}

QVariantList values(const FoodEntry &entry)
{
    return {entry.food, entry.units, entry.caloriesPerUnit, entry.vegetableServings, entry.fruitServings,
            entry.entree ? 1 : 0, entry.supplement ? 1 : 0};
}

QString entryKey(qint64 id)
{
    return QStringLiteral("number %1").arg(id);
}

} // namespace

Result<std::vector<FoodEntry>> Foods::all() const
{
    return m_connection.statement(QStringLiteral("SELECT %1 FROM Foods ORDER BY ID").arg(entryColumns)).rows(entryAt);
}

Result<QStringList> Foods::names() const
{
    return m_connection.statement(QStringLiteral("SELECT DISTINCT Food FROM Foods ORDER BY Food")).texts();
}

Result<QStringList> Foods::unitsOf(const QString &food) const
{
    return m_connection.statement(QStringLiteral("SELECT DISTINCT Units FROM Foods WHERE Food = ? ORDER BY Units"))
        .bind(food)
        .texts();
}

Result<std::optional<FoodEntry>> Foods::find(const QString &food, const QString &units) const
{
    Connection::Statement query = m_connection.statement(
        QStringLiteral("SELECT %1 FROM Foods WHERE Food = ? AND Units = ? ORDER BY ID").arg(entryColumns));
    return query.bind(food).bind(units).first(entryAt);
}

Result<std::optional<FoodEntry>> Foods::byId(qint64 id) const
{
    Connection::Statement query =
        m_connection.statement(QStringLiteral("SELECT %1 FROM Foods WHERE ID = ?").arg(entryColumns));
    return query.bind(id).first(entryAt);
}

Result<qint64> Foods::mealsUsing(const QString &food, const QString &units) const
{
    return m_connection.statement(QStringLiteral("SELECT count(*) FROM Meals WHERE Food = ? AND Units = ?"))
        .bind(food)
        .bind(units)
        .wholeNumber();
}

Result<qint64> Foods::insert(const FoodEntry &entry)
{
    return Writes::insert(m_connection,
                          QStringLiteral("INSERT INTO Foods (Food, Units, CaloriesPerUnit, VegetableServings,"
                                         " FruitServings, EntreeFlag, SupplementFlag) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                          values(entry));
}

Status Foods::update(const FoodEntry &entry, const FoodEntry &asRead)
{
    return Writes::ifUnchanged(
        m_connection, asRead, [&] { return byId(entry.id); },
        [&] {
            return Writes::changeOne(
                m_connection,
                QStringLiteral("UPDATE Foods SET Food = ?, Units = ?, CaloriesPerUnit = ?, VegetableServings = ?,"
                               " FruitServings = ?, EntreeFlag = ?, SupplementFlag = ? WHERE ID = ?"),
                values(entry) << entry.id, QStringLiteral("food"), entryKey(entry.id));
        },
        QStringLiteral("food"), entryKey(entry.id));
}

Result<qint64> Foods::removeUnused(qint64 id)
{
    Connection::Transaction transaction(m_connection);
    if (!transaction.status())
        return transaction.status();
    const Result<std::optional<FoodEntry>> entry = byId(id);
    if (!entry)
        return entry.status();
    if (!entry.value())
        return Writes::notFound(QStringLiteral("food"), entryKey(id));
    const Result<qint64> inUse = mealsUsing(entry.value()->food, entry.value()->units);
    if (!inUse || *inUse > 0)
        return inUse;
    // Joins this transaction: the count and the delete are one.
    const Status removed = Writes::changeOne(m_connection, QStringLiteral("DELETE FROM Foods WHERE ID = ?"), {id},
                                             QStringLiteral("food"), entryKey(id));
    if (!removed)
        return removed;
    if (const Status saved = transaction.commit(); !saved)
        return saved;
    return qint64(0);
}
