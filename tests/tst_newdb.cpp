#include "BuildInfo.h"
#include "newdb/DemoData.h"
#include "data/Schema.h"

#include <QDirIterator>
#include <QFile>
#include <QLocale>
#include <QMap>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <cmath>
#include <iterator>
#include <map>
#include <set>

namespace {

const QString toolPath = QStringLiteral(MEALWRIGHT_NEWDB);
const QString usageLine = QStringLiteral("Usage: mealwright-newdb FILE [--demo]");

// The demo used throughout: its eight weeks hold 29 February and the night the clocks change
// in the test's time zone (10 March 2024 in New York).
const QDate fixedLastDay(2024, 3, 31);

struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList &arguments, const QString &workingDirectory)
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    process.start(toolPath, arguments);
    ToolRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        run.err = QStringLiteral("the tool did not finish normally");
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

// Every entry under dir, hidden ones included, with the bytes of each file ("<folder>" for a
// folder): what a failed run must leave exactly as it was.
QMap<QString, QByteArray> snapshot(const QString &dir)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isDir()) {
            entries.insert(path, QByteArrayLiteral("<folder>"));
        } else {
            QFile file(path);
            entries.insert(path, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArrayLiteral("<unreadable>"));
        }
    }
    return entries;
}

// A read-only connection of its own to a database file, removed again when it goes.
class Database
{
public:
    explicit Database(const QString &path) : m_name(QStringLiteral("tst_newdb-%1").arg(++s_count))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        db.setDatabaseName(path);
        db.open();
    }
    ~Database() { QSqlDatabase::removeDatabase(m_name); }
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

    // Every row of the statement, each row's values in order.
    QList<QVariantList> rows(const QString &sql, const QVariantList &values = {}) const
    {
        QSqlQuery query(db());
        query.setForwardOnly(true);
        QList<QVariantList> result;
        if (!query.prepare(sql)) {
            qWarning() << sql << query.lastError().text();
            return result;
        }
        for (int i = 0; i < values.size(); ++i)
            query.bindValue(i, values.at(i));
        if (!query.exec()) {
            qWarning() << sql << query.lastError().text();
            return result;
        }
        while (query.next()) {
            QVariantList row;
            for (int c = 0; c < query.record().count(); ++c)
                row << query.value(c);
            result << row;
        }
        return result;
    }

    QVariantList column(const QString &sql, const QVariantList &values = {}) const
    {
        QVariantList result;
        for (const QVariantList &row : rows(sql, values))
            result << row.value(0);
        return result;
    }

    qlonglong number(const QString &sql) const { return column(sql).value(0, -1).toLongLong(); }

private:
    static inline int s_count = 0;
    QString m_name;
};

QDateTime when(const QVariant &text)
{
    return Schema::whenFromText(text.toString());
}

// The sizes a person would enter for each unit the demo's meals use.
struct AmountRange
{
    double least;
    double most;
    bool whole;
};

const std::map<QString, AmountRange> &sensibleAmounts()
{
    static const std::map<QString, AmountRange> ranges = {
        {QStringLiteral("each"), {1, 3, true}},     {QStringLiteral("slice"), {1, 3, true}},
        {QStringLiteral("packet"), {1, 2, true}},   {QStringLiteral("bar"), {1, 2, true}},
        {QStringLiteral("serving"), {0.5, 2, false}}, {QStringLiteral("cup"), {0.25, 4, false}},
        {QStringLiteral("fl oz"), {2, 24, false}},  {QStringLiteral("oz"), {0.5, 10, false}},
        {QStringLiteral("tbsp"), {0.5, 3, false}},  {QStringLiteral("tsp"), {0.5, 3, false}},
        {QStringLiteral("g"), {20, 400, false}},
    };
    return ranges;
}

} // namespace

class TestNewDb : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void createdFileHasTheSchema_data();
    void createdFileHasTheSchema();
    void indexes_data();
    void indexes();

    void toolCreatesTheFile_data();
    void toolCreatesTheFile();
    void toolRefuses_data();
    void toolRefuses();
    void usageErrors_data();
    void usageErrors();
    void informationOptions_data();
    void informationOptions();

    void demoCounts_data();
    void demoCounts();
    void demoMatchesItsLists();
    void demoSpan_data();
    void demoSpan();
    void demoIsRepeatable();
    void demoMealTimes();
    void demoAmounts_data();
    void demoAmounts();
    void demoDailyTotals_data();
    void demoDailyTotals();

