#include "Clients.h"

#include "Connection.h"
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

Status Clients::add(const Client &client)
{
    return Writes::insert(m_connection, QStringLiteral("INSERT INTO Clients (Who, CalorieBudget) VALUES (?, ?)"),
                          {client.who, budgetValue(client)})
        .status();
}

Status Clients::change(const QString &who, const Client &changed)
{
    Connection::Transaction transaction(m_connection);
    if (!transaction.status())
        return transaction.status();
    Connection::Statement update =
        m_connection.statement(QStringLiteral("UPDATE Clients SET Who = ?, CalorieBudget = ? WHERE Who = ?"));
    update.bind(changed.who).bind(budgetValue(changed)).bind(who);
    if (const Status done = Writes::exactlyOne(update, QStringLiteral("client"), clientKey(who)); !done)
        return done;
    Connection::Statement meals = m_connection.statement(QStringLiteral("UPDATE Meals SET Who = ? WHERE Who = ?"));
    if (!meals.bind(changed.who).bind(who).exec())
        return meals.status();
    return transaction.commit();
}

Status Clients::remove(const QString &who)
{
    Connection::Transaction transaction(m_connection);
    if (!transaction.status())
        return transaction.status();
    Connection::Statement meals = m_connection.statement(QStringLiteral("DELETE FROM Meals WHERE Who = ?"));
    if (!meals.bind(who).exec())
        return meals.status();
    Connection::Statement remove = m_connection.statement(QStringLiteral("DELETE FROM Clients WHERE Who = ?"));
    remove.bind(who);
    if (const Status done = Writes::exactlyOne(remove, QStringLiteral("client"), clientKey(who)); !done)
        return done;
    return transaction.commit();
}
