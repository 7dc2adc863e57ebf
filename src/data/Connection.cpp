#include "Connection.h"

#include "OutputFile.h"
#include "Schema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace {

// How long a statement waits for another program's lock before it fails, in milliseconds:
// briefly while the file is being checked, longer in normal use.
constexpr int probeBusyTimeout = 300;
constexpr int busyTimeout = 3000;

// SQLite's primary result codes, as QSqlError::nativeErrorCode() reports them.
constexpr int sqliteBusy = 5;
constexpr int sqliteLocked = 6;
constexpr int sqliteReadOnly = 8;
constexpr int sqliteIoError = 10;
constexpr int sqliteCorrupt = 11;
constexpr int sqliteFull = 13;
constexpr int sqliteCantOpen = 14;
constexpr int sqliteNotADb = 26;
// The extended code of a file that could be written but whose folder cannot take the journal.
constexpr int sqliteReadOnlyDirectory = sqliteReadOnly | (6 << 8);
// A file with a hot journal (a save left unfinished) opened where it cannot be rolled back.
constexpr int sqliteReadOnlyRollback = sqliteReadOnly | (3 << 8);
// A file that was moved, deleted or replaced after it was opened.
constexpr int sqliteReadOnlyMoved = sqliteReadOnly | (4 << 8);

std::function<void(bool)> &waitHook()
{
    static std::function<void(bool)> hook;
    return hook;
}

// While it lives, a statement may wait for another program's lock: the hook says so.
class MayWait
{
public:
    MayWait()
        : m_told(bool(waitHook()))
    {
        if (m_told)
            waitHook()(true);
    }
    ~MayWait()
    {
        if (m_told && waitHook())
            waitHook()(false);
    }
    MayWait(const MayWait &) = delete;
    MayWait &operator=(const MayWait &) = delete;

private:
    const bool m_told; // statements run every moment: the hook is not copied for each
};

int extendedCode(const QSqlError &error)
{
    return error.nativeErrorCode().toInt();
}

int primaryCode(const QSqlError &error)
{
    return extendedCode(error) & 0xff;
}

// The engine's own words, without the driver's "Unable to execute statement".
QString engineWords(const QSqlError &error)
{
    const QString words = error.databaseText().trimmed();
    return words.isEmpty() ? error.text().trimmed() : words;
}

OpenResult failureFrom(const QSqlError &error)
{
    if (extendedCode(error) == sqliteReadOnlyRollback)
        return {OpenFailure::Unfinished, engineWords(error)};
    switch (primaryCode(error)) {
    case sqliteBusy:
    case sqliteLocked:
        return {OpenFailure::Locked, engineWords(error)};
    case sqliteReadOnly:
        return {OpenFailure::ReadOnly, engineWords(error)};
    case sqliteNotADb:
    case sqliteCorrupt:
        return {OpenFailure::NotADatabase, engineWords(error)};
    case sqliteCantOpen:
        return {OpenFailure::Unreadable, engineWords(error)};
    default:
        return {OpenFailure::Other, engineWords(error)};
    }
}

QString listInWords(const QStringList &items)
{
    if (items.size() <= 1)
        return items.join(QString());
    return items.mid(0, items.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + items.last();
}

OpenResult missingParts(const Schema::Check &check)
{
    QStringList missing;
    if (!check.missingTables.isEmpty())
        missing << QStringLiteral("the table%1 %2")
                       .arg(check.missingTables.size() > 1 ? QStringLiteral("s") : QString(),
                            listInWords(check.missingTables));
    if (!check.missingFields.isEmpty())
        missing << QStringLiteral("the field%1 %2")
                       .arg(check.missingFields.size() > 1 ? QStringLiteral("s") : QString(),
                            listInWords(check.missingFields));
    return {OpenFailure::MissingTables, listInWords(missing)};
}

} // namespace