private:
    QTemporaryDir m_dir;
    QString m_emptyPath;
    QString m_demoPath;
};

void TestNewDb::initTestCase()
{
    QVERIFY(QFileInfo::exists(toolPath));
    QVERIFY(m_dir.isValid());
    m_emptyPath = m_dir.filePath(QStringLiteral("empty.mdb"));
    m_demoPath = m_dir.filePath(QStringLiteral("demo.mdb"));
    QCOMPARE(NewDatabase::createDatabaseFile(m_emptyPath, false, QDate()), QString());
    QCOMPARE(NewDatabase::createDatabaseFile(m_demoPath, true, fixedLastDay), QString());
}

void TestNewDb::createdFileHasTheSchema_data()
{
    QTest::addColumn<bool>("withDemo");
    QTest::newRow("empty") << false;
    QTest::newRow("demo") << true;
}

void TestNewDb::createdFileHasTheSchema()
{
    QFETCH(bool, withDemo);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new.mdb"));
    const QStringList connections = QSqlDatabase::connectionNames();

    QCOMPARE(NewDatabase::createDatabaseFile(path, withDemo, fixedLastDay), QString());

    // Nothing else is left in the folder (no temporary file, no journal), and the connection
    // used to build the file is gone.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("new.mdb")});
    QCOMPARE(QSqlDatabase::connectionNames(), connections);

    Database file(path);
    QVERIFY(file.db().isOpen());
    for (const Schema::Table &table : Schema::tables()) {
        const QVariantList present = file.column(QStringLiteral("SELECT name FROM pragma_table_info(?)"), {table.name});
        QStringList names;
        for (const QVariant &name : present)
            names << name.toString();
        for (const QString &field : table.fields)
            QVERIFY2(names.contains(field), qPrintable(table.name + QLatin1Char('.') + field));
    }

    QStringList units;
    for (const QVariant &unit : file.column(QStringLiteral("SELECT Units FROM Units")))
        units << unit.toString();
    QStringList expected = Schema::standardUnits();
    units.sort();
    expected.sort();
    QCOMPARE(units, expected);
}

void TestNewDb::indexes_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<bool>("unique");
    QTest::newRow("meals by client and time") << "Meals" << QStringList{"Who", "When"} << false;
    QTest::newRow("foods by name and units") << "Foods" << QStringList{"Food", "Units"} << true;
}

void TestNewDb::indexes()
{
    QFETCH(QString, table);
    QFETCH(QStringList, columns);
    QFETCH(bool, unique);

    Database file(m_emptyPath);
    bool found = false;
    // index_list: seq, name, unique, origin, partial; index_info: seqno, cid, name.
    const QString indexList = QStringLiteral("SELECT name, \"unique\" FROM pragma_index_list(?)");
    for (const QVariantList &index : file.rows(indexList, {table})) {
        QStringList indexed;
        for (const QVariant &name :
             file.column(QStringLiteral("SELECT name FROM pragma_index_info(?) ORDER BY seqno"), {index.at(0)}))
            indexed << name.toString();
        if (indexed == columns && (!unique || index.at(1).toInt() == 1))
            found = true;
    }
    QVERIFY2(found, qPrintable(QStringLiteral("no index on %1(%2)").arg(table, columns.join(QStringLiteral(", ")))));
}

void TestNewDb::toolCreatesTheFile_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("withDemo");
    QTest::newRow("empty") << QStringList{"new.mdb"} << "new.mdb" << false;
    QTest::newRow("demo") << QStringList{"new.mdb", "--demo"} << "new.mdb" << true;
    QTest::newRow("demo named first") << QStringList{"--demo", "new.mdb"} << "new.mdb" << true;
    QTest::newRow("space and hash in the name")
        << QStringList{"my diary #2.mdb", "--demo"} << "my diary #2.mdb" << true;
}

