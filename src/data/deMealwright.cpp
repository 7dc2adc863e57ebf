#include "deMealwright.h"

#include "Schema.h"

#include <QSettings>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

const QString deMealwright::connectionName = QStringLiteral("cnMealwright");

namespace {

// How long a statement waits for another program's lock before it fails, in milliseconds:
// briefly while the file is being checked, longer in normal use.
constexpr int probeBusyTimeout = 300;
constexpr int busyTimeout = 3000;

// SQLite's primary result codes, as QSqlError::nativeErrorCode() reports them.
constexpr int sqliteBusy = 5;
constexpr int sqliteLocked = 6;
constexpr int sqliteReadOnly = 8;
constexpr int sqliteCantOpen = 14;
constexpr int sqliteNotADb = 26;
constexpr int sqliteCorrupt = 11;

OpenResult failureFrom(const QSqlError &error)
{
    const int code = error.nativeErrorCode().toInt() & 0xff;
    switch (code) {
    case sqliteBusy:
    case sqliteLocked:
        return {OpenFailure::Locked, error.text()};
    case sqliteReadOnly:
        return {OpenFailure::ReadOnly, error.text()};
    case sqliteNotADb:
    case sqliteCorrupt:
        return {OpenFailure::NotADatabase, error.text()};
    case sqliteCantOpen:
        return {OpenFailure::Unreadable, error.text()};
    default:
        return {OpenFailure::Other, error.text()};
    }
}

QString listInWords(const QStringList &items)
{
    if (items.size() <= 1)
        return items.join(QString());
    return items.mid(0, items.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + items.last();
}

} // namespace

deMealwright &deMealwright::instance()
{
    static deMealwright environment;
    return environment;
}

QSqlDatabase deMealwright::cnMealwright() const
{
    return QSqlDatabase::database(connectionName, false);
}

bool deMealwright::isOpen() const
{
    return QSqlDatabase::contains(connectionName) && cnMealwright().isOpen();
}

OpenResult deMealwright::open(const QString &path)
{
    close();
    OpenResult result = probeDatabaseFile(path);
    if (result.ok())
        result = openConnection(path);
    if (result.ok())
        m_path = path;
    else
        close();
    return result;
}

OpenResult deMealwright::openConnection(const QString &path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    // mode=rw: never create a file that is not there. The URI is encoded so that characters
    // such as '#' or '?' in a path stay part of the path.
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(probeBusyTimeout));
    db.setDatabaseName(QString::fromUtf8(QUrl::fromLocalFile(path).toEncoded()) + QStringLiteral("?mode=rw"));
    if (!db.open())
        return failureFrom(db.lastError());

    // A file that is not a database opens "fine" and fails on its first read.
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
        return failureFrom(probe.lastError());
    probe.finish();

    const Schema::Check check = Schema::check(db);
    if (!check.errorText.isEmpty())
        return {OpenFailure::Other, check.errorText};
    if (!check.ok()) {
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

    // Can we write? Take the write lock and try a delete that matches nothing: a read-only
    // file or another program's lock shows here, and the file is left exactly as it was.
    QSqlQuery write(db);
    if (!write.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return failureFrom(write.lastError());
    const bool writable = write.exec(QStringLiteral("DELETE FROM Units WHERE 0"));
    const QSqlError writeError = write.lastError();
    write.exec(QStringLiteral("ROLLBACK"));
    if (!writable)
        return failureFrom(writeError);

    write.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(busyTimeout));
    return {};
}

QSqlQuery *deMealwright::preparedStatement(const QString &sql, QString *error)
{
    auto found = m_statements.find(sql);
    if (found != m_statements.end())
        return found->second.get();
    auto statement = std::make_unique<QSqlQuery>(cnMealwright());
    statement->setForwardOnly(true);
    if (!statement->prepare(sql)) {
        *error = statement->lastError().text();
        return nullptr;
    }
    return m_statements.emplace(sql, std::move(statement)).first->second.get();
}

void deMealwright::close()
{
    m_statements.clear(); // no statement may outlive its connection
    m_path.clear();
    if (!QSqlDatabase::contains(connectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

QString deMealwright::rememberedPath()
{
    return QSettings(QStringLiteral("Mealwright"), QStringLiteral("Mealwright"))
        .value(QStringLiteral("Database/Name"))
        .toString();
}

void deMealwright::rememberPath(const QString &path)
{
    QSettings settings(QStringLiteral("Mealwright"), QStringLiteral("Mealwright"));
    settings.setValue(QStringLiteral("Database/Name"), path);
    settings.sync();
}
