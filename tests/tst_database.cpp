#include "TestDatabase.h"
#include "common/DateSpan.h"
#include "data/CommandParameters.h"
#include "data/MealViewCommand.h"
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

    void mealViewCommand_data();
    void mealViewCommand();
    void mealRowsMultiplyOutTheFoodEntry();
    void mealRowsSort_data();
    void mealRowsSort();
    void mealRowsFindAndCursors();
    void mealViewCommandReportsAFailingDatabase();
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
    QTest::newRow("no such day") << "2001-02-30 10:00:00" << QDateTime();
    QTest::newRow("ISO separator") << "2001-03-05T18:05:00" << QDateTime();
    QTest::newRow("hour 24") << "2001-03-05 24:00:00" << QDateTime();
}

void TestDatabaseOpen::whenTextRoundTrips()
{
    QFETCH(QString, text);
    QFETCH(QDateTime, moment);
    QCOMPARE(Schema::whenFromText(text), moment);
    if (moment.isValid())
        QCOMPARE(Schema::whenText(moment), text);
}

namespace {
QDateTime at(int day, int hour = 0, int minute = 0, int second = 0)
{
    return wallClock(QDate(2002, 8, day), QTime(hour, minute, second));
}

MealViewResult runMealView(const QString &client, const QDateTime &begin, const QDateTime &end)
{
    MealViewCommand command;
    command.parameters.set(u"Client", client);
    command.parameters.set(u"StartTime", begin);
    command.parameters.set(u"EndTIme", end);
    return command.execute();
}

std::vector<MealRow> rowsWithCalories(std::initializer_list<std::pair<qint64, double>> idAndCalories)
{
    std::vector<MealRow> rows;
    int minute = 0;
    for (const auto &[id, calories] : idAndCalories) {
        MealRow row;
        row.ID = id;
        row.When = at(13, 8, minute++);
        row.Calories = calories;
        row.Food = QStringLiteral("Food %1").arg(id);
        rows.push_back(row);
    }
    return rows;
}

QList<qint64> idsInOrder(const MealRows &rows)
{
    QList<qint64> ids;
    for (MealRows::Cursor row = rows.cursor(); !row.atEnd(); row.moveNext())
        ids << row.row().ID;
    return ids;
}
} // namespace

void TestDatabaseOpen::mealViewCommand_data()
{
    QTest::addColumn<QString>("client");
    QTest::addColumn<QDateTime>("begin");
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<QList<qint64>>("ids");
    QTest::addColumn<double>("calories");
    QTest::addColumn<double>("fruits");
    QTest::addColumn<double>("vegetables");
    QTest::addColumn<double>("supplements");
    QTest::addColumn<double>("entrees");

    // Meal 1 is at the start; 10 and 20 share a time and come in ID order; 30 and 31 have no food
    // entry; 50 is at the end and belongs to the next day; 60 is Bob's.
    QTest::newRow("one day") << "Ann" << at(13) << at(14) << QList<qint64>{1, 10, 20, 40, 41} << 1085.0 << 1.0
                             << 0.5 << 3.5 << 2.5;
    QTest::newRow("next day starts at its midnight") << "Ann" << at(14) << at(15) << QList<qint64>{50} << 60.0
                                                     << 0.0 << 2.0 << 0.0 << 0.0;
    QTest::newRow("one week") << "Ann" << at(13) << at(20) << QList<qint64>{1, 10, 20, 40, 41, 50, 70} << 1245.0
                              << 1.0 << 2.5 << 3.5 << 2.5;
    QTest::newRow("eight days, large ID") << "Ann" << at(13) << at(21)
                                          << QList<qint64>{1, 10, 20, 40, 41, 50, 70, 40000} << 1435.0 << 3.0
                                          << 2.5 << 3.5 << 2.5;
    QTest::newRow("name in other case") << "ANN" << at(13) << at(14) << QList<qint64>{1, 10, 20, 40, 41} << 1085.0
                                        << 1.0 << 0.5 << 3.5 << 2.5;
    QTest::newRow("other client") << "Bob" << at(13) << at(14) << QList<qint64>{60} << 285.0 << 3.0 << 0.0 << 0.0
                                  << 0.0;
    QTest::newRow("no such client") << "Zed" << at(13) << at(14) << QList<qint64>{} << 0.0 << 0.0 << 0.0 << 0.0
                                    << 0.0;
    QTest::newRow("end before start") << "Ann" << at(14) << at(13) << QList<qint64>{} << 0.0 << 0.0 << 0.0 << 0.0
                                      << 0.0;
    QTest::newRow("span with times") << "Ann" << at(13, 8) << at(13, 18, 5) << QList<qint64>{10, 20} << 440.0
                                     << 0.0 << 0.0 << 2.0 << 0.0;
    QTest::newRow("apostrophe") << "Maeve O'Brien" << at(1) << at(31) << QList<qint64>{} << 0.0 << 0.0 << 0.0
                                << 0.0 << 0.0;
}

