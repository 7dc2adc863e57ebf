#pragma once

#include "DatabaseProbe.h"

#include <QString>
#include <QStringList>

class QSqlError;

// The two engines a diary lives on: a file (SQLite) or a database on a PostgreSQL server.
enum class Engine { File, Server };

// Everything in which the SQL of the two engines differs, in one place: the types of the tables,
// text that compares without regard to case, the date-time column, identity columns, how a write
// begins, and what the engines' errors mean. Every other statement of the data layer is the same
// on both.
namespace Dialect {

// The Qt SQL driver of the engine.
QString driver(Engine engine);

// The statements that make the four tables and their indexes in an empty database.
const QStringList &createStatements(Engine engine);
// Statements that set the next ID of every table to one past its largest, after rows were added
// with their IDs given (a copied diary); none for a file, whose IDs follow on by themselves.
const QStringList &followIdentities(Engine engine);

// A date-time column (qualified as the statement needs, "Meals.\"When\"") as a SELECT gives it:
// the text "yyyy-MM-dd HH:mm:ss", the form of the file.
QString whenText(Engine engine, const QString &column);
// Follows a comparison of text to make it compare without regard to case also in a file whose
// column was made without that.
QString caseless(Engine engine);
// "a IS NOT b" where NULL equals NULL.
QString isNot(Engine engine);

// Begins a write transaction, which holds until COMMIT: on a file it takes the write lock at
// once; on a server a row that another user changed meanwhile fails the write rather than being
// written over.
QString beginWrite(Engine engine);
// The INSERT sql, made to give the ID of the row it adds as its one row.
QString returningId(Engine engine, const QString &sql);

// Whether the engine can prepare the statement (the server prepares only SELECT, INSERT, UPDATE,
// DELETE and VALUES); one it cannot is run as it is, and takes no values.
bool isPreparable(const QString &sql);

// A statement giving the names of the columns of the table bound to its one marker (none when
// there is no such table), and one counting the tables of the diary's database.
QString columnsOf(Engine engine);
QString tableCount(Engine engine);

// The engine's error in words a user can act on.
QString plainWords(Engine engine, const QSqlError &error);
// Whether the error is another user's change that this write collided with.
bool isCollision(Engine engine, const QSqlError &error);
// Whether the error means the connection to the server has gone.
bool isConnectionLost(Engine engine, const QSqlError &error);
// Why a database file could not be opened, and whether a file that opened for writing could
// not make its journal (its folder is read-only).
OpenResult fileOpenFailure(const QSqlError &error);
bool isJournalRefused(const QSqlError &error);
// Why a server database could not be opened.
OpenResult serverOpenFailure(const QSqlError &error);

} // namespace Dialect
