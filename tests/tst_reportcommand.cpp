#include "TestDatabase.h"
#include "Connection.h"
#include "MealReportCommand.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

QDateTime at(int day, int hour = 0, int minute = 0)
{
    return wallClock(QDate(2002, 8, day), QTime(hour, minute));
}

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

class TestReportCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_fixture = m_dir->filePath(QStringLiteral("fixture.mdb"));
        QCOMPARE(TestDatabase::createMealFixture(m_fixture), QString());
        // Units in another case find the food entry; a time that is no date-time is kept as stored.
        QCOMPARE(TestDatabase::execute(m_fixture, {"INSERT INTO Meals (Who, \"When\", Food, Amount, Units) VALUES "
                                                   "('Maeve O''Brien', '2002-08-13 09:00:00', 'Broccoli', 1, 'CUP'),"
                                                   "('Maeve O''Brien', '2002-08-13 noon', 'Apple', 1, 'each')"}),
                 QString());
        QVERIFY(m_connection.open(m_fixture, Access::ReadOnly).ok());
    }
    void cleanup() { m_connection.close(); }
    void report_data();
    void report();
    void databaseErrorGivesNoReport();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_fixture;
    Connection m_connection{QStringLiteral("tst_reportcommand")};
};

void TestReportCommand::report_data()
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
}

void TestReportCommand::report()
{
    QFETCH(QString, client);
    QFETCH(DateSpan, span);
    QFETCH(QStringList, lines);

    const Result<ReportRow> report = MealReportCommand::execute(m_connection, client, span);
    QVERIFY2(report.ok(), qPrintable(report.reason()));
    QStringList found;
    outline(*report, found);
    QCOMPARE(found, lines);
    QCOMPARE(report->value("DayCount").typeId(), QMetaType::LongLong);
    QVERIFY(report->children.empty() || report->children[0].value("TotalMeals").typeId() == QMetaType::LongLong);
}

void TestReportCommand::databaseErrorGivesNoReport()
{
    const DateSpan span{at(13), at(21)};
    QVERIFY(MealReportCommand::execute(m_connection, "Ann", span).ok());
    QCOMPARE(TestDatabase::execute(m_fixture, {"DROP TABLE Foods"}), QString());
    QVERIFY(!MealReportCommand::execute(m_connection, "Ann", span).ok());
    m_connection.close();
    QVERIFY(!MealReportCommand::execute(m_connection, "Ann", span).ok());
}

QTEST_GUILESS_MAIN(TestReportCommand)
#include "tst_reportcommand.moc"
