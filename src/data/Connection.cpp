#include "Connection.h"

#include "OutputFile.h"
#include "Schema.h"
#include "ServerAddress.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

namespace {

// How long a statement waits for another program's lock before it fails, in milliseconds:
// briefly while the file is being checked, longer in normal use.
constexpr int probeBusyTimeout = 300;
constexpr int busyTimeout = 3000;

// How long a connection to a server may take before the server counts as unreachable, and how
// long a write waits for another user's lock on a row, in seconds.
constexpr int connectTimeout = 10;
constexpr int serverLockTimeout = 3;

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

QString lostWords()
{
    return QStringLiteral("The connection to the server was lost and cannot be made again yet, so nothing was read "
                          "or saved. Everything saved before is safe on the server; try again when it can be reached.");
}

QString listInWords(const QStringList &items)
{
    if (items.size() <= 1)
        return items.join(QString());
    return items.mid(0, items.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + items.last();
}

OpenResult missingParts(const Schema::Check &check, OpenFailure failure)
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
    return {failure, listInWords(missing)};
}

} // namespace

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
    return m_lost || hasDatabase();
}

bool Connection::hasDatabase() const
{
    return QSqlDatabase::contains(m_name) && database().isOpen();
}

OpenResult Connection::open(const QString &path, Access access, const QString &password)
{
    close();
    if (ServerAddress::isAddress(path)) {
        const OpenResult result = openServer(path, access, password);
        if (!result.ok())
            close();
        return result;
    }
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
    m_engine = Engine::File;
    QSqlDatabase db = QSqlDatabase::addDatabase(Dialect::driver(m_engine), m_name);
    // mode=rw or ro: never create a file that is not there. The URI is encoded so that
    // characters such as '#' or '?' in a path stay part of the path.
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(probeBusyTimeout));
    db.setDatabaseName(QString::fromUtf8(QUrl::fromLocalFile(path).toEncoded())
                       + (access == Access::ReadOnly ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=rw")));
    if (!db.open())
        return Dialect::fileOpenFailure(db.lastError());

    QSqlQuery query(db);
    // A file that is not a database opens "fine" and fails on its first read.
    if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
        return Dialect::fileOpenFailure(query.lastError());
    query.finish();

    const Schema::Check check = Schema::check(*this);
    if (!check.errorText.isEmpty())
        return {OpenFailure::Other, check.errorText};
    if (!check.ok())
        return missingParts(check, OpenFailure::MissingTables);

    if (access == Access::ReadWrite) {
        // Can we write? Take the write lock and rewrite a header field with its own value, then
        // roll back. That needs the journal beside the file, as every save does, so a read-only
        // file, a folder that cannot take the journal and another program's lock all show here,
        // and the file is left exactly as it was.
        if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
            return Dialect::fileOpenFailure(query.lastError());
        const qint64 version = query.value(0).toLongLong();
        query.finish();
        if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
            return Dialect::fileOpenFailure(query.lastError());
        const bool writable = query.exec(QStringLiteral("PRAGMA user_version = %1").arg(version));
        const QSqlError writeError = query.lastError();
        query.exec(QStringLiteral("ROLLBACK"));
        if (!writable) {
            OpenResult failure = Dialect::fileOpenFailure(writeError);
            // The file itself opened for writing: what cannot be made now is the journal.
            if (Dialect::isJournalRefused(writeError))
                failure.failure = OpenFailure::FolderReadOnly;
            return failure;
        }
    }

    query.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(busyTimeout));
    return {};
}

OpenResult Connection::openServer(const QString &uri, Access access, const QString &password)
{
    const Result<ServerAddress> address = ServerAddress::fromUri(uri);
    if (!address)
        return {OpenFailure::BadAddress, address.reason()};
    const MayWait mayWait;
    m_engine = Engine::Server;
    QSqlDatabase db = QSqlDatabase::addDatabase(Dialect::driver(m_engine), m_name);
    db.setHostName(address->host);
    if (address->port != 0)
        db.setPort(address->port);
    db.setDatabaseName(address->database);
    db.setUserName(address->user);
    // Without one, libpq reads PGPASSWORD and ~/.pgpass, as PostgreSQL's own tools do.
    if (!password.isEmpty())
        db.setPassword(password);
    QStringList options = {QStringLiteral("connect_timeout=%1").arg(connectTimeout),
                           QStringLiteral("application_name=Mealwright")};
    if (!address->sslMode.isEmpty())
        options << QStringLiteral("sslmode=%1").arg(address->sslMode);
    db.setConnectOptions(options.join(QLatin1Char(';')));
    if (!db.open())
        return Dialect::serverOpenFailure(db.lastError());
    m_path = uri;
    if (const Status session = startSession(); !session)
        return {OpenFailure::Other, session.reason()};
    return checkServerDiary(access);
}

