#include "CsvReader.h"
#include "FoodImport.h"
#include "frmFoodImport.h"
#include "Windows.h"

#include <QFile>

namespace {

const QStringList header = {QStringLiteral("Food"), QStringLiteral("Units"), QStringLiteral("CaloriesPerUnit")};
const QByteArray columns = "Food,Units,CaloriesPerUnit,VegetableServings,FruitServings,EntreeFlag,SupplementFlag\n";

// Records as "line:field|field", one after the other; or "refused: " and the reason.
QString readBack(const QByteArray &bytes)
{
    const Result<CsvTable> table = CsvReader::read(bytes, header);
    if (!table)
        return QStringLiteral("refused: ") + table.reason();
    QStringList records;
    for (const CsvRecord &record : table->records)
        records << QStringLiteral("%1:%2").arg(record.line).arg(record.fields.join(QLatin1Char('|')));
    return QString(QLatin1Char(table->delimiter)) + QLatin1Char(' ') + records.join(QLatin1Char(' '));
}

// Every entry of the catalogue, one a line: ID, food, units, calories, vegetables, fruits, flags.
QStringList catalogue()
{
    return rows(QStringLiteral("SELECT ID || ' ' || Food || '/' || Units || ' ' || CaloriesPerUnit || ' ' || VegetableServings"
                               " || ' ' || FruitServings || ' ' || EntreeFlag || SupplementFlag FROM Foods ORDER BY ID"));
}

// The counts and the skipped lines listed, as "+added =there -skipped [line: reason]...".
QString outcome(const Result<FoodImportSummary> &imported)
{
    if (!imported)
        return QStringLiteral("refused: ") + imported.reason();
    if (imported->cancelled)
        return QStringLiteral("cancelled");
    QString text = QStringLiteral("+%1 =%2 -%3").arg(imported->added).arg(imported->alreadyThere).arg(imported->skipped);
    for (const SkippedLine &skipped : imported->firstSkipped)
        text += QStringLiteral(" [%1: %2]").arg(skipped.line).arg(skipped.reason);
    return text;
}

Result<FoodImportSummary> import(const QByteArray &bytes, const FoodImport::Progress &progress = {})
{
    const Result<CsvTable> table = CsvReader::read(bytes, FoodImport::requiredColumns() + FoodImport::optionalColumns());
    if (!table)
        return table.status();
    return FoodImport::importTable(deMealwright::instance().cnMealwright(), *table, progress);
}

} // namespace

