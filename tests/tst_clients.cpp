#include "TestDatabase.h"
#include "core/EntryChecks.h"
#include "data/Clients.h"
#include "data/NewDiary.h"
#include "data/deMealwright.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace EntryChecks;

namespace {

QStringList rows(const QString &select)
{
    return *deMealwright::instance().cnMealwright().statement(select).texts();
}
QStringList clients()
{
    return rows(QStringLiteral("SELECT Who || '|' || CalorieBudget FROM Clients ORDER BY Who"));
}
QStringList meals()
{
    return rows(
        QStringLiteral("SELECT ID || '|' || Who || '|' || \"When\" || '|' || Food || '|' || Amount || '|' || Units"
                       " FROM Meals ORDER BY ID"));
}

// The meals as they are after the client who is renamed to name.
QStringList renamed(QStringList meals, const QString &who, const QString &name)
{
    for (QString &meal : meals) {
        QStringList fields = meal.split(u'|');
        if (sameName(fields[1], who))
            fields[1] = name;
        meal = fields.join(u'|');
    }
    return meals;
}

} // namespace

class TestClients : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void newDiary();
    void checkClient_data();
    void checkClient();
    void writes_data();
    void writes();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void TestClients::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->filePath(QStringLiteral("diary.mdb"));
    QCOMPARE(TestDatabase::createMealFixture(m_path), QString());
    QVERIFY(deMealwright::instance().open(m_path).ok());
}

void TestClients::cleanup()
{
    deMealwright::instance().close();
    m_dir.reset();
}

void TestClients::newDiary()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new diary #1.mdb"));
    QVERIFY(NewDiary::create(path).ok());
    QCOMPARE(TestDatabase::snapshot(dir.path()).keys(), QStringList(path)); // no temporary file left
    QVERIFY(deMealwright::instance().open(path).ok());
    QCOMPARE(rows(QStringLiteral("SELECT Units FROM Units ORDER BY ID")),
             QStringList({"g", "oz", "lb", "cup", "tbsp", "tsp", "fl oz", "ml", "slice", "piece", "serving", "each",
                          "bar", "packet"}));
    QCOMPARE(rows(QStringLiteral("SELECT (SELECT count(*) FROM Clients) + (SELECT count(*) FROM Foods)"
                                 " + (SELECT count(*) FROM Meals)")),
             QStringList("0"));
    deMealwright::instance().close();

    // Neither a diary nor any other file is overwritten.
    QFile other(dir.filePath(QStringLiteral("notes.mdb")));
    QVERIFY(other.open(QIODevice::WriteOnly) && other.write("Keep these words.\n") > 0);
    other.close();
    const QMap<QString, QByteArray> before = TestDatabase::snapshot(dir.path());
    for (const QString &existing : {path, other.fileName()}) {
        const Status refused = NewDiary::create(existing);
        QVERIFY2(refused.reason().contains(QStringLiteral("already exists")), qPrintable(refused.reason()));
    }
    QCOMPARE(TestDatabase::snapshot(dir.path()), before);
}

void TestClients::checkClient_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("budget");
    QTest::addColumn<QString>("message"); // empty when the client passes
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("savedName");
    QTest::addColumn<double>("savedBudget");
    const QString x100(100, u'x');
    const auto fault
        = [](const char *row, const QString &name, const char *budget, ClientField field, const QString &message) {
              QTest::newRow(row) << name << QString::fromUtf8(budget) << message << int(field) << QString() << 0.0;
          };
    const auto pass = [](const char *row, const QString &name, const char *budget, const QString &saved, double value) {
        QTest::newRow(row) << name << QString::fromUtf8(budget) << QString() << -1 << saved << value;
    };
    const QString noName = QStringLiteral("Please enter the client's name");
    const QString outOfRange = QStringLiteral("The daily calorie budget must be a number above 0 and at most 20,000");
    fault("empty, the name first", "", "abc", ClientField::Name, noName);
    fault("spaces only", "  \t ", "1500", ClientField::Name, noName);
    fault("101 characters", x100 + u'y', "1500", ClientField::Name,
          QStringLiteral("The name can be at most 100 characters long"));
    pass("100 characters and blanks", QStringLiteral("  ") + x100 + u' ', "1500", x100, 1500);
    const QString apples = QString(QStringLiteral("🍎")).repeated(100); // 200 UTF-16 units
    pass("100 characters beyond the BMP", apples, "1500", apples, 1500);
    fault("other client in other case", "ANN", "1500", ClientField::Name, "There is already a client named \"Ann\".");
    fault("apostrophe, trimmed", " maeve o'brien ", "1500", ClientField::Name,
          "There is already a client named \"Maeve O'Brien\".");
    pass("same letters but for an accent", "Änn", "1500", "Änn", 1500);
    fault("no budget", "Zoe", " ", ClientField::Budget, QStringLiteral("Please enter the daily calorie budget"));
    for (const char *budget : {"0", "-5", "abc", "20000.01", "20001", "1,500", "1e3"})
        fault(budget, "Zoe", budget, ClientField::Budget, outOfRange);
    pass("20000 and blanks", "  Zoe  Smith ", " 20000 ", "Zoe  Smith", 20000);
    pass("a fraction", "Zoe", ".5", "Zoe", 0.5);
}

