#include "TestDatabase.h"
#include "common/DateSpan.h"
#include "data/CommandParameters.h"
#include "data/Schema.h"
#include "data/deMealwright.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

Q_DECLARE_METATYPE(OpenFailure)

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Holds a second connection on a database file with a lock, as another program would.
class LockHolder
{
public:
    LockHolder(const QString &path, const QString &beginStatement)
        : m_name(QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        query.exec(beginStatement);
        // An exclusive lock is only taken when the transaction writes or reads; make it real.
        query.exec(QStringLiteral("UPDATE Units SET Units = Units WHERE 0"));
    }
    ~LockHolder()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }

private:
    QString m_name;
};

} // namespace

class TestDatabaseOpen : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { deMealwright::instance().close(); }

    void opensAValidDatabase();
    void openingAnotherFileClosesTheFirst();
    void badFilesAreRefusedAndLeftAlone_data();
    void badFilesAreRefusedAndLeftAlone();
    void lockedByAnotherConnection_data();
    void lockedByAnotherConnection();
    void reasonsSpeakPlainly_data();
    void reasonsSpeakPlainly();
    void parametersAreFoundWithoutRegardToCase();
    void parametersBindInOrder();
    void whenTextRoundTrips_data();
    void whenTextRoundTrips();
};

void TestDatabaseOpen::opensAValidDatabase()
{
    QTemporaryDir dir;
    // Blanks and '#' must stay part of the path, not be read as parts of a URI.
    const QString path = dir.filePath(QStringLiteral("My diary #2 (copy).mdb"));
    QCOMPARE(TestDatabase::createEmpty(path), QString());
    const auto before = TestDatabase::snapshot(dir.path());

    deMealwright &environment = deMealwright::instance();
    const OpenResult result = environment.open(path);
    QVERIFY2(result.ok(), qPrintable(result.reason()));
    QVERIFY(environment.isOpen());
    QCOMPARE(environment.path(), path);

    QSqlQuery units(environment.cnMealwright());
    QVERIFY(units.exec(QStringLiteral("SELECT count(*) FROM Units")));
    QVERIFY(units.next());
    QCOMPARE(units.value(0).toInt(), Schema::standardUnits().size());
    units.finish();

    environment.close();
    QVERIFY(!environment.isOpen());
    QCOMPARE(environment.path(), QString());
    QCOMPARE(TestDatabase::snapshot(dir.path()), before);
}

void TestDatabaseOpen::openingAnotherFileClosesTheFirst()
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.mdb"));
    const QString second = dir.filePath(QStringLiteral("second.mdb"));
    QCOMPARE(TestDatabase::createEmpty(first), QString());
    QCOMPARE(TestDatabase::createEmpty(second), QString());
    QCOMPARE(TestDatabase::execute(second, {QStringLiteral("INSERT INTO Clients VALUES ('Second', 1500)")}),
             QString());

    deMealwright &environment = deMealwright::instance();
    QVERIFY(environment.open(first).ok());
    QVERIFY(environment.open(second).ok());
    QSqlQuery clients(environment.cnMealwright());
    QVERIFY(clients.exec(QStringLiteral("SELECT Who FROM Clients")));
    QVERIFY(clients.next());
    QCOMPARE(clients.value(0).toString(), QStringLiteral("Second"));
    clients.finish();

    // A failed open leaves nothing open, not even the file that was open before.
    QCOMPARE(environment.open(dir.filePath(QStringLiteral("gone.mdb"))).failure, OpenFailure::Missing);
    QVERIFY(!environment.isOpen());
}

void TestDatabaseOpen::badFilesAreRefusedAndLeftAlone_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<OpenFailure>("failure");
    QTest::addColumn<QString>("detail");

    QTest::newRow("missing") << "missing" << OpenFailure::Missing << QString();
    QTest::newRow("folder") << "folder" << OpenFailure::Folder << QString();
    QTest::newRow("0 bytes") << "empty" << OpenFailure::Empty << QString();
    QTest::newRow("text") << "text" << OpenFailure::NotADatabase << QString();
    QTest::newRow("Access Jet") << "jet" << OpenFailure::AccessFile << QString();
    QTest::newRow("Access ACE") << "ace" << OpenFailure::AccessFile << QString();
    QTest::newRow("cut-off SQLite") << "truncated" << OpenFailure::NotADatabase << QString();
    QTest::newRow("SQLite, no tables") << "foreign" << OpenFailure::MissingTables
                                       << "the tables Meals, Foods, Units and Clients";
    QTest::newRow("SQLite, one table short") << "noclients" << OpenFailure::MissingTables << "the table Clients";
    QTest::newRow("SQLite, fields short") << "nofields" << OpenFailure::MissingTables
                                          << "the fields Meals.Amount and Meals.Units";
}