Status Connection::startSession()
{
    // The server's notices ("drop cascades to ...") are not for the user; its errors are.
    QSqlQuery session(database());
    // A plan made for the client and span at hand: one plan for all of them estimates the join
    // of meals and foods far worse.
    for (const QString &setting :
         {QStringLiteral("SET lock_timeout = '%1s'").arg(serverLockTimeout), QStringLiteral("SET client_min_messages = warning"),
          QStringLiteral("SET plan_cache_mode = force_custom_plan")})
        if (!session.exec(setting))
            return Status::failure(Dialect::plainWords(m_engine, session.lastError()));
    return {};
}

OpenResult Connection::checkServerDiary(Access access)
{
    const Schema::Check check = Schema::check(*this);
    if (!check.errorText.isEmpty())
        return {OpenFailure::Other, check.errorText};
    if (!check.ok())
        return missingParts(check, OpenFailure::NotADiary);
    // What the user may do with the four tables; a member of the clinic's role may do all of it.
    Connection::Statement allowed = statement(QStringLiteral(
        "SELECT bool_and(has_table_privilege(t, 'SELECT')),"
        " bool_and(has_table_privilege(t, 'INSERT') AND has_table_privilege(t, 'UPDATE')"
        " AND has_table_privilege(t, 'DELETE'))"
        " FROM unnest(ARRAY['meals', 'foods', 'units', 'clients']) AS t"));
    const Result<std::optional<std::pair<bool, bool>>> rights = allowed.first([](const Statement &row) {
        return std::pair(row.value(0).toBool(), row.value(1).toBool());
    });
    if (!rights)
        return {OpenFailure::Other, rights.reason()};
    if (!rights.value() || !rights.value()->first)
        return {OpenFailure::NotAllowed, QStringLiteral("the user may not read its tables")};
    if (access == Access::ReadWrite && !rights.value()->second)
        return {OpenFailure::ReadOnlyUser, {}};
    return {};
}

Status Connection::openNew(const QString &path, const QString &password)
{
    close();
    if (ServerAddress::isAddress(path)) {
        const Result<ServerAddress> address = ServerAddress::fromUri(path);
        OpenResult opened = openServer(path, Access::ReadWrite, password);
        // A database without the tables is what is wanted here.
        if (opened.failure == OpenFailure::NotADiary)
            opened = {};
        Result<qint64> tables = opened.ok() ? statement(Dialect::tableCount(m_engine)).wholeNumber() : qint64(0);
        Status made;
        if (!opened.ok())
            made = Status::failure(opened.reason());
        else if (!tables)
            made = tables.status();
        else if (*tables > 0)
            made = Status::failure(QStringLiteral("The database %1 already holds tables. Mealwright makes a diary only "
                                                  "in an empty database, so that nothing in it is overwritten.")
                                       .arg(address ? address->shortName() : path));
        if (!made)
            close();
        return made;
    }
    m_engine = Engine::File;
    QSqlDatabase db = QSqlDatabase::addDatabase(Dialect::driver(m_engine), m_name);
    db.setDatabaseName(path);
    if (!db.open()) {
        const Status failure = Status::failure(Dialect::plainWords(m_engine, db.lastError()));
        close();
        return failure;
    }
    setPath(path);
    return {};
}

Status Connection::openAsIs(const QString &name, const QString &password)
{
    if (!ServerAddress::isAddress(name))
        return openNew(name);
    close();
    const OpenResult opened = openServer(name, Access::ReadWrite, password);
    if (opened.ok() || opened.failure == OpenFailure::NotADiary || opened.failure == OpenFailure::NotAllowed
        || opened.failure == OpenFailure::ReadOnlyUser)
        return {};
    close();
    return Status::failure(opened.reason());
}

QString Connection::noted(const QSqlError &error)
{
    if (Dialect::isConnectionLost(m_engine, error))
        m_lost = true;
    return Dialect::plainWords(m_engine, error);
}

void Connection::reconnectIfLost()
{
    if (!m_lost || m_transactionDepth > 0)
        return;
    // The statements prepared on the connection that went are kept, unusable, until the diary
    // closes: a Statement of the caller's may still point at one.
    for (auto *statements : {&m_statements, &m_directStatements}) {
        for (auto &[sql, query] : *statements)
            m_retired.push_back(std::move(query));
        statements->clear();
    }
    // The same driver connection, with its address and password, connects again.
    QSqlDatabase db = database();
    db.close();
    const MayWait mayWait;
    if (!db.open())
        return; // still out of reach: the next statement tries again
    if (!startSession()) {
        db.close();
        return;
    }
    m_lost = false;
}