QString plainWords(const QSqlError &error)
{
    if (extendedCode(error) == sqliteReadOnlyMoved)
        return QStringLiteral("The database file was moved, deleted or replaced by another program while it was "
                              "open, so nothing more can be saved in it; open the diary again where it is now.");
    if (extendedCode(error) == sqliteReadOnlyRollback)
        return OpenResult{OpenFailure::Unfinished, {}}.reason();
    switch (primaryCode(error)) {
    case sqliteBusy:
    case sqliteLocked:
        return QStringLiteral("Another program is using the database and has locked it. "
                              "Try again when it has finished.");
    case sqliteReadOnly:
        return QStringLiteral("The database file cannot be written: it is read-only, or lies in a folder "
                              "you may not change.");
    case sqliteFull:
        return QStringLiteral("The disk that holds the database is full.");
    case sqliteIoError:
        return QStringLiteral("The disk that holds the database could not be read or written (%1).")
            .arg(engineWords(error));
    case sqliteCantOpen:
        return QStringLiteral("The database file or its journal cannot be opened. The file may have been "
                              "moved, or its folder may not be writable.");
    case sqliteCorrupt:
    case sqliteNotADb:
        return QStringLiteral("The database file is damaged.");
    default:
        return QStringLiteral("The database reported an error: %1").arg(engineWords(error));
    }
}

// ---------------------------------------------------------------------------------------------

Connection::Connection(QString name)
    : m_name(std::move(name))
{
}

Connection::~Connection()
{
    close();
}

QSqlDatabase Connection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

bool Connection::isOpen() const
{
    return QSqlDatabase::contains(m_name) && database().isOpen();
}

OpenResult Connection::open(const QString &path, Access access)
{
    close();
    OpenResult result = probeDatabaseFile(path);
    if (result.ok())
        result = openChecked(path, access);
    if (result.ok())
        setPath(path);
    else
        close();
    return result;
}

void Connection::setPath(const QString &path)
{
    m_path = path;
    // No file the program writes for the user may replace it.
    OutputFile::protect(path);
}

void Connection::setWaitHook(std::function<void(bool)> hook)
{
    waitHook() = std::move(hook);
}

OpenResult Connection::openChecked(const QString &path, Access access)
{
    const MayWait mayWait;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    // mode=rw or ro: never create a file that is not there. The URI is encoded so that
    // characters such as '#' or '?' in a path stay part of the path.
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(probeBusyTimeout));
    db.setDatabaseName(QString::fromUtf8(QUrl::fromLocalFile(path).toEncoded())
                       + (access == Access::ReadOnly ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=rw")));
    if (!db.open())
        return failureFrom(db.lastError());

    QSqlQuery query(db);
    // A file that is not a database opens "fine" and fails on its first read.
    if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
        return failureFrom(query.lastError());
    query.finish();

    const Schema::Check check = Schema::check(db);
    if (!check.errorText.isEmpty())
        return {OpenFailure::Other, check.errorText};
    if (!check.ok())
        return missingParts(check);

    if (access == Access::ReadWrite) {
        // Can we write? Take the write lock and rewrite a header field with its own value, then
        // roll back. That needs the journal beside the file, as every save does, so a read-only
        // file, a folder that cannot take the journal and another program's lock all show here,
        // and the file is left exactly as it was.
        if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
            return failureFrom(query.lastError());
        const qint64 version = query.value(0).toLongLong();
        query.finish();
        if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
            return failureFrom(query.lastError());
        const bool writable = query.exec(QStringLiteral("PRAGMA user_version = %1").arg(version));
        const QSqlError writeError = query.lastError();
        query.exec(QStringLiteral("ROLLBACK"));
        if (!writable) {
            OpenResult failure = failureFrom(writeError);
            // The file itself opened for writing: what cannot be made now is the journal.
            if (writeError.nativeErrorCode().toInt() == sqliteReadOnlyDirectory
                || primaryCode(writeError) == sqliteCantOpen)
                failure.failure = OpenFailure::FolderReadOnly;
            return failure;
        }
    }

    query.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(busyTimeout));
    return {};
}

Status Connection::openNew(const QString &path)
{
    close();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(path);
    if (!db.open()) {
        const Status failure = Status::failure(plainWords(db.lastError()));
        close();
        return failure;
    }
    setPath(path);
    return {};
}

