#pragma once

#include "Status.h"

#include <QString>

#include <functional>

class Connection;

// Copying a whole diary, with the IDs of its rows, into a new diary: a clinic's diary file moved
// to its database server.
namespace DiaryCopy {

// The rows copied of each table.
struct Copied
{
    qint64 clients = 0;
    qint64 foods = 0;
    qint64 units = 0;
    qint64 meals = 0;
};

// Told after each batch of rows: the table, the rows of it copied so far and how many it holds.
using Progress = std::function<void(const QString &table, qint64 copied, qint64 total)>;

// Copies every row of the four tables of the diary named source (a file, opened for reading only,
// or a server address) into target, a new diary as Schema::create makes it: the standard units it
// starts with give way to the source's own. The IDs stay as they are, and new rows of target
// are numbered on from the largest. Every table then must hold as many rows as the source's;
// otherwise, or when a value cannot be stored (a "When" that is not a date and time, text where
// a number belongs), the reason names the table, the row and the value. Runs in one transaction
// on target (or in the caller's): on failure nothing of it is kept.
Result<Copied> copy(const QString &source, Connection &target, const Progress &progress = {});

// Makes the diary in the empty server database at uri a copy of the diary source, with the
// password given (or else the one libpq finds), in one transaction: the whole diary or nothing.
Result<Copied> toServer(const QString &source, const QString &uri, const QString &password,
                        const Progress &progress = {});

} // namespace DiaryCopy