void Connection::close()
{
    m_statements.clear(); // no statement may outlive its connection
    m_directStatements.clear();
    m_transactionDepth = 0;
    m_rollbackOnly = false;
    m_lost = false;
    m_retired.clear();
    if (!m_path.isEmpty() && m_engine == Engine::File)
        OutputFile::release(m_path);
    m_path.clear();
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
    reconnectIfLost();
    if (!hasDatabase())
        return Statement(this, nullptr, m_lost ? lostWords() : QStringLiteral("No database is open."));
    auto found = m_statements.find(sql);
    if (found != m_statements.end())
        return Statement(this, found->second.get(), QString(), nullptr, sql);
    if (m_engine == Engine::Server && !Dialect::isPreparable(sql)) {
        auto direct = m_directStatements.try_emplace(sql, std::make_unique<QSqlQuery>(database())).first;
        return Statement(this, direct->second.get(), QString(), &direct->first);
    }
    auto query = std::make_unique<QSqlQuery>(database());
    // The server's driver drops the rows of a forward-only statement when another one runs
    // meanwhile: there, every statement reads its rows at once.
    query->setForwardOnly(m_engine == Engine::File);
    if (!query->prepare(sql))
        return Statement(this, nullptr, noted(query->lastError()));
    QSqlQuery *prepared = query.get();
    m_statements.emplace(sql, std::move(query));
    return Statement(this, prepared, QString(), nullptr, sql);
}

// ---------------------------------------------------------------------------------------------

Connection::Statement::Statement(Connection *connection, QSqlQuery *query, QString error, const QString *direct,
                                 QString sql)
    : m_connection(connection)
    , m_query(query)
    , m_direct(direct)
    , m_sql(std::move(sql))
    , m_error(std::move(error))
{
}

Connection::Statement::Statement(Statement &&other) noexcept
    : m_connection(other.m_connection)
    , m_query(std::exchange(other.m_query, nullptr))
    , m_direct(other.m_direct)
    , m_sql(std::move(other.m_sql))
    , m_error(std::move(other.m_error))
    , m_collision(other.m_collision)
    , m_bound(other.m_bound)
{
}

void Connection::Statement::fail(const QSqlError &error)
{
    m_error = m_connection->noted(error);
    m_collision = Dialect::isCollision(m_connection->m_engine, error);
}

Connection::Statement::~Statement()
{
    if (m_query)
        m_query->finish();
}

Connection::Statement &Connection::Statement::bind(const QVariant &value)
{
    if (m_query && !m_direct)
        m_query->bindValue(m_bound++, value);
    return *this;
}

bool Connection::Statement::exec()
{
    if (!m_query)
        return false;
    m_bound = 0;
    const MayWait mayWait;
    if (m_direct ? m_query->exec(*m_direct) : m_query->exec())
        return true;
    if (!m_direct && m_connection->m_transactionDepth == 0
        && Dialect::isConnectionLost(m_connection->m_engine, m_query->lastError()))
        return execAgain();
    fail(m_query->lastError());
    return false;
}

bool Connection::Statement::execAgain()
{
    // A read on its own (every write runs in a transaction) is simply run again on a new
    // connection, when one can be made: a server that restarted costs the user nothing.
    const QSqlError lost = m_query->lastError();
    const QVariantList values = m_query->boundValues();
    m_connection->m_lost = true;
    m_connection->reconnectIfLost();
    if (m_connection->m_lost) {
        fail(lost);
        return false;
    }
    Statement again = m_connection->statement(m_sql);
    if (!again.m_query) {
        m_error = again.m_error;
        return false;
    }
    m_query = std::exchange(again.m_query, nullptr);
    for (int i = 0; i < values.size(); ++i)
        m_query->bindValue(i, values[i]);
    if (m_query->exec())
        return true;
    fail(m_query->lastError());
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
        fail(error);
    return false;
}

QVariant Connection::Statement::value(int column) const
{
    return m_query ? m_query->value(column) : QVariant();
}

int Connection::Statement::columnCount() const
{
    return m_query ? m_query->record().count() : 0;
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
    m_connection.reconnectIfLost();
    if (!m_connection.hasDatabase()) {
        m_status = Status::failure(m_connection.m_lost ? lostWords() : QStringLiteral("No database is open."));
        m_done = true;
        return;
    }
    const MayWait mayWait;
    QSqlQuery begin(m_connection.database());
    bool begun = begin.exec(Dialect::beginWrite(m_connection.m_engine));
    if (!begun && Dialect::isConnectionLost(m_connection.m_engine, begin.lastError())) {
        // Nothing of the write was sent yet: connected again, it begins as if nothing happened.
        m_connection.m_lost = true;
        m_connection.reconnectIfLost();
        begin = QSqlQuery(m_connection.database());
        begun = m_connection.hasDatabase() && begin.exec(Dialect::beginWrite(m_connection.m_engine));
    }
    if (!begun) {
        m_status = Status::failure(m_connection.m_lost ? lostWords() : m_connection.noted(begin.lastError()));
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
        const QSqlError error = query.lastError();
        const QString words = m_connection.noted(error);
        const Status failure =
            Dialect::isCollision(m_connection.m_engine, error) ? Status::changed(words) : Status::failure(words);
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
    if (m_connection.hasDatabase())
        QSqlQuery(m_connection.database()).exec(QStringLiteral("ROLLBACK"));
}