void TestClients::checkClient()
{
    QFETCH(QString, name);
    QFETCH(QString, budget);
    QFETCH(QString, message);
    QFETCH(int, field);
    const auto checked = EntryChecks::checkClient({name, budget}, {"Ann", "Maeve O'Brien"});
    if (const auto *fault = std::get_if<Fault<ClientField>>(&checked)) {
        QCOMPARE(fault->message, message);
        QCOMPARE(int(fault->field), field);
        return;
    }
    QCOMPARE(QString(), message);
    QFETCH(QString, savedName);
    QFETCH(double, savedBudget);
    QCOMPARE(std::get<ClientEntry>(checked).name, savedName);
    QCOMPARE(std::get<ClientEntry>(checked).calorieBudget, savedBudget);
}

// Adds (who empty) and changes in the data layer: the clients and meals afterwards.
void TestClients::writes_data()
{
    QTest::addColumn<QString>("who");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("budget");
    QTest::addColumn<QString>("refusal"); // empty when the write is done
    QTest::addColumn<QStringList>("clients");
    QTest::newRow("add") << ""
                         << "Zoe" << 1800.5 << ""
                         << QStringList({"Ann|1500.0", "Bob|2000.0", "Maeve O'Brien|1200.0", "Zoe|1800.5"});
    QTest::newRow("add, other case") << ""
                                     << "bob" << 1800.0 << "There is already a client named \"Bob\"."
                                     << QStringList({"Ann|1500.0", "Bob|2000.0", "Maeve O'Brien|1200.0"});
    QTest::newRow("rename with meals") << "Ann"
                                       << "Ann O'Hara" << 1400.0 << ""
                                       << QStringList({"Ann O'Hara|1400.0", "Bob|2000.0", "Maeve O'Brien|1200.0"});
    QTest::newRow("only the case") << "Ann"
                                   << "ANN" << 1500.0 << ""
                                   << QStringList({"ANN|1500.0", "Bob|2000.0", "Maeve O'Brien|1200.0"});
    QTest::newRow("only the budget") << "Bob"
                                     << "Bob" << 2100.0 << ""
                                     << QStringList({"Ann|1500.0", "Bob|2100.0", "Maeve O'Brien|1200.0"});
    QTest::newRow("named in other case") << "maeve o'brien"
                                         << "Maeve O'Neill" << 1200.0 << ""
                                         << QStringList({"Ann|1500.0", "Bob|2000.0", "Maeve O'Neill|1200.0"});
    QTest::newRow("onto another client") << "Bob"
                                         << "ann" << 2000.0 << "There is already a client named \"Ann\"."
                                         << QStringList({"Ann|1500.0", "Bob|2000.0", "Maeve O'Brien|1200.0"});
    QTest::newRow("gone") << "Zed"
                          << "Zoe" << 2000.0
                          << "The client \"Zed\" could not be found. It may have been deleted already."
                          << QStringList({"Ann|1500.0", "Bob|2000.0", "Maeve O'Brien|1200.0"});
}

void TestClients::writes()
{
    QFETCH(QString, who);
    QFETCH(QString, name);
    QFETCH(double, budget);
    QFETCH(QString, refusal);
    QFETCH(QStringList, clients);
    const QStringList before = meals();
    Clients table(deMealwright::instance().cnMealwright());
    const Status written = who.isEmpty() ? table.add({name, budget}) : table.change(who, {name, budget});
    QCOMPARE(written.reason(), refusal);
    QCOMPARE(::clients(), clients);
    QCOMPARE(meals(), refusal.isEmpty() && !who.isEmpty() ? renamed(before, who, name) : before);
}

QTEST_MAIN(TestClients)
#include "tst_clients.moc"
