#include "Writes.h"

namespace Writes {

namespace {

Connection::Statement bound(Connection &connection, const QString &sql, const QVariantList &values)
{
    Connection::Statement statement = connection.statement(sql);
    for (const QVariant &value : values)
        statement.bind(value);
    return statement;
}

} // namespace

Status notFound(const QString &thing, const QString &key)
{
    return Status::missing(
        QStringLiteral("The %1 %2 could not be found. It may have been deleted already.").arg(thing, key));
}

Status exactlyOne(Connection::Statement &statement, const QString &thing, const QString &key)
{
    if (!statement.exec())
        return statement.status();
    const qint64 changed = statement.rowsAffected();
    if (changed == 0)
        return notFound(thing, key);
    if (changed > 1)
        return Status::failure(QStringLiteral("The database holds %1 rows for the %2 %3, where there should be "
                                              "one, so Mealwright changed none of them.")
                                   .arg(changed)
                                   .arg(thing, key));
    return {};
}

Status changeOne(Connection &connection, const QString &sql, const QVariantList &values, const QString &thing,
                 const QString &key)
{
    Connection::Transaction transaction(connection);
    if (!transaction.status())
        return transaction.status();
    Connection::Statement statement = bound(connection, sql, values);
    if (const Status changed = exactlyOne(statement, thing, key); !changed)
        return changed;
    return transaction.commit();
}

Result<qint64> insert(Connection &connection, const QString &sql, const QVariantList &values)
{
    Connection::Transaction transaction(connection);
    if (!transaction.status())
        return transaction.status();
    Connection::Statement statement = bound(connection, sql, values);
    if (!statement.exec())
        return statement.status();
    const qint64 id = statement.lastInsertId();
    if (const Status saved = transaction.commit(); !saved)
        return saved;
    return id;
}

} // namespace Writes
