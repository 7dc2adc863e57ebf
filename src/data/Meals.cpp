#include "Meals.h"

#include "Connection.h"
#include "Schema.h"
#include "Writes.h"

namespace {

QString mealKey(qint64 id)
{
    return QStringLiteral("number %1").arg(id);
}

QVariantList values(const Meal &meal)
{
    return {meal.who, Schema::whenText(meal.when), meal.food, meal.amount, meal.units};
}

} // namespace

Result<std::optional<Meal>> Meals::byId(qint64 id) const
{
    Connection::Statement query = m_connection.statement(
        QStringLiteral("SELECT ID, Who, \"When\", Food, Amount, Units FROM Meals WHERE ID = ?"));
    return query.bind(id).first([](const Connection::Statement &row) {
        return Meal{row.value(0).toLongLong(), row.value(1).toString(), Schema::whenFromText(row.value(2).toString()),
                    row.value(3).toString(),   row.value(4).toDouble(), row.value(5).toString()};
    });
}

Result<qint64> Meals::insert(const Meal &meal)
{
    return Writes::insert(
        m_connection, QStringLiteral("INSERT INTO Meals (Who, \"When\", Food, Amount, Units) VALUES (?, ?, ?, ?, ?)"),
        values(meal));
}

Status Meals::update(const Meal &meal)
{
    return Writes::changeOne(
        m_connection, QStringLiteral("UPDATE Meals SET Who = ?, \"When\" = ?, Food = ?, Amount = ?, Units = ? WHERE ID = ?"),
        values(meal) << meal.id, QStringLiteral("meal"), mealKey(meal.id));
}

Status Meals::remove(qint64 id)
{
    return Writes::changeOne(m_connection, QStringLiteral("DELETE FROM Meals WHERE ID = ?"), {id},
                             QStringLiteral("meal"), mealKey(id));
}

std::pair<QString, QString> Meals::whenRange(const DateSpan &span)
{
    // The midnight after 9999-12-31 would read "10000-01-01 ...", which sorts before every time
    // of that year: "9999-12-32" sorts after all of them, whatever follows the date.
    const QString end = span.end.date().year() > 9999 ? QStringLiteral("9999-12-32") : Schema::whenText(span.end);
    return {Schema::whenText(span.begin), end};
}
