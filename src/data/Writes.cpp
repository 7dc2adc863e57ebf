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

// Why an INSERT failed: when its table ("INSERT INTO Table ...") has given out the largest ID
// there is, every new row is refused, which the engine reports as a full disk.
Status insertFailure(Connection &connection, const QString &sql, const Status &failure)
{
    // A server says so itself.
    if (connection.engine() != Engine::File)
        return failure;
    const QString table = sql.section(QLatin1Char(' '), 2, 2);
    const Result<qint64> usedUp = connection.statement(QStringLiteral("SELECT count(*) FROM sqlite_sequence WHERE name = ?"
                                                                      " AND seq >= 9223372036854775807"))
                                      .bind(table)
                                      .wholeNumber();
    if (!usedUp.ok() || *usedUp == 0)
        return failure;
    return Status::failure(QStringLiteral("No more entries can be numbered in the table %1: its largest ID is already "
                                          "the largest there can be, so nothing was saved.")
                               .arg(table));
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
    Connection::Statement statement = bound(connection, Dialect::returningId(connection.engine(), sql), values);
    if (!statement.exec())
        return insertFailure(connection, sql, statement.status());
    const qint64 id = connection.engine() == Engine::File ? statement.lastInsertId()
                      : statement.next()                 ? statement.value(0).toLongLong()
                                                         : 0;
    if (const Status saved = transaction.commit(); !saved)
        return saved;
    return id;
}

} // namespace Writes