void Connection::close()
{
    m_statements.clear(); // no statement may outlive its connection
    m_transactionDepth = 0;
    m_rollbackOnly = false;
    if (!m_path.isEmpty())
        OutputFile::release(std::exchange(m_path, QString()));
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = database();
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

Connection::Statement Connection::statement(const QString &sql)
{
    if (!isOpen())
        return Statement(nullptr, QStringLiteral("No database is open."));
    auto found = m_statements.find(sql);
    if (found != m_statements.end())
        return Statement(found->second.get(), QString());
    auto query = std::make_unique<QSqlQuery>(database());
    query->setForwardOnly(true);
    if (!query->prepare(sql))
        return Statement(nullptr, plainWords(query->lastError()));
    QSqlQuery *prepared = query.get();
    m_statements.emplace(sql, std::move(query));
    return Statement(prepared, QString());
}

// ---------------------------------------------------------------------------------------------

Connection::Statement::Statement(QSqlQuery *query, QString error)
    : m_query(query)
    , m_error(std::move(error))
{
}

Connection::Statement::Statement(Statement &&other) noexcept
    : m_query(std::exchange(other.m_query, nullptr))
    , m_error(std::move(other.m_error))
    , m_bound(other.m_bound)
{
}

Connection::Statement::~Statement()
{
    if (m_query)
        m_query->finish();
}

Connection::Statement &Connection::Statement::bind(const QVariant &value)
{
    if (m_query)
        m_query->bindValue(m_bound++, value);
    return *this;
}

bool Connection::Statement::exec()
{
    if (!m_query)
        return false;
    m_bound = 0;
    const MayWait mayWait;
    if (m_query->exec())
        return true;
    m_error = plainWords(m_query->lastError());
    return false;
}

bool Connection::Statement::next()
{
    if (!m_query || !m_query->isActive())
        return false;
    if (m_query->next())
        return true;
    const QSqlError error = m_query->lastError();
    if (error.isValid())
        m_error = plainWords(error);
    return false;
}

QVariant Connection::Statement::value(int column) const
{
    return m_query ? m_query->value(column) : QVariant();
}

qint64 Connection::Statement::rowsAffected() const
{
    return m_query ? m_query->numRowsAffected() : 0;
}

qint64 Connection::Statement::lastInsertId() const
{
    return m_query ? m_query->lastInsertId().toLongLong() : 0;
}

Result<QStringList> Connection::Statement::texts()
{
    Result<std::vector<QString>> found = rows([](const Statement &row) { return row.value(0).toString(); });
    if (!found)
        return found.status();
    return QStringList(found->begin(), found->end());
}

Result<qint64> Connection::Statement::wholeNumber()
{
    if (!exec())
        return status();
    const qint64 number = next() ? value(0).toLongLong() : 0;
    if (!status())
        return status();
    return number;
}

// ---------------------------------------------------------------------------------------------

Connection::Transaction::Transaction(Connection &connection)
    : m_connection(connection)
{
    if (m_connection.m_transactionDepth > 0) {
        ++m_connection.m_transactionDepth;
        return;
    }
    if (!m_connection.isOpen()) {
        m_status = Status::failure(QStringLiteral("No database is open."));
        m_done = true;
        return;
    }
    const MayWait mayWait;
    QSqlQuery begin(m_connection.database());
    if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        m_status = Status::failure(plainWords(begin.lastError()));
        m_done = true;
        return;
    }
    m_outer = true;
    m_connection.m_transactionDepth = 1;
    m_connection.m_rollbackOnly = false;
}

Connection::Transaction::~Transaction()
{
    if (!m_done)
        rollback();
}

Status Connection::Transaction::commit()
{
    if (m_done)
        return m_status.ok() ? Status::failure(QStringLiteral("The change was already saved.")) : m_status;
    m_done = true;
    if (!m_outer) {
        --m_connection.m_transactionDepth;
        return {};
    }
    m_connection.m_transactionDepth = 0;
    const MayWait mayWait;
    QSqlQuery query(m_connection.database());
    if (m_connection.m_rollbackOnly) {
        query.exec(QStringLiteral("ROLLBACK"));
        return Status::failure(QStringLiteral("A part of the change failed, so none of it was saved."));
    }
    if (!query.exec(QStringLiteral("COMMIT"))) {
        const Status failure = Status::failure(plainWords(query.lastError()));
        query.exec(QStringLiteral("ROLLBACK"));
        return failure;
    }
    return {};
}

void Connection::Transaction::rollback()
{
    m_done = true;
    if (!m_outer) {
        --m_connection.m_transactionDepth;
        m_connection.m_rollbackOnly = true;
        return;
    }
    m_connection.m_transactionDepth = 0;
    if (m_connection.isOpen())
        QSqlQuery(m_connection.database()).exec(QStringLiteral("ROLLBACK"));
}