void TestDatabaseOpen::badFilesAreRefusedAndLeftAlone()
{
    QFETCH(QString, kind);
    QFETCH(OpenFailure, failure);
    QFETCH(QString, detail);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("diary.mdb"));
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("diary.mdb")));
    } else if (kind == QLatin1String("empty")) {
        writeFile(path, {});
    } else if (kind == QLatin1String("text")) {
        writeFile(path, "Breakfast: two eggs, toast.\nLunch: soup.\n");
    } else if (kind == QLatin1String("jet") || kind == QLatin1String("ace")) {
        QByteArray header("\x00\x01\x00\x00", 4);
        header += kind == QLatin1String("jet") ? "Standard Jet DB" : "Standard ACE DB";
        header += QByteArray(2048 - header.size(), '\0');
        writeFile(path, header);
    } else if (kind == QLatin1String("truncated")) {
        const QString whole = dir.filePath(QStringLiteral("whole.db"));
        QCOMPARE(TestDatabase::createEmpty(whole), QString());
        QFile source(whole);
        QVERIFY(source.open(QIODevice::ReadOnly));
        writeFile(path, source.read(2000));
        source.close();
        QFile::remove(whole);
    } else if (kind == QLatin1String("foreign")) {
        QCOMPARE(TestDatabase::execute(path, {QStringLiteral("CREATE TABLE Recipes (Name TEXT)")}), QString());
    } else if (kind == QLatin1String("noclients")) {
        QCOMPARE(TestDatabase::createEmpty(path), QString());
        QCOMPARE(TestDatabase::execute(path, {QStringLiteral("DROP TABLE Clients")}), QString());
    } else if (kind == QLatin1String("nofields")) {
        QCOMPARE(TestDatabase::createEmpty(path), QString());
        QCOMPARE(TestDatabase::execute(path, {QStringLiteral("DROP TABLE Meals"),
                                              QStringLiteral("CREATE TABLE Meals (ID INTEGER PRIMARY KEY, "
                                                             "Who TEXT, \"When\" TEXT, Food TEXT)")}),
                 QString());
    }
    const auto before = TestDatabase::snapshot(dir.path());

    const OpenResult result = deMealwright::instance().open(path);
    QCOMPARE(result.failure, failure);
    QCOMPARE(result.detail.contains(detail), true);
    QVERIFY(!result.reason().isEmpty());
    QVERIFY(!deMealwright::instance().isOpen());
    QCOMPARE(TestDatabase::snapshot(dir.path()), before);
}

void TestDatabaseOpen::lockedByAnotherConnection_data()
{
    QTest::addColumn<QString>("begin");
    QTest::newRow("writing (reserved)") << "BEGIN IMMEDIATE";
    QTest::newRow("exclusive") << "BEGIN EXCLUSIVE";
}

void TestDatabaseOpen::lockedByAnotherConnection()
{
    QFETCH(QString, begin);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("shared.mdb"));
    QCOMPARE(TestDatabase::createEmpty(path), QString());
    {
        LockHolder other(path, begin);
        const auto before = TestDatabase::snapshot(dir.path());
        const OpenResult result = deMealwright::instance().open(path);
        QCOMPARE(result.failure, OpenFailure::Locked);
        QVERIFY(!deMealwright::instance().isOpen());
        QCOMPARE(TestDatabase::snapshot(dir.path()), before);
    }
    // Once the other program lets go, the file opens.
    QVERIFY(deMealwright::instance().open(path).ok());
}

void TestDatabaseOpen::reasonsSpeakPlainly_data()
{
    QTest::addColumn<OpenFailure>("failure");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<QString>("expected");

    QTest::newRow("missing") << OpenFailure::Missing << QString() << "does not exist";
    QTest::newRow("folder") << OpenFailure::Folder << QString() << "is a folder";
    QTest::newRow("empty") << OpenFailure::Empty << QString() << "is empty";
    QTest::newRow("access") << OpenFailure::AccessFile << QString() << "Microsoft Access";
    QTest::newRow("not a db") << OpenFailure::NotADatabase << QString() << "not a database";
    QTest::newRow("tables") << OpenFailure::MissingTables << "the table Clients"
                            << "not a Mealwright database: it lacks the table Clients.";
    QTest::newRow("locked") << OpenFailure::Locked << QString() << "locked";
    QTest::newRow("read-only") << OpenFailure::ReadOnly << QString() << "cannot be written";
    QTest::newRow("unreadable") << OpenFailure::Unreadable << QString() << "cannot be read";
    QTest::newRow("other") << OpenFailure::Other << "disk I/O error" << "disk I/O error";
}

