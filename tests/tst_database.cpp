#include "Clients.h"
#include "Connection.h"
#include "DateSpan.h"
#include "Foods.h"
#include "MealReportCommand.h"
#include "Meals.h"
#include "MealViewCommand.h"
#include "OutputFile.h"
#include "Schema.h"
#include "TestDatabase.h"
#include "Units.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using Write = std::function<Status(Connection &)>;
Q_DECLARE_METATYPE(OpenFailure)
Q_DECLARE_METATYPE(Write)

namespace {

QDateTime at(int day, int hour = 0, int minute = 0, int second = 0)
{
    return wallClock(QDate(2002, 8, day), QTime(hour, minute, second));
}

// Runs as an ordinary user while it lives when the tests run as root, for whom no permission
// is ever missing.
struct AsOrdinaryUser
{
    AsOrdinaryUser() { QVERIFY(!wasRoot || seteuid(65534) == 0); }
    ~AsOrdinaryUser() { QVERIFY(!wasRoot || seteuid(0) == 0); }
    const bool wasRoot = geteuid() == 0;
};

// The report as lines, one a row, each level indented under its parent; times as "HH:mm:ss".
void outline(const ReportRow &row, QStringList &lines, int level = 0)
{
    static const QList<QStringList> columns{
        {"DayCount", "GrandTotalCalories", "GrandTotalFruitsAndVegetables", "AverageDailyCalories",
         "AverageDailyFruitsAndVegeables", "GrandTotalSupplements", "GrandTotalEntrees", "GrandTotalFruits",
         "GrandTotalVegetables"},
        {"DateOnly", "TotalMeals", "TotalCalories", "TotalFruits", "TotalVegetables", "TotalFruitsAndVegetables",
         "TotalSupplements", "TotalEntrees"},
        {"When", "Who", "Food", "Amount", "Units", "CaloriesPerUnit", "Calories", "Supplements", "Entrees",
         "Vegetables", "Fruits", "FruitsAndVegetables", "DateOnly"}};
    QStringList values;
    for (const QString &column : columns.at(level)) {
        const QVariant value = row.value(column);
        values << (value.typeId() == QMetaType::QDateTime ? value.toDateTime().toString("HH:mm:ss") : value.toString());
    }
    lines << QString(level * 2, QLatin1Char(' ')) + values.join(QLatin1Char('|'));
    for (const ReportRow &child : row.children)
        outline(child, lines, level + 1);
}

} // namespace

