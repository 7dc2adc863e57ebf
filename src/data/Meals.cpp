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
    return {meal.who, meal.whenAsStored.isEmpty() ? Schema::whenText(meal.when) : meal.whenAsStored, meal.food,
            meal.amount, meal.units};
}

// A meal is reached through its client and its food entry: one written after another program
// renamed or deleted either would be stored where no view, count or report shows it. Runs inside
// the write's transaction, so nothing can remove them between the check and the write.
Status namedRowsExist(Connection &connection, const Meal &meal)
{
    const Result<qint64> clients =
        connection.statement(QStringLiteral("SELECT count(*) FROM Clients WHERE Who = ?")).bind(meal.who).wholeNumber();
    if (!clients)
        return clients.status();
    if (*clients == 0)
        return Status::failure(QStringLiteral("The client '%1' is no longer in the diary: another program has renamed "
                                              "or deleted the client. Choose the client again.")
                                   .arg(meal.who));
    const Result<qint64> entries =
        connection.statement(QStringLiteral("SELECT count(*) FROM Foods WHERE Food = ? AND Units = ?"))
            .bind(meal.food)
            .bind(meal.units)
            .wholeNumber();
    if (!entries)
        return entries.status();
    if (*entries == 0)
        return Status::failure(QStringLiteral("There is no longer a food entry for '%1' in %2: another program has "
                                              "changed or deleted it. Choose the food again.")
                                   .arg(meal.food, meal.units));
    return {};
}

// Runs the write of a meal in one transaction with the check above.
template <typename Write>
auto namingRowsThatExist(Connection &connection, const Meal &meal, Write write) -> decltype(write())
{
    Connection::Transaction transaction(connection);
    if (!transaction.status())
        return transaction.status();
    if (const Status named = namedRowsExist(connection, meal); !named)
        return named;
    auto written = write();
    if (!written)
        return written;
    if (const Status saved = transaction.commit(); !saved)
        return saved;
    return written;
}

} // namespace

Result<std::optional<Meal>> Meals::byId(qint64 id) const
{
    Connection::Statement query = m_connection.statement(
        QStringLiteral("SELECT ID, Who, %1, Food, Amount, Units FROM Meals WHERE ID = ?")
            .arg(Dialect::whenText(m_connection.engine(), QStringLiteral("\"When\""))));
    return query.bind(id).first([](const Connection::Statement &row) {
        const QString when = row.value(2).toString();
        return Meal{row.value(0).toLongLong(), row.value(1).toString(), Schema::whenFromText(when),
                    row.value(3).toString(),   row.value(4).toDouble(), row.value(5).toString(), when};
    });
}

Result<qint64> Meals::insert(const Meal &meal)
{
    return namingRowsThatExist(m_connection, meal, [&] {
        return Writes::insert(
            m_connection,
            QStringLiteral("INSERT INTO Meals (Who, \"When\", Food, Amount, Units) VALUES (?, ?, ?, ?, ?)"),
            values(meal));
    });
}

Status Meals::update(const Meal &meal, const Meal &asRead)
{
    return Writes::ifUnchanged(
        m_connection, asRead, [&] { return byId(meal.id); },
        [&] {
            return namingRowsThatExist(m_connection, meal, [&] {
                return Writes::changeOne(
                    m_connection,
                    QStringLiteral("UPDATE Meals SET Who = ?, \"When\" = ?, Food = ?, Amount = ?, Units = ? WHERE ID = ?"),
                    values(meal) << meal.id, QStringLiteral("meal"), mealKey(meal.id));
            });
        },
        QStringLiteral("meal"), mealKey(meal.id));
}

Status Meals::remove(qint64 id)
{
    return Writes::changeOne(m_connection, QStringLiteral("DELETE FROM Meals WHERE ID = ?"), {id},
                             QStringLiteral("meal"), mealKey(id));
}

Result<QList<qint64>> Meals::copyTo(const QList<qint64> &ids, QDate day, const QString &who)
{
    Connection::Transaction transaction(m_connection);
    if (!transaction.status())
        return transaction.status();
    QList<qint64> copies;
    for (const qint64 id : ids) {
        const Result<std::optional<Meal>> read = byId(id);
        if (!read)
            return read.status();
        if (!*read)
            return Status::failure(QStringLiteral("The meal %1 is no longer in the diary: another program has deleted "
                                                  "it.")
                                       .arg(mealKey(id)));
        Meal copy = **read;
        if (!copy.when.isValid())
            return Status::failure(QStringLiteral("The meal %1 has no time that can be read: \"%2\".")
                                       .arg(mealKey(id), copy.whenAsStored));
        copy.when = wallClock(day, copy.when.time());
        copy.whenAsStored.clear();
        if (!who.isEmpty())
            copy.who = who;
        const Result<qint64> added = insert(copy);
        if (!added)
            return added.status();
        copies.append(*added);
    }
    if (const Status saved = transaction.commit(); !saved)
        return saved;
    return copies;
}

Result<std::vector<std::pair<QString, qint64>>> Meals::mealsPerFood(const QString &client, const DateSpan &span) const
{
    // The client's meals of the span are one stretch of the index on (Who, When).
    const auto [begin, end] = whenRange(span);
    Connection::Statement query = m_connection.statement(
        QStringLiteral("SELECT Food, count(*) FROM Meals WHERE Who = ? AND \"When\" >= ? AND \"When\" < ? GROUP BY Food"));
    return query.bind(client).bind(begin).bind(end).rows([](const Connection::Statement &row) {
        return std::pair<QString, qint64>(row.value(0).toString(), row.value(1).toLongLong());
    });
}

std::pair<QString, QString> Meals::whenRange(const DateSpan &span)
{
    // The midnight after 9999-12-31 would read "10000-01-01 ...", which sorts before every time
    // of that year: "9999-12-32" sorts after all of them, whatever follows the date.
    const QString end = span.end.date().year() > 9999 ? QStringLiteral("9999-12-32") : Schema::whenText(span.end);
    return {Schema::whenText(span.begin), end};
}