void TestDatabaseOpen::reasonsSpeakPlainly()
{
    QFETCH(OpenFailure, failure);
    QFETCH(QString, detail);
    QFETCH(QString, expected);
    const QString reason = OpenResult{failure, detail}.reason();
    QVERIFY2(reason.contains(expected), qPrintable(reason));
}

void TestDatabaseOpen::parametersAreFoundWithoutRegardToCase()
{
    CommandParameters parameters{{QStringLiteral("Client"), QMetaType::QString},
                                 {QStringLiteral("StartTime"), QMetaType::QDateTime},
                                 {QStringLiteral("EndTime"), QMetaType::QDateTime}};
    QCOMPARE(parameters.indexOf(u"EndTIme"), 2);
    QCOMPARE(parameters.indexOf(u"client"), 0);
    QCOMPARE(parameters.indexOf(u"End"), -1);

    const QDateTime end = wallClock(QDate(2002, 8, 14));
    QVERIFY(parameters.set(u"EndTIme", end));
    QCOMPARE(parameters.value(u"EndTime").toDateTime(), end);
    QVERIFY(!parameters.set(u"Finish", end));
    QCOMPARE(parameters.list().size(), size_t(3));
}

void TestDatabaseOpen::parametersBindInOrder()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bind.mdb"));
    QCOMPARE(TestDatabase::createEmpty(path), QString());
    QCOMPARE(TestDatabase::execute(
                 path, {QStringLiteral("INSERT INTO Meals (Who, \"When\", Food, Amount, Units) VALUES "
                                       "('Ann', '2002-08-13 00:00:00', 'Apple', 1, 'each'), "
                                       "('Ann', '2002-08-13 23:59:59', 'Pear', 1, 'each'), "
                                       "('Ann', '2002-08-14 00:00:00', 'Plum', 1, 'each'), "
                                       "('Bob', '2002-08-13 12:00:00', 'Fig', 1, 'each')")}),
             QString());
    QVERIFY(deMealwright::instance().open(path).ok());

    CommandParameters parameters{{QStringLiteral("Client"), QMetaType::QString},
                                 {QStringLiteral("StartTime"), QMetaType::QDateTime},
                                 {QStringLiteral("EndTime"), QMetaType::QDateTime}};
    const DateSpan day = DateSpan::oneDay(QDate(2002, 8, 13));
    parameters.set(u"CLIENT", QStringLiteral("ann"));
    parameters.set(u"starttime", day.begin);
    parameters.set(u"EndTIme", day.end);

    QSqlQuery query(deMealwright::instance().cnMealwright());
    QVERIFY(query.prepare(QStringLiteral("SELECT Food FROM Meals WHERE Who = ? AND \"When\" >= ? AND \"When\" < ? "
                                         "ORDER BY \"When\"")));
    parameters.bindTo(query);
    QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
    QStringList foods;
    while (query.next())
        foods << query.value(0).toString();
    // Names compare without regard to case; the span is half-open.
    QCOMPARE(foods, QStringList({QStringLiteral("Apple"), QStringLiteral("Pear")}));
}

void TestDatabaseOpen::whenTextRoundTrips_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("moment");
    QTest::newRow("evening") << "2001-03-05 18:05:00" << wallClock(QDate(2001, 3, 5), QTime(18, 5));
    QTest::newRow("midnight") << "2000-01-01 00:00:00" << wallClock(QDate(2000, 1, 1));
    // A wall-clock time the clocks skip in spring (New York) is kept as it was written.
    QTest::newRow("spring forward") << "2026-03-08 02:30:00" << wallClock(QDate(2026, 3, 8), QTime(2, 30));
    QTest::newRow("not a date") << "yesterday" << QDateTime();
}

void TestDatabaseOpen::whenTextRoundTrips()
{
    QFETCH(QString, text);
    QFETCH(QDateTime, moment);
    QCOMPARE(Schema::whenFromText(text), moment);
    if (moment.isValid())
        QCOMPARE(Schema::whenText(moment), text);
}

QTEST_GUILESS_MAIN(TestDatabaseOpen)
#include "tst_database.moc"