void TestNewDb::toolCreatesTheFile()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, fileName);
    QFETCH(bool, withDemo);
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName);

    const QDate before = QDate::currentDate();
    const ToolRun run = runTool(arguments, dir.path());
    const QDate after = QDate::currentDate();

    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{fileName});

    Database file(path);
    QVERIFY(Schema::check(file.db()).ok());
    const qlonglong meals = file.number(QStringLiteral("SELECT count(*) FROM Meals"));
    if (!withDemo) {
        QCOMPARE(meals, qlonglong(0));
        QCOMPARE(file.number(QStringLiteral("SELECT count(*) FROM Foods")), qlonglong(0));
        QCOMPARE(file.number(QStringLiteral("SELECT count(*) FROM Clients")), qlonglong(0));
        QVERIFY2(run.out.startsWith(QStringLiteral("Created %1").arg(path)), qPrintable(run.out));
        return;
    }

    // The report names the file and counts what is really in it.
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QCOMPARE(run.out, QStringLiteral("Created %1 with the demo diary of %2 clients, %3 foods and %4 meals.\n")
                          .arg(path)
                          .arg(file.number(QStringLiteral("SELECT count(*) FROM Clients")))
                          .arg(file.number(QStringLiteral("SELECT count(*) FROM Foods")))
                          .arg(english.toString(meals)));
    QVERIFY(meals > 1000);

    // The diary ends today.
    const QDate lastDay = when(file.column(QStringLiteral("SELECT max(\"When\") FROM Meals")).value(0)).date();
    QVERIFY2(lastDay == before || lastDay == after, qPrintable(lastDay.toString(Qt::ISODate)));
}

void TestNewDb::toolRefuses_data()
{
    QTest::addColumn<QString>("existing"); // what is in the folder before the run
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("message");  // %1 is the folder

    QTest::newRow("existing file") << "file" << "diary.mdb"
                                   << "The file %1/diary.mdb already exists. Mealwright does not overwrite a database;";
    QTest::newRow("existing database") << "database" << "diary.mdb"
                                       << "The file %1/diary.mdb already exists.";
    QTest::newRow("existing folder") << "folder" << "diary.mdb" << "%1/diary.mdb is a folder.";
    QTest::newRow("missing folder") << "" << "nowhere/diary.mdb" << "The folder %1/nowhere does not exist.";
    QTest::newRow("folder is a file") << "file" << "diary.mdb/new.mdb" << "%1/diary.mdb is not a folder.";
}

void TestNewDb::toolRefuses()
{
    QFETCH(QString, existing);
    QFETCH(QString, target);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString existingPath = dir.filePath(QStringLiteral("diary.mdb"));
    if (existing == QLatin1String("file")) {
        QFile file(existingPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Keep these words as they are.\n");
    } else if (existing == QLatin1String("database")) {
        QCOMPARE(NewDatabase::createDatabaseFile(existingPath, true, fixedLastDay), QString());
    } else if (existing == QLatin1String("folder")) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("diary.mdb")));
    }
    const QMap<QString, QByteArray> before = snapshot(dir.path());

    for (const QStringList &arguments : {QStringList{target}, QStringList{target, QStringLiteral("--demo")}}) {
        const ToolRun run = runTool(arguments, dir.path());
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.startsWith(message.arg(dir.path())), qPrintable(run.err));
        QCOMPARE(snapshot(dir.path()), before);
    }
}

void TestNewDb::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no file") << QStringList{};
    QTest::newRow("only the option") << QStringList{"--demo"};
    QTest::newRow("unknown option") << QStringList{"new.mdb", "--force"};
    QTest::newRow("two files") << QStringList{"one.mdb", "two.mdb"};
    QTest::newRow("empty file name") << QStringList{""};
}

void TestNewDb::usageErrors()
{
    QFETCH(QStringList, arguments);
    QTemporaryDir dir;
    const ToolRun run = runTool(arguments, dir.path());
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QString());
    QVERIFY2(run.err.contains(usageLine), qPrintable(run.err));
    QVERIFY(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

void TestNewDb::informationOptions_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("expected");
    QTest::newRow("help") << "--help" << "--demo";
    QTest::newRow("version") << "--version"
                             << QStringLiteral("mealwright-newdb %1.%2.%3")
                                    .arg(BuildInfo::major)
                                    .arg(BuildInfo::minor)
                                    .arg(BuildInfo::revision);
}