class TestDatabase_ : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Connection::setWaitHook([this](bool waiting) { m_waiting += waiting ? 1 : -1, m_waits += waiting; }); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_fixture = m_dir->filePath(QStringLiteral("fixture.mdb"));
        QCOMPARE(TestDatabase::createMealFixture(m_fixture), QString());
    }

    void cleanup() { m_connection.close(); m_dir.reset(); }

    // Each file is opened for writing and for reading only, as an ordinary user, right after the
    // fixture opened: a refused file leaves nothing open, and nothing on disk changed.
    void badFilesAreRefusedAndLeftAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("bytes");  // the file's content; null: a copy of the fixture
        QTest::addColumn<QStringList>("change"); // run on that copy
        QTest::addColumn<OpenFailure>("failure");
        QTest::addColumn<OpenFailure>("readOnlyFailure");
        QTest::addColumn<QString>("words");

        const auto row = [](const char *kind, const QByteArray &bytes, const QStringList &change, OpenFailure failure,
                            OpenFailure readOnly, const char *words) {
            QTest::newRow(kind) << QString::fromLatin1(kind) << bytes << change << failure << readOnly << QString::fromLatin1(words);
        };
        using F = OpenFailure;
        row("good", {}, {}, F::None, F::None, "");
        row("missing", {}, {}, F::Missing, F::Missing, "does not exist");
        row("name not UTF-8", {}, {}, F::NameNotUtf8, F::NameNotUtf8, "is not UTF-8 text");
        row("folder", {}, {}, F::Folder, F::Folder, "is a folder");
        row("pipe", {}, {}, F::NotAFile, F::NotAFile, "not an ordinary file");
        row("0 bytes", "", {}, F::Empty, F::Empty, "is empty");
        row("text", "Breakfast: two eggs, toast.\n", {}, F::NotADatabase, F::NotADatabase, "not a database");
        row("Access", QByteArray("\0\1\0\0Standard ACE DB", 19) + QByteArray(2029, 0), {}, F::AccessFile, F::AccessFile,
            "Microsoft Access");
        row("damaged SQLite", QByteArray("SQLite format 3", 16) + QByteArray(2032, 0), {}, F::NotADatabase, F::NotADatabase,
            "not a database");
        row("no tables", {}, {"DROP TABLE Meals", "DROP TABLE Foods", "DROP TABLE Units", "DROP TABLE Clients"},
            F::MissingTables, F::MissingTables, "lacks the tables Meals, Foods, Units and Clients.");
        row("fields short", {}, {"DROP TABLE Clients", "DROP INDEX MealsByFood", "ALTER TABLE Meals DROP COLUMN Amount", "ALTER TABLE Meals DROP COLUMN Units"},
            F::MissingTables, F::MissingTables, "lacks the table Clients and the fields Meals.Amount and Meals.Units.");
        // A writer blocks writing, not reading; an exclusive lock blocks both.
        row("writer", {}, {}, F::Locked, F::None, "locked");
        row("exclusive", {}, {}, F::Locked, F::Locked, "locked");
        // Every save needs a journal beside the file.
        row("folder not writable", {}, {}, F::FolderReadOnly, F::None, "folder");
        row("file not writable", {}, {}, F::ReadOnly, F::None, "cannot be written");
    }

    void badFilesAreRefusedAndLeftAlone()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, change);
        QFETCH(OpenFailure, failure);
        QFETCH(OpenFailure, readOnlyFailure);
        QFETCH(QString, words);

        const QString folder = m_dir->filePath(QStringLiteral("files"));
        QVERIFY(QDir().mkdir(folder));
        // Blanks and '#' must stay part of the path, not be read as parts of a URI.
        // A name whose bytes are not UTF-8 text, "caf\xE9.mdb", reads as "caf\uFFFD.mdb", which is not there.
        const QString path = folder + (kind.endsWith(u"UTF-8") ? QStringLiteral("/caf\uFFFD.mdb") : QStringLiteral("/My diary #2 (copy).mdb"));
        std::unique_ptr<TestDatabase::LockHolder> lock;
        if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(path));
        } else if (kind == QLatin1String("pipe")) {
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (!bytes.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        } else if (kind != QLatin1String("missing") && !path.contains(u'\uFFFD')) {
            QVERIFY(QFile::copy(m_fixture, path));
            QCOMPARE(TestDatabase::execute(path, change), QString());
            if (kind == QLatin1String("writer") || kind == QLatin1String("exclusive"))
                lock = std::make_unique<TestDatabase::LockHolder>(path, kind == QLatin1String("writer") ? QStringLiteral("BEGIN IMMEDIATE")
                                                                                                    : QStringLiteral("BEGIN EXCLUSIVE"));
        }
        // The ordinary user may reach the folder and the file, but may not write what the case forbids.
        const auto everyone = [](bool writable, bool searchable) { // read, and maybe write and search, for owner, group and others
            return QFile::Permissions::fromInt(0x4044 | (writable ? 0x2022 : 0) | (searchable ? 0x1011 : 0));
        };
        QVERIFY(QFile::setPermissions(m_dir->path(), everyone(false, true) | QFile::WriteOwner));
        if (QFileInfo(path).isFile())
            QVERIFY(QFile::setPermissions(path, everyone(kind != QLatin1String("file not writable"), false)));
        QVERIFY(QFile::setPermissions(folder, everyone(kind != QLatin1String("folder not writable"), true)));
        const auto before = TestDatabase::snapshot(m_dir->path());

        for (Access access : {Access::ReadWrite, Access::ReadOnly}) {
            QVERIFY(m_connection.open(m_fixture, access).ok());
            OpenResult result;
            {
                const AsOrdinaryUser user;
                result = m_connection.open(path, access);
            }
            QCOMPARE(result.failure, access == Access::ReadWrite ? failure : readOnlyFailure);
            QCOMPARE(m_connection.isOpen(), result.ok());
            QCOMPARE(m_connection.path(), result.ok() ? path : QString());
            QVERIFY2(result.ok() || result.reason().contains(words), qPrintable(result.reason()));
            QCOMPARE(Clients(m_connection).names().ok(), result.ok());
            m_connection.close();
            QCOMPARE(TestDatabase::snapshot(m_dir->path()), before);
        }
        QVERIFY(QFile::setPermissions(folder, everyone(true, true)));
    }

    void whenTextRoundTrips()
    {
        // A wall-clock time the clocks skip in spring (New York) is kept as it was written.
        for (const QDateTime &moment : {wallClock(QDate(2001, 3, 5), QTime(18, 5)), wallClock(QDate(2026, 3, 8), QTime(2, 30))})
            QCOMPARE(Schema::whenFromText(Schema::whenText(moment)), moment);
        QCOMPARE(Schema::whenText(wallClock(QDate(2026, 3, 8), QTime(2, 30))), QStringLiteral("2026-03-08 02:30:00"));
        // The other forms SQLite reads, from files other programs wrote; an offset goes back to UTC.
        const std::pair<const char *, QDateTime> forms[] = {
            {"2001-03-05 18:05", wallClock(QDate(2001, 3, 5), QTime(18, 5))},
            {"2001-03-05T18:05:07", wallClock(QDate(2001, 3, 5), QTime(18, 5, 7))},
            {"2001-03-05 18:05:07.25Z", wallClock(QDate(2001, 3, 5), QTime(18, 5, 7, 250))},
            {"2001-03-05", wallClock(QDate(2001, 3, 5))},
            {"2001-03-05 23:30-01:15", wallClock(QDate(2001, 3, 6), QTime(0, 45))}};
        for (const auto &[text, moment] : forms)
            QCOMPARE(Schema::whenFromText(QString::fromLatin1(text)), moment);
        for (const char *text : {"yesterday", "2001-02-30 10:00:00", "2001-03-05 24:00:00", "2001-03-05 18", "2001-03-05 18:05:07.",
                                 "2001-03-05 18:05 ", "2001-03-05 18:05+1:00", "2451973.5"})
            QVERIFY2(!Schema::whenFromText(QString::fromLatin1(text)).isValid(), text);
    }

    void writesChangeExactlyOneRow_data()
    {
        QTest::addColumn<Write>("write");
        QTest::newRow("meal delete") << Write([](Connection &c) { return Meals(c).remove(5); });
        QTest::newRow("food update") << Write([](Connection &c) {
            return Foods(c).update({8, QStringLiteral("Kale"), QStringLiteral("cup"), 30, 1, 0, false, false},
                                   {8, QStringLiteral("Kale"), QStringLiteral("cup"), 33, 1, 0, false, false});
        });
        QTest::newRow("client rename") << Write([](Connection &c) {
            return Clients(c).change({QStringLiteral("Ann"), 1500.0}, {QStringLiteral("Anna"), 1500.0});
        });
        QTest::newRow("client delete") << Write([](Connection &c) { return Clients(c).remove(QStringLiteral("Ann"), 0).status(); });
    }

    void writesChangeExactlyOneRow()
    {
        QFETCH(Write, write);
        // A file made elsewhere whose keys are not unique: two meals 5, two foods 8, two clients Ann.
        QStringList keysNotUnique;
        for (const QString table : {"Meals", "Foods", "Clients"})
            keysNotUnique << QStringLiteral("CREATE TABLE Copy AS SELECT * FROM %1").arg(table)
                          << QStringLiteral("DROP TABLE %1").arg(table) << QStringLiteral("ALTER TABLE Copy RENAME TO %1").arg(table);
        keysNotUnique << QStringLiteral("INSERT INTO Meals VALUES (5, 'Ann', '2002-08-13 09:00:00', 'Apple', 1, 'each'), "
                                        "(5, 'Ann', '2002-08-13 10:00:00', 'Apple', 2, 'each')")
                      << QStringLiteral("INSERT INTO Foods VALUES (8, 'Kale', 'cup', 33, 1, 0, 0, 0), (8, 'Kale', 'bunch', 50, 2, 0, 0, 0)")
                      << QStringLiteral("INSERT INTO Clients VALUES ('Ann', 1600)");
        change(keysNotUnique);
        const auto before = TestDatabase::snapshot(m_dir->path());
        QVERIFY(m_connection.open(m_fixture).ok());
        const Status status = write(m_connection);
        QVERIFY2(status.reason().contains(QStringLiteral("changed none of them")), qPrintable(status.reason()));
        m_connection.close();
        QCOMPARE(TestDatabase::snapshot(m_dir->path()), before);
    }

    void refusedWritesSayWhyAndChangeNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("words");
        // A statement that cannot be prepared gives the engine's reason, not a driver's complaint.
        QTest::newRow("table is a view") << "view" << "cannot modify Meals because it is a view";
        QTest::newRow("opened read-only") << "read-only" << "cannot be written";
        QTest::newRow("another writer") << "BEGIN IMMEDIATE" << "locked";
        // A reader lets the write begin but not commit: the refused commit is rolled back.
        QTest::newRow("another reader") << "BEGIN" << "locked";
        // Another program took the file away while it was open.
        for (const char *moved : {"moved", "deleted", "replaced"})
            QTest::newRow(moved) << moved << "moved, deleted or replaced";
    }

    void refusedWritesSayWhyAndChangeNothing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, words);
        if (kind == QLatin1String("view"))
            change({"ALTER TABLE Meals RENAME TO MealRows", "CREATE VIEW Meals AS SELECT * FROM MealRows"});
        QVERIFY(m_connection.open(m_fixture, kind == QLatin1String("read-only") ? Access::ReadOnly : Access::ReadWrite).ok());
        const bool locked = kind.startsWith(QLatin1String("BEGIN"));
        std::unique_ptr<TestDatabase::LockHolder> lock;
        if (locked)
            lock = std::make_unique<TestDatabase::LockHolder>(m_fixture, kind);
        const QString moved = m_fixture + ".moved"; // and then deleted, or replaced by a copy put in its place
        if (kind == QLatin1String("moved") || kind == QLatin1String("deleted") || kind == QLatin1String("replaced"))
            QVERIFY(QFile::rename(m_fixture, moved) && (kind != u"deleted" || QFile::remove(moved)) && (kind != u"replaced" || QFile::copy(moved, m_fixture)));
        const auto before = TestDatabase::snapshot(m_dir->path());
        m_waits = 0;

        const Status removed = Meals(m_connection).remove(41);
        QVERIFY2(removed.reason().contains(words), qPrintable(removed.reason())); // not "Parameter count mismatch"
        lock.reset();
        QCOMPARE(TestDatabase::snapshot(m_dir->path()), before);
        // Once the other program is done, the same connection writes again: nothing was left open.
        QCOMPARE(Meals(m_connection).remove(41).ok(), locked);
        // Every wait for a lock was announced, and its end too.
        QVERIFY(m_waits > 0);
        QCOMPARE(m_waiting, 0);
    }

    // A save left unfinished (a hot journal beside the file) cannot be undone read-only: the file
    // is refused with that reason, until an open for writing completes the recovery.
    void unfinishedSaveIsRecoveredOnWriting()
    {
        const QString hot = m_dir->filePath(QStringLiteral("hot.mdb"));
        {
            Connection other(QStringLiteral("tst_database-other"));
            QVERIFY(other.open(m_fixture).ok() && other.statement("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) INSERT"
                                                                  " INTO Foods (Food, Units) SELECT printf('Food %d %.3000c', i, 'x'), 'each' FROM n").exec());
            QVERIFY(other.statement(QStringLiteral("PRAGMA cache_size = 1")).exec());
            Connection::Transaction transaction(other);
            // More changed pages than the cache holds: the journal is complete and the file changed.
            QVERIFY(other.statement(QStringLiteral("UPDATE Foods SET CaloriesPerUnit = 1")).exec());
            QVERIFY(QFile::copy(m_fixture, hot) && QFile::copy(m_fixture + "-journal", hot + "-journal"));
        }
        const OpenResult readOnly = m_connection.open(hot, Access::ReadOnly);
        QVERIFY2(readOnly.reason().contains(QStringLiteral("open the file once in Mealwright")), qPrintable(readOnly.reason()));
        QVERIFY(m_connection.open(hot).ok() && m_connection.open(hot, Access::ReadOnly).ok());
    }

    // A table whose largest ID is the largest there is takes no more rows: that is the reason given.
    void usedUpNumbersAreSaidSo()
    {
        QVERIFY(m_connection.open(m_fixture).ok() && m_connection.statement(QStringLiteral("INSERT INTO Meals SELECT 9223372036854775807, Who, \"When\", Food, Amount, Units FROM Meals WHERE ID = 41")).exec());
        const Result<qint64> added = Meals(m_connection).insert({0, QStringLiteral("Ann"), at(13, 10), QStringLiteral("Apple"), 1, QStringLiteral("each"), {}});
        QVERIFY2(added.reason().contains(QStringLiteral("No more entries can be numbered in the table Meals")), qPrintable(added.reason()));
    }

    // Only an ordinary file is replaced by a file written for the user, never the open diary, by
    // whatever name; anything else is refused before a byte is written. The longest name fits. A
    // file is replaced only once its new content is whole: a failed write leaves it as it was.
    void outputFileReplacesOnlyOrdinaryFiles_data()
    {
        QTest::addColumn<QString>("target"); // in the fixture's folder
        QTest::addColumn<QString>("words");  // of the refusal; none: written
        for (const char *diary : {"fixture.mdb", "sub/../fixture.mdb", "hard link.mdb"})
            QTest::newRow(diary) << diary << "is the diary that is open";
        for (const char *link : {"soft link.mdb", "planted.pdf"})
            QTest::newRow(link) << link << "is a symbolic link";
        for (const char *special : {"pipe", "null"})
            QTest::newRow(special) << special << "is a pipe or a device";
        QTest::newRow("folder") << "sub" << "is a folder";
        QTest::newRow("255 bytes") << QString(251, QLatin1Char('r')) + ".pdf" << "";
        QTest::newRow("last week's") << "last week.pdf" << "";
        QTest::newRow("drawn in part") << "last week.pdf" << "cannot be written: the report could not be drawn.";
    }

    void outputFileReplacesOnlyOrdinaryFiles()
    {
        QFETCH(QString, target);
        QFETCH(QString, words);
        const QDir dir(m_dir->path());
        const auto name = [&dir](const char *file) { return QFile::encodeName(dir.filePath(file)); };
        QVERIFY(m_connection.open(m_fixture, Access::ReadOnly).ok() && dir.mkdir("sub") && QFile::link(m_fixture, dir.filePath("soft link.mdb")) && QFile::link("/nowhere/victim", dir.filePath("planted.pdf")));
        QCOMPARE(link(QFile::encodeName(m_fixture), name("hard link.mdb")) + mkfifo(name("pipe"), 0600), 0);
        QFile old(dir.filePath("last week.pdf"));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("last week's") > 0 && old.flush());
        // A device of its own, as /dev/null is: a faulty write must not reach the real one.
        if (target == "null" && mknod(name("null"), S_IFCHR | 0600, makedev(1, 3)) != 0)
            QSKIP("Only root makes a device node.");
        auto before = TestDatabase::snapshot(dir.path());

        const QString path = dir.filePath(target);
        const bool drawn = !words.startsWith(u"cannot");
        const Status written = OutputFile::write(path, [drawn](QIODevice &file) {
            return file.write("report") == 6 && drawn ? Status() : Status::failure("the report could not be drawn.");
        });
        const QString why = drawn ? " was not written: it " + words : ' ' + words;
        QVERIFY2(words.isEmpty() ? written.ok() : written.reason().startsWith(path + why), qPrintable(written.reason()));
        QFile file(path);
        if (words.isEmpty() && file.open(QIODevice::ReadOnly) && file.readAll() == "report") // and nothing else changed
            before[path] = TestDatabase::snapshot(dir.path())[path];
        QCOMPARE(TestDatabase::snapshot(dir.path()), before);
    }

    void joinedTransactionFailsAsAWhole()
    {
        QVERIFY(m_connection.open(m_fixture).ok());
        {
            Connection::Transaction outer(m_connection);
            QVERIFY(outer.status());
            QVERIFY(Clients(m_connection).add({QStringLiteral("Zoe"), 1800.0}));
            // The second add fails inside its own, joined transaction: nothing of the whole is kept.
            QVERIFY(!Clients(m_connection).add({QStringLiteral("zoe"), 1800.0}));
            QVERIFY(!outer.commit());
        }
        QVERIFY(!Clients(m_connection).find(QStringLiteral("Zoe"))->has_value());
    }

    // Reads of many rows whose table has a damaged page half-way: the rows before it were read fine,
    // and the read still fails as a whole, with the reason.
    void damagedPageEndsTheRead_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<Write>("read");
        const DateSpan year = DateSpan::selectedDays(QDate(2003, 1, 1), QDate(2003, 12, 31));
        QTest::newRow("food list") << "Foods" << Write([](Connection &c) { return Foods(c).all().status(); });
        QTest::newRow("meal view") << "Meals" << Write([year](Connection &c) {
            return MealViewCommand::execute(c, QStringLiteral("Ann"), year).status;
        });
        QTest::newRow("report") << "Meals" << Write([year](Connection &c) {
            return MealReportCommand::execute(c, QStringLiteral("Ann"), year).status();
        });
    }

    void damagedPageEndsTheRead()
    {
        QFETCH(QString, table);
        QFETCH(Write, read);
        // 2,000 foods with long names, and a meal of Ann's in 2003 for each, in time order.
        change({"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000)"
                " INSERT INTO Foods (Food, Units, CaloriesPerUnit) SELECT printf('Food %04d %.200c', i, 'x'), 'each', i FROM n",
                "INSERT INTO Meals (Who, \"When\", Food, Amount, Units) SELECT 'Ann', datetime('2003-01-01', '+' || (ID * 4)"
                " || ' hours'), Food, 1, Units FROM Foods WHERE Food LIKE 'Food %' ORDER BY ID"});
        QVERIFY(m_connection.open(m_fixture).ok());
        QVERIFY(read(m_connection));
        const QStringList pages = *m_connection.statement(QStringLiteral("SELECT pageno FROM dbstat WHERE name = ? AND pagetype = 'leaf'"
                                                                         " ORDER BY pageno")).bind(table).texts();
        const qint64 pageSize = *m_connection.statement(QStringLiteral("PRAGMA page_size")).wholeNumber();
        m_connection.close();
        QVERIFY(pages.size() > 10);
        QFile file(m_fixture);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.seek((pages[pages.size() / 2].toLongLong() - 1) * pageSize));
        QCOMPARE(file.write(QByteArray(pageSize, '\xff')), pageSize);
        file.close();

        QVERIFY(m_connection.open(m_fixture).ok());
        const Status status = read(m_connection);
        QVERIFY2(status.reason().contains(QStringLiteral("damaged")), qPrintable(status.reason()));
    }

    void mealWithAMalformedTimeIsShownAsStored()
    {
        // Text that is no date-time but sorts inside the day: it is counted, so it is shown as it is.
        change({"INSERT INTO Meals (ID, Who, \"When\", Food, Amount, Units)"
                " VALUES (99, 'Ann', '2002-08-13 noon', 'Apple', 1, 'each')"});
        QVERIFY(m_connection.open(m_fixture).ok());
        const MealViewResult result = MealViewCommand::execute(m_connection, QStringLiteral("Ann"), DateSpan::oneDay(QDate(2002, 8, 13)));
        const MealRows &rows = *result.qryMealView;
        const MealRow &noon = rows.at(rows.find(99));
        QVERIFY(!noon.When.isValid());
        QCOMPARE(mealFieldValue(noon, MealField::When).toString(), QStringLiteral("2002-08-13 noon"));
        QCOMPARE(result.totals.TotalCalories, 1085.0 + 95);
        // First and last carry the time of day of the first and last meal with a date-time.
        QCOMPARE(result.totals.FirstDate, at(13));
        QCOMPARE(result.totals.LastDate, at(13, 23, 59, 59));
    }

    void reportCommand_data()
    {
        QTest::addColumn<QString>("client");
        QTest::addColumn<DateSpan>("span");
        QTest::addColumn<QStringList>("lines");

        // Ann's meals at 12:00 and 12:30 have no food entry; the one at the next midnight is the 14th's.
        // Milk and Shake share a time; Milk is neither a supplement nor an entree.
        const QStringList tuesday{"  2002/08/13|5|1085|1|0.5|1.5|3.5|2.5",
                                  "    00:00:00|Ann|Apple|1|each|95|95|0|0|0|1|1|2002/08/13",
                                  "    08:00:00|Ann|Milk|1|cup|100|100|0|0|0|0|0|2002/08/13",
                                  "    08:00:00|Ann|Shake|2|packet|170|340|2|0|0|0|0|2002/08/13",
                                  "    18:05:00|Ann|Chicken pasta|1|each|250|250|0|1|0.5|0|0.5|2002/08/13",
                                  "    23:59:59|Ann|Protein bar|1.5|bar|200|300|1.5|1.5|0|0|0|2002/08/13"};
        const QStringList none{"0|0|0|0|0|0|0|0|0"};
        QTest::newRow("first second in, end midnight out, name in other case")
            << "ANN" << DateSpan{at(13), at(14)} << QStringList{"1|1085|1.5|1085|1.5|3.5|2.5|1|0.5"} + tuesday;
        QTest::newRow("averages over days with data")
            << "Ann" << DateSpan{at(13), at(21)}
            << QStringList{"4|1435|5.5|358.75|1.375|3.5|2.5|3|2.5"} + tuesday
                   + QStringList{"  2002/08/14|1|60|0|2|2|0|0", "    00:00:00|Ann|Broccoli|2|cup|30|60|0|0|2|0|2|2002/08/14",
                                 "  2002/08/15|1|100|0|0|0|0|0", "    19:00:00|Ann|Milk|8|fl oz|12.5|100|0|0|0|0|0|2002/08/15",
                                 "  2002/08/20|1|190|2|0|2|0|0", "    12:00:00|Ann|Apple|2|each|95|190|0|0|0|2|2|2002/08/20"};
        QTest::newRow("apostrophe")
            << "Maeve O'Brien" << DateSpan{at(13), at(14)}
            << QStringList{"1|125|2|125|2|0|0|1|1", "  2002/08/13|2|125|1|1|2|0|0",
                           "    09:00:00|Maeve O'Brien|Broccoli|1|cup|30|30|0|0|1|0|1|2002/08/13",
                           "    2002-08-13 noon|Maeve O'Brien|Apple|1|each|95|95|0|0|0|1|1|2002/08/13"};
        QTest::newRow("no meals in the span") << "Ann" << DateSpan{at(16), at(20)} << none;
        QTest::newRow("meals only outside the span") << "Bob" << DateSpan{at(14), at(21)} << none;
        // The week runs past the last day a date box takes, into the year 10000.
        QTest::newRow("the last day there is")
            << "Bob" << DateSpan::oneWeek(QDate(9999, 12, 28))
            << QStringList{"1|95|1|95|1|0|0|1|0", "  9999/12/31|1|95|1|0|1|0|0",
                           "    23:59:59|Bob|Apple|1|each|95|95|0|0|0|1|1|9999/12/31"};
    }

    void reportCommand()
    {
        QFETCH(QString, client);
        QFETCH(DateSpan, span);

        // Units in another case find the food entry; a time that is no date-time is kept as stored.
        change({"INSERT INTO Meals (Who, \"When\", Food, Amount, Units) VALUES "
                "('Maeve O''Brien', '2002-08-13 09:00:00', 'Broccoli', 1, 'CUP'),"
                "('Maeve O''Brien', '2002-08-13 noon', 'Apple', 1, 'each'), ('Bob', '9999-12-31 23:59:59', 'Apple', 1, 'each')"});
        QVERIFY(m_connection.open(m_fixture, Access::ReadOnly).ok());
        const Result<ReportRow> report = MealReportCommand::execute(m_connection, client, span);
        QVERIFY2(report.ok(), qPrintable(report.reason()));
        QStringList found;
        outline(*report, found);
        QTEST(found, "lines");
        // The meal view shows the same meals.
        QCOMPARE(MealViewCommand::execute(m_connection, client, span).qryMealView->count(), found.size() - 1 - qsizetype(report->children.size()));
        QCOMPARE(report->value("DayCount").typeId(), QMetaType::LongLong);
        QVERIFY(report->children.empty() || report->children[0].value("TotalMeals").typeId() == QMetaType::LongLong);
    }

private:
    // Runs statements on the fixture, as another program would.
    void change(const QStringList &sql) { QCOMPARE(TestDatabase::execute(m_fixture, sql), QString()); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_fixture;
    Connection m_connection{QStringLiteral("tst_database")};
    int m_waits = 0, m_waiting = 0; // statements that announced they may wait for a lock; of which not yet ended
};

QTEST_GUILESS_MAIN(TestDatabase_)
#include "tst_database.moc"
