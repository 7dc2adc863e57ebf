#pragma once

#include "Connection.h"

#include <QString>
#include <QVariantList>

#include <optional>

// The rules every write of the data layer follows: it is one transaction (or part of the
// caller's), and a write by key changes exactly the one row it names, or nothing.
namespace Writes {

// The failure of a write whose row is not there.
Status notFound(const QString &thing, const QString &key);

// Runs a bound UPDATE or DELETE of the row of a thing ("meal", "food", "client") named by key,
// inside the caller's transaction. No row, or more than one (a file whose keys are not unique),
// is a failure, and the caller's transaction then rolls back.
Status exactlyOne(Connection::Statement &statement, const QString &thing, const QString &key);

// The same, as a transaction of its own: sql with its values bound in order.
Status changeOne(Connection &connection, const QString &sql, const QVariantList &values, const QString &thing,
                 const QString &key);

// Runs write in one transaction, provided the row still holds asRead, the row as the caller
// read it; readNow reads it again inside the transaction, so that nobody can change it between
// the check and the write. A row that is gone is a Status::missing, one another user or program
// changed a Status::changed; neither is written.
template <typename Row, typename Read, typename Write>
Status ifUnchanged(Connection &connection, const Row &asRead, Read readNow, Write write, const QString &thing,
                   const QString &key)
{
    Connection::Transaction transaction(connection);
    if (!transaction.status())
        return transaction.status();
    const Result<std::optional<Row>> now = readNow();
    if (!now)
        return now.status();
    if (!now.value())
        return notFound(thing, key);
    if (!(*now.value() == asRead))
        return Status::changed(
            QStringLiteral("Another user or program changed the %1 %2 after it was opened here.").arg(thing, key));
    if (const Status written = write(); !written)
        return written;
    return transaction.commit();
}

// Runs an INSERT with its values bound in order, as a transaction of its own; gives the ID the
// database gave the new row.
Result<qint64> insert(Connection &connection, const QString &sql, const QVariantList &values);

} // namespace Writes
