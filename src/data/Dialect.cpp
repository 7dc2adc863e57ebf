#include "Dialect.h"

#include <QSqlError>

namespace Dialect {

namespace {

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

int extendedCode(const QSqlError &error)
{
    return error.nativeErrorCode().toInt();
}

// The engine's own words, without the driver's "Unable to execute statement", the server's
// "ERROR:" and the error code the driver adds after them.
QString engineWords(const QSqlError &error)
{
    QString words = error.databaseText().trimmed();
    if (words.isEmpty())
        return error.text().trimmed();
    words = words.section(QLatin1Char('\n'), 0, 0).trimmed();
    for (const QLatin1String prefix : {QLatin1String("ERROR:"), QLatin1String("FATAL:")})
        if (words.startsWith(prefix))
            words = words.mid(prefix.size()).trimmed();
    const QString code = QStringLiteral("(%1)").arg(error.nativeErrorCode());
    if (words.endsWith(code))
        words.chop(code.size());
    return words.trimmed();
}

QString fileWords(const QSqlError &error)
{
    if (extendedCode(error) == sqliteReadOnlyMoved)
        return QStringLiteral("The database file was moved, deleted or replaced by another program while it was "
                              "open, so nothing more can be saved in it; open the diary again where it is now.");
    if (extendedCode(error) == sqliteReadOnlyRollback)
        return OpenResult{OpenFailure::Unfinished, {}}.reason();
    switch (extendedCode(error) & 0xff) {
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

QString sqlState(const QSqlError &error)
{
    return error.nativeErrorCode().trimmed();
}

// libpq's words when the server cannot be reached at all, or went away.
bool saysUnreachable(const QString &text)
{
    static const char *const signs[] = {"Connection refused", "could not translate host name", "timeout expired",
                                        "No route to host", "Network is unreachable", "could not connect to server",
                                        "Name or service not known", "Connection timed out"};
    for (const char *sign : signs)
        if (text.contains(QLatin1String(sign), Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

QString driver(Engine engine)
{
    return engine == Engine::File ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL");
}

const QStringList &createStatements(Engine engine)
{
    // Text compares without regard to case, as names did in the diaries Mealwright replaces:
    // "apple" in a meal finds the food "Apple". On a server, citext does what NOCASE does. It
    // sorts by the column's collation, C, as NOCASE does; it tests equality by the database's
    // character type, which folds only ASCII letters (as NOCASE does), and fast, when the
    // database is made with LC_CTYPE 'C' (see the README).
    static const QStringList file = {
        QStringLiteral("CREATE TABLE Meals ("
                       " ID INTEGER PRIMARY KEY AUTOINCREMENT,"
                       " Who TEXT NOT NULL COLLATE NOCASE,"
                       " \"When\" TEXT NOT NULL,"
                       " Food TEXT NOT NULL COLLATE NOCASE,"
                       " Amount REAL NOT NULL DEFAULT 0,"
                       " Units TEXT NOT NULL COLLATE NOCASE)"),
        QStringLiteral("CREATE TABLE Foods ("
                       " ID INTEGER PRIMARY KEY AUTOINCREMENT,"
                       " Food TEXT NOT NULL COLLATE NOCASE,"
                       " Units TEXT NOT NULL COLLATE NOCASE,"
                       " CaloriesPerUnit REAL NOT NULL DEFAULT 0,"
                       " VegetableServings REAL NOT NULL DEFAULT 0,"
                       " FruitServings REAL NOT NULL DEFAULT 0,"
                       " EntreeFlag INTEGER NOT NULL DEFAULT 0,"
                       " SupplementFlag INTEGER NOT NULL DEFAULT 0)"),
        QStringLiteral("CREATE TABLE Units ("
                       " ID INTEGER PRIMARY KEY AUTOINCREMENT,"
                       " Units TEXT NOT NULL COLLATE NOCASE)"),
        QStringLiteral("CREATE TABLE Clients ("
                       " Who TEXT NOT NULL COLLATE NOCASE PRIMARY KEY,"
                       " CalorieBudget REAL NOT NULL DEFAULT 0)"),
    };
    static const QStringList server = {
        QStringLiteral("CREATE EXTENSION IF NOT EXISTS citext"),
        QStringLiteral("CREATE TABLE Meals ("
                       " ID bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,"
                       " Who citext COLLATE \"C\" NOT NULL,"
                       " \"When\" timestamp(0) NOT NULL,"
                       " Food citext COLLATE \"C\" NOT NULL,"
                       " Amount double precision NOT NULL DEFAULT 0,"
                       " Units citext COLLATE \"C\" NOT NULL)"),
        QStringLiteral("CREATE TABLE Foods ("
                       " ID bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,"
                       " Food citext COLLATE \"C\" NOT NULL,"
                       " Units citext COLLATE \"C\" NOT NULL,"
                       " CaloriesPerUnit double precision NOT NULL DEFAULT 0,"
                       " VegetableServings double precision NOT NULL DEFAULT 0,"
                       " FruitServings double precision NOT NULL DEFAULT 0,"
                       " EntreeFlag integer NOT NULL DEFAULT 0,"
                       " SupplementFlag integer NOT NULL DEFAULT 0)"),
        QStringLiteral("CREATE TABLE Units ("
                       " ID bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,"
                       " Units citext COLLATE \"C\" NOT NULL)"),
        QStringLiteral("CREATE TABLE Clients ("
                       " Who citext COLLATE \"C\" NOT NULL PRIMARY KEY,"
                       " CalorieBudget double precision NOT NULL DEFAULT 0)"),
    };
    static const QStringList indexes = {
        QStringLiteral("CREATE INDEX MealsByClientAndTime ON Meals (Who, \"When\")"),
        QStringLiteral("CREATE INDEX MealsByFood ON Meals (Food, Units)"),
        QStringLiteral("CREATE UNIQUE INDEX FoodsByName ON Foods (Food, Units)"),
        QStringLiteral("CREATE UNIQUE INDEX UnitsByName ON Units (Units)"),
    };
    static const QStringList fileAll = file + indexes;
    static const QStringList serverAll = server + indexes;
    return engine == Engine::File ? fileAll : serverAll;
}

const QStringList &followIdentities(Engine engine)
{
    static const QStringList none;
    static const QStringList server = [] {
        QStringList statements;
        for (const char *table : {"meals", "foods", "units"})
            // The largest ID may be the largest there is, or below 1, where no sequence goes.
            statements << QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', 'id'),"
                                         " greatest(coalesce(max(ID), 1), 1), coalesce(max(ID), 0) >= 1) FROM %1")
                              .arg(QLatin1String(table));
        return statements;
    }();
    return engine == Engine::File ? none : server;
}

QString whenText(Engine engine, const QString &column)
{
    return engine == Engine::File ? column : QStringLiteral("to_char(%1, 'YYYY-MM-DD HH24:MI:SS')").arg(column);
}

QString caseless(Engine engine)
{
    return engine == Engine::File ? QStringLiteral(" COLLATE NOCASE") : QString();
}

QString isNot(Engine engine)
{
    return engine == Engine::File ? QStringLiteral("IS NOT") : QStringLiteral("IS DISTINCT FROM");
}

QString beginWrite(Engine engine)
{
    return engine == Engine::File ? QStringLiteral("BEGIN IMMEDIATE")
                                  : QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ");
}

QString returningId(Engine engine, const QString &sql)
{
    return engine == Engine::File ? sql : sql + QStringLiteral(" RETURNING ID");
}

bool isPreparable(const QString &sql)
{
    const QString verb = sql.trimmed().section(QLatin1Char(' '), 0, 0).toUpper();
    for (const char *preparable : {"SELECT", "INSERT", "UPDATE", "DELETE", "VALUES", "WITH"})
        if (verb == QLatin1String(preparable))
            return true;
    return false;
}

QString columnsOf(Engine engine)
{
    // Unquoted names are kept in lower case on a server.
    // On a server, from the catalogue, which shows a table also to a user who may not read it.
    return engine == Engine::File ? QStringLiteral("SELECT name FROM pragma_table_info(?)")
                                  : QStringLiteral("SELECT attname FROM pg_attribute WHERE attrelid = to_regclass(lower(?))"
                                                   " AND attnum > 0 AND NOT attisdropped");
}

QString tableCount(Engine engine)
{
    return engine == Engine::File ? QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table'"
                                                   " AND name NOT LIKE 'sqlite%'")
                                  : QStringLiteral("SELECT count(*) FROM pg_class c JOIN pg_namespace n"
                                                   " ON n.oid = c.relnamespace WHERE n.nspname = current_schema()"
                                                   " AND c.relkind IN ('r', 'p', 'v', 'm', 'f')");
}

bool isCollision(Engine engine, const QSqlError &error)
{
    // A serialization failure or a deadlock: another user's write to the same rows came first.
    return engine == Engine::Server && (sqlState(error) == QLatin1String("40001") || sqlState(error) == QLatin1String("40P01"));
}

bool isConnectionLost(Engine engine, const QSqlError &error)
{
    if (engine == Engine::File)
        return false;
    const QString state = sqlState(error);
    if (state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P")))
        return true;
    const QString text = error.databaseText() + error.driverText();
    return state.isEmpty()
        && (text.contains(QLatin1String("server closed the connection"), Qt::CaseInsensitive)
            || text.contains(QLatin1String("no connection to the server"), Qt::CaseInsensitive)
            || text.contains(QLatin1String("connection to server was lost"), Qt::CaseInsensitive)
            || text.contains(QLatin1String("terminating connection"), Qt::CaseInsensitive));
}

QString plainWords(Engine engine, const QSqlError &error)
{
    if (engine == Engine::File)
        return fileWords(error);
    if (isConnectionLost(engine, error))
        return QStringLiteral("The connection to the server was lost before this was done, so nothing of it was "
                              "saved. Everything saved before is safe on the server; try again when it can be reached.");
    if (isCollision(engine, error))
        return QStringLiteral("Another user changed the same entries at the same moment, so nothing was saved. "
                              "Try again.");
    const QString state = sqlState(error);
    if (state == QLatin1String("23505"))
        return QStringLiteral("The diary already holds an entry by that name (another user may have just added "
                              "it), so nothing was saved.");
    if (state == QLatin1String("42501"))
        return QStringLiteral("The server does not allow you to do this in the diary (%1). Ask whoever looks after "
                              "the server to let your user read and write the diary.")
            .arg(engineWords(error));
    if (state == QLatin1String("55P03"))
        return QStringLiteral("Another program is using the database and has locked it. "
                              "Try again when it has finished.");
    if (state == QLatin1String("53100"))
        return QStringLiteral("The disk that holds the diary on the server is full.");
    if (state == QLatin1String("2200H"))
        return QStringLiteral("No more entries can be numbered in this table: its largest ID is already the "
                              "largest there can be, so nothing was saved.");
    if (state == QLatin1String("25006"))
        return QStringLiteral("The server lets this connection only read the diary, so nothing was saved.");
    return QStringLiteral("The database reported an error: %1").arg(engineWords(error));
}

OpenResult fileOpenFailure(const QSqlError &error)
{
    const QString words = engineWords(error);
    if (extendedCode(error) == sqliteReadOnlyRollback)
        return {OpenFailure::Unfinished, words};
    switch (extendedCode(error) & 0xff) {
    case sqliteBusy:
    case sqliteLocked:
        return {OpenFailure::Locked, words};
    case sqliteReadOnly:
        return {OpenFailure::ReadOnly, words};
    case sqliteNotADb:
    case sqliteCorrupt:
        return {OpenFailure::NotADatabase, words};
    case sqliteCantOpen:
        return {OpenFailure::Unreadable, words};
    default:
        return {OpenFailure::Other, words};
    }
}

bool isJournalRefused(const QSqlError &error)
{
    return extendedCode(error) == sqliteReadOnlyDirectory || (extendedCode(error) & 0xff) == sqliteCantOpen;
}

OpenResult serverOpenFailure(const QSqlError &error)
{
    const QString words = engineWords(error);
    const QString text = error.databaseText() + QLatin1Char(' ') + error.driverText();
    const auto says = [&text](const char *sign) { return text.contains(QLatin1String(sign), Qt::CaseInsensitive); };
    if (says("no password supplied"))
        return {OpenFailure::PasswordNeeded, words};
    if (says("password authentication failed") || (says("role \"") && says("does not exist")))
        return {OpenFailure::WrongPassword, words};
    if (says("database \"") && says("does not exist"))
        return {OpenFailure::NoSuchDatabase, words};
    if (says("SSL") && (says("does not support") || says("was required") || says("no encryption")))
        return {OpenFailure::NoEncryption, words};
    if (says("no pg_hba.conf entry") || says("permission denied") || says("not permitted to log in")
        || says("too many connections"))
        return {OpenFailure::NotAllowed, words};
    if (saysUnreachable(text))
        return {OpenFailure::Unreachable, words};
    return {OpenFailure::Other, words};
}

} // namespace Dialect