void TestDatabaseOpen::mealViewCommand()
{
    QFETCH(QString, client);
    QFETCH(QDateTime, begin);
    QFETCH(QDateTime, end);
    QFETCH(QList<qint64>, ids);
    QFETCH(double, calories);
    QFETCH(double, fruits);
    QFETCH(double, vegetables);
    QFETCH(double, supplements);
    QFETCH(double, entrees);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fixture.mdb"));
    QCOMPARE(TestDatabase::createMealFixture(path), QString());
    QVERIFY(deMealwright::instance().open(path).ok());

    const MealViewResult result = runMealView(client, begin, end);
    QVERIFY2(!result.failed(), qPrintable(result.errorText));
    QVERIFY(result.qryMealView);
    QCOMPARE(idsInOrder(*result.qryMealView), ids);
    const MealTotals &totals = result.totals;
    QCOMPARE(totals.TotalMeals, ids.size());
    QCOMPARE(totals.TotalCalories, calories);
    QCOMPARE(totals.TotalFruits, fruits);
    QCOMPARE(totals.TotalVegetables, vegetables);
    QCOMPARE(totals.TotalSupplements, supplements);
    QCOMPARE(totals.TotalEntrees, entrees);
    if (!ids.isEmpty()) {
        // First and last carry the time of day of the first and last meal.
        QCOMPARE(totals.FirstDate, result.qryMealView->at(0).When);
        QCOMPARE(totals.LastDate, result.qryMealView->at(result.qryMealView->count() - 1).When);
    }
}

void TestDatabaseOpen::mealRowsMultiplyOutTheFoodEntry()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fixture.mdb"));
    QCOMPARE(TestDatabase::createMealFixture(path), QString());
    QVERIFY(deMealwright::instance().open(path).ok());

    const MealViewResult result = runMealView(QStringLiteral("Ann"), at(13), at(14));
    const MealRows &rows = *result.qryMealView;
    const MealRow &bar = rows.at(rows.find(41));
    QCOMPARE(bar.When, at(13, 23, 59, 59));
    QCOMPARE(bar.Who, QStringLiteral("Ann"));
    QCOMPARE(bar.Food, QStringLiteral("Protein bar"));
    QCOMPARE(bar.Amount, 1.5);
    QCOMPARE(bar.Units, QStringLiteral("bar"));
    QCOMPARE(bar.CaloriesPerUnit, 200.0);
    QCOMPARE(bar.FoodUnits, QStringLiteral("bar"));
    QCOMPARE(bar.Calories, 300.0);
    // Flagged both ways, the bar counts its amount as a supplement and as an entree.
    QCOMPARE(bar.Supplements, 1.5);
    QCOMPARE(bar.Entrees, 1.5);
    const MealRow &pasta = rows.at(rows.find(40));
    QCOMPARE(pasta.Supplements, 0.0);
    QCOMPARE(pasta.Entrees, 1.0);
    QCOMPARE(pasta.Vegetables, 0.5);
}