void TestNewDb::informationOptions()
{
    QFETCH(QString, option);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const ToolRun run = runTool({option, QStringLiteral("new.mdb")}, dir.path());
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(expected), qPrintable(run.out));
    QVERIFY(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

void TestNewDb::demoCounts_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<qlonglong>("least");
    QTest::addColumn<qlonglong>("most");

    auto row = [](const char *name, const char *sql, qlonglong least, qlonglong most) {
        QTest::newRow(name) << QString::fromUtf8(sql) << least << most;
    };
    row("clients", "SELECT count(*) FROM Clients", 3, 3);
    row("distinct budgets", "SELECT count(DISTINCT CalorieBudget) FROM Clients", 3, 3);
    row("client names with an apostrophe", "SELECT count(*) FROM Clients WHERE instr(Who, '''') > 0", 1, 3);
    row("foods", "SELECT count(*) FROM Foods", 35, 45);
    row("Food + Units twice",
        "SELECT count(*) FROM (SELECT 1 FROM Foods GROUP BY Food, Units HAVING count(*) > 1)", 0, 0);
    row("foods in two units", "SELECT count(*) FROM (SELECT 1 FROM Foods GROUP BY Food HAVING count(*) > 1)", 1, 20);
    row("food names with an apostrophe", "SELECT count(*) FROM Foods WHERE instr(Food, '''') > 0", 1, 45);
    row("entrees", "SELECT count(*) FROM Foods WHERE EntreeFlag = 1", 1, 10);
    row("supplements", "SELECT count(*) FROM Foods WHERE SupplementFlag = 1", 1, 10);
    row("flags other than 0 and 1",
        "SELECT count(*) FROM Foods WHERE EntreeFlag NOT IN (0, 1) OR SupplementFlag NOT IN (0, 1)", 0, 0);
    row("foods with fruit", "SELECT count(*) FROM Foods WHERE FruitServings > 0", 5, 45);
    row("foods with vegetables", "SELECT count(*) FROM Foods WHERE VegetableServings > 0", 5, 45);
    row("foods without calories", "SELECT count(*) FROM Foods WHERE NOT CaloriesPerUnit > 0", 0, 0);
    row("foods in units not in Units",
        "SELECT count(*) FROM Foods WHERE Units NOT IN (SELECT Units FROM Units)", 0, 0);
    row("meals", "SELECT count(*) FROM Meals", 1000, 3000);
    row("meals without a food entry",
        "SELECT count(*) FROM Meals m LEFT JOIN Foods f ON f.Food = m.Food AND f.Units = m.Units WHERE f.ID IS NULL",
        0, 0);
    row("meals of no client", "SELECT count(*) FROM Meals WHERE Who NOT IN (SELECT Who FROM Clients)", 0, 0);
    row("meals without a positive amount", "SELECT count(*) FROM Meals WHERE NOT Amount > 0", 0, 0);
    row("When not written yyyy-MM-dd HH:mm:ss",
        "SELECT count(*) FROM Meals WHERE strftime('%Y-%m-%d %H:%M:%S', \"When\") IS NOT \"When\"", 0, 0);
    row("meals to the minute", "SELECT count(*) FROM Meals WHERE substr(\"When\", 18) = '00'", 10, 3000);
    row("meals to the second", "SELECT count(*) FROM Meals WHERE substr(\"When\", 18) <> '00'", 10, 3000);
    // One client records only some days: 42 is three quarters of the 56.
    row("fewest days a client records",
        "SELECT min(n) FROM (SELECT count(DISTINCT substr(\"When\", 1, 10)) AS n FROM Meals GROUP BY Who)", 10, 42);
}

void TestNewDb::demoCounts()
{
    QFETCH(QString, sql);
    QFETCH(qlonglong, least);
    QFETCH(qlonglong, most);
    Database file(m_demoPath);
    const qlonglong count = file.number(sql);
    if (least == most)
        QCOMPARE(count, least);
    else
        QVERIFY2(least <= count && count <= most, qPrintable(QString::number(count)));
}

