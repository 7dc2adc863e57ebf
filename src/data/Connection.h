#pragma once

#include "DatabaseProbe.h"
#include "Dialect.h"
#include "Status.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class QSqlDatabase;
class QSqlError;
class QSqlQuery;

enum class Access { ReadWrite, ReadOnly };

// One diary open, with the statements prepared on it: a database file through Qt's SQLite
// driver, or a database on a PostgreSQL server through its PostgreSQL driver. Every statement of
// the data layer runs through a connection; the table classes and the commands take the one they
// run on, and only the dialect tells the engines apart.
class Connection
{
public:
    // name: the name of the driver connection, unique in the program.
    explicit Connection(QString name);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens an existing Mealwright database, closing whatever was open. The file must be a
    // regular file holding the four Mealwright tables, readable now and, for ReadWrite, writable
    // now: no other program may hold a lock on it and its folder must take the journal. Nothing
    // is created or changed on disk, also when the open fails; then nothing is open afterwards.
    // (Only a save another program left unfinished is undone when the file opens for writing;
    // read-only, such a file is refused.) While the file is open, no output file replaces it.
    //
    // A name that is a server address (see ServerAddress) opens the diary on that server, with
    // the password given or else the one libpq finds (PGPASSWORD, ~/.pgpass). The database must
    // hold the four tables, and the user must be allowed to read them and, for ReadWrite, to
    // write them. A connection that is lost is made again when the next statement runs outside
    // a transaction.
    OpenResult open(const QString &name, Access access = Access::ReadWrite, const QString &password = QString());
    // Opens a new, empty file to build a database in (see Schema::create), without the checks;
    // or a database on a server that must hold no tables yet.
    Status openNew(const QString &name, const QString &password = QString());
    // Opens the file or server database as it is, without any of the checks (for tools that
    // repair or inspect a diary, and for tests that play another program).
    Status openAsIs(const QString &name, const QString &password = QString());
    void close();

    // Called with true before a statement that may wait for another program's lock, and with
    // false when it is done: a program with windows sets it once, to show that it is busy.
    static void setWaitHook(std::function<void(bool waiting)> hook);

    // Whether a diary is open; a server diary whose connection was lost counts as open, and
    // its statements say that the server cannot be reached.
    bool isOpen() const;
    // The file that is open, or the address of the server diary; empty while none is.
    const QString &path() const { return m_path; }
    Engine engine() const { return m_engine; }

    class Statement;
    class Transaction;

    // A statement prepared once on this connection and kept until it closes. A statement that
    // cannot be prepared (no database open, a table that is a view, ...) says why in status().
    Statement statement(const QString &sql);

private:
    QSqlDatabase database() const;
    bool hasDatabase() const;
    OpenResult openChecked(const QString &path, Access access);
    OpenResult openServer(const QString &uri, Access access, const QString &password);
    Status startSession();
    OpenResult checkServerDiary(Access access);
    void setPath(const QString &path);
    // Notes the error a statement met: a lost connection is made again before the next one.
    QString noted(const QSqlError &error);
    void reconnectIfLost();

    QString m_name;
    QString m_path;
    Engine m_engine = Engine::File;
    bool m_lost = false;
    std::vector<std::unique_ptr<QSqlQuery>> m_retired; // prepared on a connection that was lost
    std::unordered_map<QString, std::unique_ptr<QSqlQuery>> m_statements;
    std::unordered_map<QString, std::unique_ptr<QSqlQuery>> m_directStatements;
    int m_transactionDepth = 0;
    bool m_rollbackOnly = false;
};

// One run of a prepared statement: bind the values of its "?" markers in order, exec(), read
// the rows. It lets go of the rows (and the read lock) when it goes.
class Connection::Statement
{
public:
    ~Statement();
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&) = delete;

    Statement &bind(const QVariant &value);
    // True when the statement ran; otherwise status() says why.
    bool exec();
    bool next();
    QVariant value(int column) const;
    // The number of columns of the rows it gives.
    int columnCount() const;
    // Rows changed by an INSERT, UPDATE or DELETE.
    qint64 rowsAffected() const;
    // The ID the database gave the row an INSERT added.
    qint64 lastInsertId() const;

    Status status() const
    {
        return m_error.isEmpty() ? Status() : m_collision ? Status::changed(m_error) : Status::failure(m_error);
    }

    // Runs the statement and reads every row with read(statement).
    template <typename Read>
    auto rows(Read read) -> Result<std::vector<decltype(read(*this))>>
    {
        if (!exec())
            return status();
        std::vector<decltype(read(*this))> found;
        while (next())
            found.push_back(read(*this));
        if (!status())
            return status();
        return found;
    }
    // Runs the statement and reads its first row with read(statement); none when it has no row.
    template <typename Read>
    auto first(Read read) -> Result<std::optional<decltype(read(*this))>>
    {
        using Row = decltype(read(*this));
        if (!exec())
            return status();
        std::optional<Row> found;
        if (next())
            found = read(*this);
        if (!status())
            return status();
        return found;
    }
    // Runs the statement and gives the first column of every row as text.
    Result<QStringList> texts();
    // Runs the statement and gives the first column of its first row as a whole number (0 when
    // there is no row).
    Result<qint64> wholeNumber();

private:
    friend class Connection;
    Statement(Connection *connection, QSqlQuery *query, QString error, const QString *direct = nullptr,
              QString sql = QString());
    void fail(const QSqlError &error);
    bool execAgain();

    Connection *m_connection;
    QSqlQuery *m_query;
    const QString *m_direct; // the text of a statement the engine cannot prepare, run as it is
    QString m_sql;           // a prepared statement's, to prepare it again on a new connection
    QString m_error;
    bool m_collision = false;
    int m_bound = 0;
};

// A write: everything done on the connection while it lives is one transaction, which takes
// the write lock at once and is rolled back unless commit() succeeds. A transaction begun while
// another is running on the same connection joins it; if it is not committed, the outer one
// rolls back too.
class Connection::Transaction
{
public:
    explicit Transaction(Connection &connection);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    // Whether the transaction could begin.
    const Status &status() const { return m_status; }
    Status commit();

private:
    void rollback();

    Connection &m_connection;
    Status m_status;
    bool m_outer = false;
    bool m_done = false;
};
