#pragma once

#include "Status.h"

#include <QString>

#include <functional>

class Connection;

// Making a new diary: File > New..., mealwright-newdb and the tests all make one here.
namespace NewDiary {

// Creates a new, empty diary at path: the four tables, their indexes and the standard units.
// An existing file or folder at path is never touched. The database is built in a temporary
// file in the same folder and renamed into place when it is complete, so a failure leaves
// nothing behind (and what a killed run left there goes first). A name that holds U+FFFD (bytes
// that were not UTF-8 text) is refused. On failure the reason says in plain words what is wrong.
//
// A server address (see ServerAddress) makes the diary in that database instead, which must hold
// no tables yet; the tables, the units and what fill adds are one transaction.
Status create(const QString &path);

// The same, with fill run on the new database (inside no transaction of ours) before the file
// is put in place; when fill fails, nothing is put in place.
Status create(const QString &path, const std::function<Status(Connection &)> &fill);

// The same on a server, with the password given (or else the one libpq finds).
Status createOnServer(const QString &uri, const QString &password, const std::function<Status(Connection &)> &fill);

} // namespace NewDiary