void TestNewDb::demoMatchesItsLists()
{
    // Benchmarks and other tests take the clients and foods from the lists: the file must hold
    // exactly those.
    Database file(m_demoPath);
    std::set<std::pair<QString, double>> inFile;
    for (const QVariantList &row : file.rows(QStringLiteral("SELECT Who, CalorieBudget FROM Clients")))
        inFile.insert({row.at(0).toString(), row.at(1).toDouble()});
    std::set<std::pair<QString, double>> listed;
    for (const DemoData::Client &client : DemoData::clients())
        listed.insert({client.who, client.calorieBudget});
    QCOMPARE(inFile, listed);

    std::set<std::pair<QString, QString>> foodsInFile;
    for (const QVariantList &row : file.rows(QStringLiteral("SELECT Food, Units FROM Foods")))
        foodsInFile.insert({row.at(0).toString(), row.at(1).toString()});
    std::set<std::pair<QString, QString>> foodsListed;
    for (const DemoData::Food &food : DemoData::foods())
        foodsListed.insert({food.food, food.units});
    QCOMPARE(foodsInFile, foodsListed);
    QCOMPARE(static_cast<size_t>(file.number(QStringLiteral("SELECT count(*) FROM Meals"))),
             DemoData::meals(fixedLastDay).size());
}

void TestNewDb::demoSpan_data()
{
    QTest::addColumn<QDate>("lastDay");
    QTest::newRow("leap day and clock change inside") << fixedLastDay;
    QTest::newRow("across the new year") << QDate(2025, 1, 20);
    QTest::newRow("ends on a Saturday") << QDate(2023, 7, 15);
}

void TestNewDb::demoSpan()
{
    QFETCH(QDate, lastDay);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("span.mdb"));
    QCOMPARE(NewDatabase::createDatabaseFile(path, true, lastDay), QString());
    Database file(path);
    const QVariantList span = file.rows(QStringLiteral("SELECT min(\"When\"), max(\"When\") FROM Meals")).value(0);
    QCOMPARE(when(span.value(0)).date(), lastDay.addDays(-55));
    QCOMPARE(when(span.value(1)).date(), lastDay);
}

void TestNewDb::demoIsRepeatable()
{
    QTemporaryDir dir;
    const QString again = dir.filePath(QStringLiteral("again.mdb"));
    QCOMPARE(NewDatabase::createDatabaseFile(again, true, fixedLastDay), QString());
    Database first(m_demoPath);
    Database second(again);
    for (const char *table : {"Meals", "Foods", "Clients"}) {
        const QString sql = QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(QLatin1String(table));
        const QList<QVariantList> rows = first.rows(sql);
        QVERIFY(!rows.isEmpty());
        QCOMPARE(second.rows(sql), rows);
    }
}