class TestFoodImport : public DiaryTest
{
    Q_OBJECT

public:
    // Meal 31 of Ann is milk in tbsp, which has no entry yet.
    TestFoodImport() : DiaryTest({}, wallClock(QDate(2002, 8, 13), QTime(9, 30))) {}

private Q_SLOTS:
    void reader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("records");
        QTest::newRow("quoted separator and quotes") << QByteArray("Food,Units\n\"Rice, brown\",\"5\"\" pie\"\n")
                                                     << ", 1:Food|Units 2:Rice, brown|5\" pie";
        QTest::newRow("line break in a field") << QByteArray("Food,Units\n\"Stew\nwith beans\",cup\nTea,cup\n")
                                               << ", 1:Food|Units 2:Stew\nwith beans|cup 4:Tea|cup";
        QTest::newRow("CRLF, and one in a field") << QByteArray("Food,Units\r\n\"a\r\nb\",cup\r\nTea,cup\r\n")
                                                  << ", 1:Food|Units 2:a\r\nb|cup 4:Tea|cup";
        QTest::newRow("byte-order mark, semicolons, no last line end")
            << QByteArray("\xEF\xBB\xBF" "Food;Units\nApple;each") << "; 1:Food|Units 2:Apple|each";
        QTest::newRow("commas in a semicolon file") << QByteArray("Food;Units;CaloriesPerUnit\nRice, brown;cup;1,5\n")
                                                    << "; 1:Food|Units|CaloriesPerUnit 2:Rice, brown|cup|1,5";
        QTest::newRow("quoted names in the header") << QByteArray("\"Food\";\"Units\"\nTea, green;cup\n")
                                                    << "; 1:Food|Units 2:Tea, green|cup";
        QTest::newRow("blank lines and empty fields") << QByteArray("Food,Units\n\n   \n,\nApple,each\n")
                                                      << ", 1:Food|Units 5:Apple|each";
        QTest::newRow("CR line ends") << QByteArray("Food,Units\rApple,each\rTea,cup") << ", 1:Food|Units 2:Apple|each 3:Tea|cup";
        QTest::newRow("blanks around fields") << QByteArray("Food,Units\n  Apple , \" each \"\n")
                                              << ", 1:Food|Units 2:Apple| each ";
        QTest::newRow("short line") << QByteArray("Food,Units,CaloriesPerUnit\nApple,each\nTea,cup,2\n")
                                    << ", 1:Food|Units|CaloriesPerUnit 2:Apple|each 3:Tea|cup|2";
        QTest::newRow("UTF-8 names") << QByteArray("Food,Units\nCaf\xC3\xA9 au lait,cup\n") << ", 1:Food|Units 2:Café au lait|cup";
        QTest::newRow("Latin-1 bytes")
            << QByteArray("Food,Units\nApple,each\nCaf\xE9,cup\n")
            << "refused: Line 3 holds characters that are not UTF-8 text. Save the file as CSV in UTF-8 (\"CSV UTF-8\" in "
               "most spreadsheets) and import it again.";
        QTest::newRow("quote never closed")
            << QByteArray("Food,Units\nApple,each\n\"Tea,cup\nMilk,cup\n")
            << "refused: The quotes opened on line 3 are never closed, so the rest of the file would be one field.";
    }

    void reader()
    {
        QFETCH(QByteArray, bytes);
        QTEST(readBack(bytes), "records");
    }

    void import_data()
    {
        QTest::addColumn<QByteArray>("lines"); // after the header line, unless they have their own
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QStringList>("added");

        QTest::newRow("decimal points") << QByteArray("Pear,each,101.5,0,1\nKale,cup,33,1.25,0\n") << "+2 =0 -0"
                                        << QStringList{"8 Pear/each 101.5 0.0 1.0 00", "9 Kale/cup 33.0 1.25 0.0 00"};
        QTest::newRow("columns in any order, flags")
            << QByteArray("fruitservings,FOOD,Notes,units,VegetableServings,CaloriesPerUnit,SupplementFlag,EntreeFlag\n"
                          "0,Lasagne,x,serving,0.5,350,false,yes\n0,Oat bar,,bar,0,200,1,TRUE\n0,Soup,,cup,1,90,,No\n"
                          "0,Pie,,slice,0,300,0,-1\n")
            << "+4 =0 -0"
            << QStringList{"8 Lasagne/serving 350.0 0.5 0.0 10", "9 Oat bar/bar 200.0 0.0 0.0 11",
                           "10 Soup/cup 90.0 1.0 0.0 00", "11 Pie/slice 300.0 0.0 0.0 10"};
        QTest::newRow("decimal commas in a semicolon file")
            << QByteArray("Food;Units;CaloriesPerUnit;VegetableServings;FruitServings\nKale;cup;33,5;1,5;0\n") << "+1 =0 -0"
            << QStringList{"8 Kale/cup 33.5 1.5 0.0 00"};
        QTest::newRow("not numbers")
            << QByteArray("Kale,cup,\"33,5\",1,0\nPear,each,abc,0,1\nPlum,each,30,,1\nFig,each,47,0,1 fig\nTea,cup,2,0,0\n")
            << "+1 =0 -4 [2: Calories per unit must be numeric] [3: Calories per unit must be numeric] "
               "[4: You must enter the vegetable servings per unit] [5: Fruit servings must be numeric]"
            << QStringList{"8 Tea/cup 2.0 0.0 0.0 00"};
        // Meal 31 names milk in "tbsp"; the Units table spells the units of the entry.
        QTest::newRow("names and units")
            << QByteArray("Stew,bowl,200,1,0\n,cup,5,0,0\nMilk,TBSP,6.25,0,0\nMaybe,each,5,0,0,perhaps\nPear,each\n")
            << "+1 =0 -4 [2: 'bowl' are not valid units] [3: You must enter a description of the food] "
               "[5: EntreeFlag must be yes or no (1 or 0, true or false), not 'perhaps'] "
               "[6: You must enter the number of calories per unit]"
            << QStringList{"8 Milk/tbsp 6.25 0.0 0.0 00"};
        QTest::newRow("entries there already")
            << QByteArray("Apple,each,1,1,1\nMILK,Cup,5,0,0\nMilk,fl oz,3,0,0,1,1\nPear,each,100,0,1\npear,EACH,50,0,1\n")
            << "+1 =4 -0" << QStringList{"8 Pear/each 100.0 0.0 1.0 00"};
        QTest::newRow("line numbers after a line break in a name")
            << QByteArray("\"Stew\nof beans\",bowl,200,1,0\n\nPear,each,x,0,1\n") << "+0 =0 -2 [2: 'bowl' are not valid units] "
               "[5: Calories per unit must be numeric]" << QStringList{};
    }

    // Every line of the file either added as it was, counted as there already, or skipped with
    // its line number and the reason; the entries that were there are never changed.
    void import()
    {
        QFETCH(QByteArray, lines);
        const QStringList before = catalogue();
        const QByteArray file = lines.toLower().contains("units") ? lines : columns + lines;
        QTEST(outcome(::import(file)), "outcome");
        QStringList after = catalogue();
        QCOMPARE(after.mid(0, before.size()), before);
        QTEST(after.mid(before.size()), "added");
    }

    // The summary lists the first ten skipped lines and counts the others.
    void firstTenSkipped()
    {
        QByteArray file = columns;
        for (int i = 1; i <= 13; ++i)
            file += QStringLiteral("Food %1,each,%2,0,0\n").arg(i).arg(i % 4 == 0 ? QStringLiteral("10") : QStringLiteral("?")).toUtf8();
        const Result<FoodImportSummary> imported = ::import(file);
        QCOMPARE(outcome(imported).section(QLatin1Char(' '), 0, 2), QStringLiteral("+3 =0 -10"));
        QList<qint64> lines;
        for (const SkippedLine &skipped : imported->firstSkipped)
            lines << skipped.line;
        QCOMPARE(lines, QList<qint64>({2, 3, 4, 6, 7, 8, 10, 11, 12, 14}));

        file += "Food 14,each,?,0,0\nFood 15,bowl,1,0,0\n";
        const Result<FoodImportSummary> again = ::import(file);
        QCOMPARE(outcome(again).section(QLatin1Char(' '), 0, 2), QStringLiteral("+0 =3 -12"));
        QCOMPARE(again->firstSkipped.size(), size_t(10));
        QCOMPARE(frmFoodImport::summaryText(QStringLiteral("foods.csv"), *again).split(QLatin1Char('\n')).mid(0, 6),
                 QStringList({"Imported from foods.csv:", "0 food entries added",
                              "3 entries already there, left as they were", "12 lines skipped", "",
                              "Line 2: Calories per unit must be numeric"}));
        QVERIFY(frmFoodImport::summaryText({}, *again).endsWith(QStringLiteral("\nLine 14: Calories per unit must be "
                                                                                "numeric\n... and 2 more lines.")));
    }

    void refused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no units") << QByteArray("Food,CaloriesPerUnit,VegetableServings,FruitServings\nPear,100,0,1\n")
                                  << "refused: The file has no column Units. Its first line must name the columns Food, "
                                     "Units, CaloriesPerUnit, VegetableServings, FruitServings (in any order), and may "
                                     "name EntreeFlag and SupplementFlag.";
        QTest::newRow("two missing") << QByteArray("Food;Units;VegetableServings\nPear;each;0\n")
                                     << "refused: The file has no column CaloriesPerUnit, FruitServings.";
        QTest::newRow("empty") << QByteArray("\xEF\xBB\xBF\r\n") << "refused: The file is empty.";
        QTest::newRow("not UTF-8") << columns + "Pear,each,100,0,1\nP\xEA" "che,each,40,0,1\n" << "refused: Line 3 holds";
        // Another program's rule refuses an entry half-way: what came before goes too.
        QTest::newRow("a write fails") << columns + "Pear,each,100,0,1\nPoison,each,1,0,0\n" << "no poison";
    }

    void refused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        change({"CREATE TRIGGER NoPoison BEFORE INSERT ON Foods WHEN NEW.Food = 'Poison' BEGIN SELECT RAISE(ABORT, "
                "'no poison'); END"});
        const QStringList before = catalogue();
        const QString refused = outcome(::import(bytes));
        QVERIFY2(refused.contains(reason), qPrintable(refused));
        QCOMPARE(catalogue(), before);
        // The diary takes the next import.
        QCOMPARE(outcome(::import(columns + "Plum,each,30,0,1\n")), QStringLiteral("+1 =0 -0"));
    }

    void cancel_data()
    {
        QTest::addColumn<qint64>("cancelAt"); // the lines done when the progress says Cancel
        QTest::newRow("half-way") << qint64(512);
        QTest::newRow("at the end") << qint64(600);
    }

    // Cancel keeps nothing, however much was done.
    void cancel()
    {
        QFETCH(qint64, cancelAt);
        QByteArray file = columns;
        for (int i = 1; i <= 600; ++i)
            file += QStringLiteral("Food %1,each,%1,0,0\n").arg(i).toUtf8();
        const QStringList before = catalogue();
        QList<qint64> told;
        const auto progress = [&](qint64 done, qint64 total) {
            told << done << total;
            return done < cancelAt;
        };
        QCOMPARE(outcome(::import(file, progress)), QStringLiteral("cancelled"));
        QCOMPARE(catalogue(), before);
        QCOMPARE(told.mid(0, 4), QList<qint64>({0, 600, 256, 600}));
        QCOMPARE(told.last(2), QList<qint64>({cancelAt, 600}));
        QCOMPARE(outcome(::import(file)), QStringLiteral("+600 =0 -0"));
    }

    // Foods > Import...: the file asked for, the summary shown, the new entries in every window.
    void menu()
    {
        FileDialog::setTestMode(true);
        const QString path = m_dir->filePath(QStringLiteral("foods.csv"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\xEF\xBB\xBF" "Food;Units;CaloriesPerUnit;VegetableServings;FruitServings;EntreeFlag\r\n"
                   "Milk;tbsp;6,25;0;0;0\r\nAvocado;each;abc;0;1;0\r\n");
        file.close();

        const auto frame = startFrame(m_path);
        frmMealView *meals = openMealView(*frame, 0);
        frame->mnuFoodView->trigger();
        auto *list = qobject_cast<frmFoodView *>(frame->mdiArea()->currentSubWindow()->widget());
        const qsizetype mealRows = idsOf(meals->dbgMeals).size();
        Q_EMIT frame->mnuFoods->aboutToShow();
        QVERIFY(frame->mnuFoodImport->isEnabled());
        QCOMPARE(frame->mnuFoods->actions().indexOf(frame->mnuFoodImport),
                 frame->mnuFoods->actions().indexOf(frame->mnuFoodFind) + 1);

        FileDialog::setNextAnswer(QString()); // Cancel: nothing happens
        frame->mnuFoodImport->trigger();
        QCOMPARE(messages(), QStringList());
        FileDialog::setNextAnswer(path);
        frame->mnuFoodImport->trigger();
        QCOMPARE(FileDialog::requests().last().filter, QStringLiteral("CSV files (*.csv);;All files (*)"));
        QCOMPARE(messages(), QStringList({"i Imported from foods.csv:\n1 food entry added\n0 entries already there, left "
                                          "as they were\n1 line skipped\n\nLine 3: Calories per unit must be numeric"}));
        QCOMPARE(idsOf(list->dbgFoods).size(), 8);
        QVERIFY(idsOf(list->dbgFoods).contains(8));
        QCOMPARE(idsOf(meals->dbgMeals).size(), mealRows + 1); // meal 31 now has its entry
        QVERIFY(idsOf(meals->dbgMeals).contains(31));

        // The same file again is offered first and adds nothing; a file gone says why.
        FileDialog::setNextAnswer(path);
        frame->mnuFoodImport->trigger();
        QCOMPARE(FileDialog::requests().last().selectedFile, path);
        QCOMPARE(messages().value(0).section(QLatin1Char('\n'), 1, 2),
                 QStringLiteral("0 food entries added\n1 entry already there, left as it was"));
        QVERIFY(QFile::remove(path));
        FileDialog::setNextAnswer(path);
        frame->mnuFoodImport->trigger();
        const QStringList shown = messages();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].startsWith(QStringLiteral("X The foods of ")) && shown[0].contains(QStringLiteral("could not be read")),
                 qPrintable(shown[0]));
    }
};

QTEST_MAIN(TestFoodImport)
#include "tst_foodimport.moc"
