#include "Clients.h"

#include "Connection.h"
#include "EntryChecks.h"
#include "Writes.h"

namespace {

QString clientKey(const QString &who)
{
    return QLatin1Char('"') + who + QLatin1Char('"');
}

std::optional<double> budgetFrom(const QVariant &value)
{
    bool isNumber = false;
    const double budget = value.toDouble(&isNumber);
    return value.isNull() || !isNumber ? std::nullopt : std::optional<double>(budget);
}

Client clientAt(const Connection::Statement &row)
{
    return {row.value(0).toString(), budgetFrom(row.value(1))};
}

QVariant budgetValue(const Client &client)
{
    return client.calorieBudget ? QVariant(*client.calorieBudget) : QVariant();
}

// Refuses the name when a client other than who has it already; with who null, any client.
Status nameIsFree(Connection &connection, const QString &name, const QVariant &who)
{
    Connection::Statement query =
        connection.statement(QStringLiteral("SELECT Who FROM Clients WHERE Who = ?%1 AND Who %2 ? LIMIT 1")
                                 .arg(Dialect::caseless(connection.engine()), Dialect::isNot(connection.engine())));
    const Result<QStringList> taken = query.bind(name).bind(who).texts();
    if (!taken)
        return taken.status();
    if (!taken->isEmpty())
        return Status::failure(EntryChecks::clientExists(taken->first()));
    return {};
}

} // namespace

Result<std::vector<Client>> Clients::list() const
{
    return m_connection.statement(QStringLiteral("SELECT Who, CalorieBudget FROM Clients")).rows(clientAt);
}

Result<QStringList> Clients::names() const
{
    return m_connection.statement(QStringLiteral("SELECT DISTINCT Who FROM Clients ORDER BY Who")).texts();
}

Result<std::optional<Client>> Clients::find(const QString &who) const
{
    Connection::Statement query =
        m_connection.statement(QStringLiteral("SELECT Who, CalorieBudget FROM Clients WHERE Who = ?"));
    return query.bind(who).first(clientAt);
}

Result<qint64> Clients::mealCount(const QString &who) const
{
    return m_connection.statement(QStringLiteral("SELECT count(*) FROM Meals WHERE Who = ?")).bind(who).wholeNumber();
}

Result<std::vector<ClientLastMeal>> Clients::listWithLastMeal() const
{
    // SQLite reads a max() over the last column of an index range as the range's last entry.
    Connection::Statement query = m_connection.statement(
        QStringLiteral("SELECT c.Who, c.CalorieBudget, %1 FROM Clients c ORDER BY c.Who")
            .arg(Dialect::whenText(m_connection.engine(),
                                   QStringLiteral("(SELECT max(m.\"When\") FROM Meals m WHERE m.Who = c.Who)"))));
    return query.rows([](const Connection::Statement &row) {
        return ClientLastMeal{clientAt(row), row.value(2).toString()};
    });
}

Status Clients::add(const Client &client)
{
    Connection::Transaction transaction(m_connection);
    if (!transaction.status())
        return transaction.status();
    if (const Status free = nameIsFree(m_connection, client.who, QVariant()); !free)
        return free;
    Connection::Statement insert =
        m_connection.statement(QStringLiteral("INSERT INTO Clients (Who, CalorieBudget) VALUES (?, ?)"));
    if (!insert.bind(client.who).bind(budgetValue(client)).exec())
        return insert.status();
    return transaction.commit();
}

Status Clients::change(const Client &asRead, const Client &changed)
{
    const QString &who = asRead.who;
    return Writes::ifUnchanged(
        m_connection, asRead, [&] { return find(who); },
        [&]() -> Status {
            if (const Status free = nameIsFree(m_connection, changed.who, who); !free)
                return free;
            Connection::Statement update =
                m_connection.statement(QStringLiteral("UPDATE Clients SET Who = ?, CalorieBudget = ? WHERE Who = ?"));
            update.bind(changed.who).bind(budgetValue(changed)).bind(who);
            if (const Status done = Writes::exactlyOne(update, QStringLiteral("client"), clientKey(who)); !done)
                return done;
            if (changed.who != who) {
                // A change of case too: the meals are spelled as the client is.
                Connection::Statement meals =
                    m_connection.statement(QStringLiteral("UPDATE Meals SET Who = ? WHERE Who = ?"));
                if (!meals.bind(changed.who).bind(who).exec())
                    return meals.status();
            }
            return {};
        },
        QStringLiteral("client"), clientKey(who));
}

Result<qint64> Clients::remove(const QString &who, qint64 meals)
{
    Connection::Transaction transaction(m_connection);
    if (!transaction.status())
        return transaction.status();
    Connection::Statement remove = m_connection.statement(QStringLiteral("DELETE FROM Clients WHERE Who = ?"));
    remove.bind(who);
    if (const Status done = Writes::exactlyOne(remove, QStringLiteral("client"), clientKey(who)); !done)
        return done;
    // Counted in this transaction: a meal another program adds meanwhile is not deleted unasked.
    const Result<qint64> counted = mealCount(who);
    if (!counted || *counted != meals)
        return counted;
    Connection::Statement removeMeals = m_connection.statement(QStringLiteral("DELETE FROM Meals WHERE Who = ?"));
    if (!removeMeals.bind(who).exec())
        return removeMeals.status();
    if (const Status saved = transaction.commit(); !saved)
        return saved;
    return meals;
}