void TestNewDb::demoMealTimes()
{
    struct Window
    {
        const char *name;
        QTime from;
        QTime to; // both included
        int fewestFoods;
        int mostFoods;
        bool everyDay;
    };
    const Window windows[] = {
        {"breakfast", QTime(6, 30), QTime(9, 0), 2, 4, true},
        {"lunch", QTime(11, 30), QTime(13, 30), 2, 4, true},
        {"afternoon snack", QTime(14, 0), QTime(17, 0), 1, 2, false},
        {"dinner", QTime(17, 30), QTime(20, 0), 2, 4, true},
        {"late snack", QTime(21, 0), QTime(23, 59, 59), 1, 2, false},
    };
    constexpr int windowCount = static_cast<int>(std::size(windows));

    // Foods per client, day and window.
    std::map<std::pair<QString, QDate>, std::array<int, windowCount>> days;
    Database file(m_demoPath);
    for (const QVariantList &row : file.rows(QStringLiteral("SELECT Who, \"When\" FROM Meals"))) {
        const QDateTime moment = when(row.at(1));
        int w = 0;
        while (w < windowCount && !(windows[w].from <= moment.time() && moment.time() <= windows[w].to))
            ++w;
        QVERIFY2(w < windowCount, qPrintable(row.at(1).toString() + QStringLiteral(" is no meal time")));
        auto [it, added] = days.try_emplace({row.at(0).toString(), moment.date()});
        if (added)
            it->second.fill(0);
        ++it->second[w];
    }

    std::array<int, windowCount> daysWith{};
    for (const auto &[day, foods] : days) {
        for (int w = 0; w < windowCount; ++w) {
            const QString where = day.first + QLatin1Char(' ') + day.second.toString(Qt::ISODate) + QLatin1Char(' ')
                                  + QLatin1String(windows[w].name);
            if (foods[w] == 0) {
                QVERIFY2(!windows[w].everyDay, qPrintable(where + QStringLiteral(" missing")));
                continue;
            }
            ++daysWith[w];
            QVERIFY2(windows[w].fewestFoods <= foods[w] && foods[w] <= windows[w].mostFoods,
                     qPrintable(where + QStringLiteral(": %1 foods").arg(foods[w])));
        }
    }
    // Snacks are occasional: some days, not every day.
    for (int w = 0; w < windowCount; ++w) {
        QVERIFY2(daysWith[w] > 0, windows[w].name);
        if (!windows[w].everyDay)
            QVERIFY2(daysWith[w] < static_cast<int>(days.size()), windows[w].name);
    }
}

void TestNewDb::demoAmounts_data()
{
    QTest::addColumn<QString>("units");
    Database file(m_demoPath);
    for (const QVariant &units : file.column(QStringLiteral("SELECT DISTINCT Units FROM Meals ORDER BY Units")))
        QTest::newRow(qPrintable(units.toString())) << units.toString();
}

void TestNewDb::demoAmounts()
{
    QFETCH(QString, units);
    const auto range = sensibleAmounts().find(units);
    QVERIFY2(range != sensibleAmounts().end(), "meals in a unit no one would weigh them in");

    Database file(m_demoPath);
    const QVariantList amounts =
        file.column(QStringLiteral("SELECT DISTINCT Amount FROM Meals WHERE Units = ? ORDER BY Amount"), {units});
    QVERIFY(!amounts.isEmpty());
    for (const QVariant &value : amounts) {
        const double amount = value.toDouble();
        QVERIFY2(range->second.least <= amount && amount <= range->second.most,
                 qPrintable(QStringLiteral("%1 %2").arg(amount).arg(units)));
        if (range->second.whole)
            QCOMPARE(amount, std::round(amount));
    }
}

void TestNewDb::demoDailyTotals_data()
{
    QTest::addColumn<QString>("who");
    QTest::addColumn<double>("budget");
    for (const DemoData::Client &client : DemoData::clients())
        QTest::newRow(qPrintable(client.who)) << client.who << client.calorieBudget;
}

void TestNewDb::demoDailyTotals()
{
    QFETCH(QString, who);
    QFETCH(double, budget);
    Database file(m_demoPath);
    const QVariantList totals = file.column(
        QStringLiteral("SELECT sum(m.Amount * f.CaloriesPerUnit) FROM Meals m"
                       " JOIN Foods f ON f.Food = m.Food AND f.Units = m.Units"
                       " WHERE m.Who = ? GROUP BY substr(m.\"When\", 1, 10)"),
        {who});

    // A few days are not recorded at all.
    QVERIFY2(totals.size() >= 20 && totals.size() < DemoData::days, qPrintable(QString::number(totals.size())));
    int under = 0;
    int over = 0;
    double sum = 0;
    for (const QVariant &total : totals) {
        const double kcal = total.toDouble();
        sum += kcal;
        under += kcal < budget;
        over += kcal > budget;
    }
    // Some days within the budget and some over it, around the budget on the whole.
    QVERIFY2(under >= 3 && over >= 3, qPrintable(QStringLiteral("%1 under, %2 over").arg(under).arg(over)));
    const double mean = sum / totals.size();
    QVERIFY2(mean > budget * 0.8 && mean < budget * 1.2, qPrintable(QString::number(mean)));
}

QTEST_GUILESS_MAIN(TestNewDb)
#include "tst_newdb.moc"