void TestDatabaseOpen::mealRowsSort_data()
{
    QTest::addColumn<QString>("sortText");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QList<qint64>>("ids");

    // Rows 1..5 in time order, with calories 300, 100, 300, 200, 100.
    QTest::newRow("ascending, ties in time order") << "Calories ASC" << true << QList<qint64>{2, 5, 4, 1, 3};
    QTest::newRow("descending, ties in time order") << "Calories DESC" << true << QList<qint64>{1, 3, 4, 2, 5};
    QTest::newRow("direction left out") << "calories" << true << QList<qint64>{2, 5, 4, 1, 3};
    QTest::newRow("back to time") << "When ASC" << true << QList<qint64>{1, 2, 3, 4, 5};
    QTest::newRow("text field") << "Food DESC" << true << QList<qint64>{5, 4, 3, 2, 1};
    QTest::newRow("unknown field") << "Flavour ASC" << false << QList<qint64>{1, 2, 3, 4, 5};
    QTest::newRow("unknown direction") << "Calories UP" << false << QList<qint64>{1, 2, 3, 4, 5};
}

void TestDatabaseOpen::mealRowsSort()
{
    QFETCH(QString, sortText);
    QFETCH(bool, accepted);
    QFETCH(QList<qint64>, ids);

    MealRows rows(rowsWithCalories({{1, 300}, {2, 100}, {3, 300}, {4, 200}, {5, 100}}));
    QCOMPARE(rows.sort(sortText), accepted);
    QCOMPARE(idsInOrder(rows), ids);
    QCOMPARE(rows.sortText(), accepted ? sortText : QString());
    // Bookmarks stay with their rows whatever the order.
    for (int position = 0; position < rows.count(); ++position) {
        QCOMPARE(rows.atBookmark(rows.bookmarkAt(position)).ID, rows.at(position).ID);
        QCOMPARE(rows.positionOf(rows.bookmarkAt(position)), position);
        QCOMPARE(rows.atBookmark(rows.bookmarkAt(position)).ID, rows.bookmarkAt(position) + 1);
    }
}

void TestDatabaseOpen::mealRowsFindAndCursors()
{
    MealRows rows(rowsWithCalories({{7, 1}, {40000, 2}, {9, 3}, {7, 4}}));
    QCOMPARE(rows.find(40000), 1);
    QCOMPARE(rows.find(7), 0);
    QCOMPARE(rows.find(7, 1), 3);
    QCOMPARE(rows.find(9, 3), -1);
    QCOMPARE(rows.find(8), -1);

    // Two cursors walk the same rows without disturbing each other.
    MealRows::Cursor first = rows.cursor();
    MealRows::Cursor second = rows.cursor();
    first.moveNext();
    first.moveNext();
    QCOMPARE(first.row().ID, 9);
    QCOMPARE(second.row().ID, 7);
    second.moveNext();
    QCOMPARE(second.row().ID, 40000);
    QCOMPARE(first.row().ID, 9);

    const MealTotals totals = MealViewCommand::totalsOf(rows);
    QCOMPARE(totals.TotalMeals, 4);
    QCOMPARE(totals.TotalCalories, 10.0);
    QCOMPARE(totals.FirstDate, at(13, 8, 0));
    QCOMPARE(totals.LastDate, at(13, 8, 3));
}

void TestDatabaseOpen::mealViewCommandReportsAFailingDatabase()
{
    // No database open: the command says so instead of giving an empty list.
    const MealViewResult result = runMealView(QStringLiteral("Ann"), at(13), at(14));
    QVERIFY(result.failed());
    QVERIFY(!result.qryMealView);
}

QTEST_GUILESS_MAIN(TestDatabaseOpen)
#include "tst_database.moc"
