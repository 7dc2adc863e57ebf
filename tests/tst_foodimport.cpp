#include "CsvReader.h"
#include "FoodImport.h"
#include "frmFoodImport.h"
#include "Windows.h"

#include <QFile>

namespace {

const QByteArray columns = "Food,Units,CaloriesPerUnit,VegetableServings,FruitServings,EntreeFlag,SupplementFlag\n";

// Every entry of the catalogue, one a line: ID, food, units, calories, vegetables, fruits, flags.
QStringList catalogue()
{
    QStringList lines;
    for (const QString &line : rows(QStringLiteral("SELECT ID, Food || '/' || Units, CaloriesPerUnit, VegetableServings,"
                                                   " FruitServings, EntreeFlag || '' || SupplementFlag FROM Foods ORDER BY ID")))
        lines << QString(line).replace(u'|', u' ');
    return lines;
}

// The file imported, cancelled when the progress reaches cancelAt lines: "+added =there -skipped"
// and the skipped lines listed, "cancelled", or "refused: " and the reason.
QString import(const QByteArray &bytes, qint64 cancelAt = 1 << 30)
{
    const Result<CsvTable> table = CsvReader::read(bytes, FoodImport::requiredColumns() + FoodImport::optionalColumns());
    const Result<FoodImportSummary> imported =
        table ? FoodImport::importTable(deMealwright::instance().cnMealwright(), *table,
                                        [cancelAt](qint64 done, qint64) { return done < cancelAt; })
              : Result<FoodImportSummary>(table.status());
    if (!imported || imported->cancelled)
        return imported ? QStringLiteral("cancelled") : QStringLiteral("refused: ") + imported.reason();
    QString text = QStringLiteral("+%1 =%2 -%3").arg(imported->added).arg(imported->alreadyThere).arg(imported->skipped);
    for (const SkippedLine &skipped : imported->firstSkipped)
        text += QStringLiteral(" [%1: %2]").arg(skipped.line).arg(skipped.reason);
    return text;
}

} // namespace

class TestFoodImport : public DiaryTest
{
    Q_OBJECT

public:
    // Meal 31 of Ann, on this day, is milk in tbsp, which has no entry yet.
    TestFoodImport() : DiaryTest({}, wallClock(QDate(2002, 8, 13), QTime(9, 30))) {}

private Q_SLOTS:
    void reader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("records"); // the separator, then "line:field|field" a record
        QTest::newRow("quoted separator and quotes") << QByteArray("Food,Units\n\"Rice, brown\",\"5\"\" pie\"\n")
                                                     << ", 1:Food|Units 2:Rice, brown|5\" pie";
        QTest::newRow("line break in a field") << QByteArray("Food,Units\n\"Stew\nwith beans\",cup\nTea,cup\n")
                                               << ", 1:Food|Units 2:Stew\nwith beans|cup 4:Tea|cup";
        QTest::newRow("CRLF, and in a field") << QByteArray("Food,Units\r\n\"a\r\nb\",cup\r\nTea,cup\r\n")
                                              << ", 1:Food|Units 2:a\r\nb|cup 4:Tea|cup";
        QTest::newRow("byte-order mark, semicolons, no last line end")
            << QByteArray("\xEF\xBB\xBF" "Food;Units\nApple;each") << "; 1:Food|Units 2:Apple|each";
        QTest::newRow("blank lines, short line, CR") << QByteArray("Food,Units\n\n   \n,\rApple\r\n  Tea , \" cup \"")
                                                     << ", 1:Food|Units 5:Apple 6:Tea| cup ";
        QTest::newRow("Latin-1") << QByteArray("Food,Units\nApple,each\nCaf\xE9,cup\n")
                                 << "refused: Line 3 holds characters that are not UTF-8 text. Save the file as CSV in "
                                    "UTF-8 (\"CSV UTF-8\" in most spreadsheets) and import it again.";
        QTest::newRow("quote never closed") << QByteArray("Food,Units\nApple,each\n\"Tea,cup\nMilk,cup\n")
                                            << "refused: The quotes opened on line 3 are never closed, so the rest of "
                                               "the file would be one field.";
    }

    void reader()
    {
        QFETCH(QByteArray, bytes);
        const Result<CsvTable> table = CsvReader::read(bytes, {QStringLiteral("Food"), QStringLiteral("Units")});
        QStringList records(table ? QString(QLatin1Char(table->delimiter)) : QStringLiteral("refused: ") + table.reason());
        for (const CsvRecord &record : table ? table->records : std::vector<CsvRecord>())
            records << QStringLiteral("%1:%2").arg(record.line).arg(record.fields.join(QLatin1Char('|')));
        QTEST(records.join(QLatin1Char(' ')), "records");
    }

    void import_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<qint64>("cancelAt");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QStringList>("added");
        const auto row = [](const char *name, const QByteArray &file, const QString &outcome, QStringList added = {},
                            qint64 cancelAt = 1 << 30) { QTest::newRow(name) << file << cancelAt << outcome << added; };
        row("columns in any order, flags",
            "fruitservings,FOOD,Notes,units,VegetableServings,CaloriesPerUnit,SupplementFlag,EntreeFlag\n"
            "0,Lasagne,x,serving,0.5,350,,yes\n0,Oat bar,,bar,0,200,1,TRUE\n0,Pie,,slice,0,300,No,-1\n",
            "+3 =0 -0", {"8 Lasagne/serving 350.0 0.5 0.0 10", "9 Oat bar/bar 200.0 0.0 0.0 11", "10 Pie/slice 300.0 0.0 0.0 10"});
        row("decimal commas in a semicolon file", "Food;Units;CaloriesPerUnit;VegetableServings;FruitServings\nKale;cup;33,5;1,5;0\n",
            "+1 =0 -0", {"8 Kale/cup 33.5 1.5 0.0 00"});
        row("not numbers", columns + "Kale,cup,\"33,5\",1,0\nPear,each,abc,0,1\nPlum,each,30,,1\nFig,each,47,0,1 fig\nTea,cup,2,0,0\n",
            "+1 =0 -4 [2: Calories per unit must be numeric] [3: Calories per unit must be numeric] "
            "[4: You must enter the vegetable servings per unit] [5: Fruit servings must be numeric]",
            {"8 Tea/cup 2.0 0.0 0.0 00"});
        // The units as the Units table spells them; a short line lacks its last fields.
        row("names and units", columns + "Stew,bowl,200,1,0\n,cup,5,0,0\nMilk,TBSP,6.25,0,0\nMaybe,each,5,0,0,perhaps\nPear,each\n",
            "+1 =0 -4 [2: 'bowl' are not valid units] [3: You must enter a description of the food] [5: EntreeFlag must be "
            "yes or no (1 or 0, true or false), not 'perhaps'] [6: You must enter the number of calories per unit]",
            {"8 Milk/tbsp 6.25 0.0 0.0 00"});
        row("entries there already", columns + "Apple,each,1,1,1\nMILK,Cup,5,0,0\nMilk,fl oz,3,0,0,1,1\nPear,each,100,0,1\npear,EACH,50,0,1\n",
            "+1 =4 -0", {"8 Pear/each 100.0 0.0 1.0 00"});
        QByteArray many = columns;
        for (int i = 1; i <= 600; ++i)
            many += QStringLiteral("Food %1,each,%1,0,0\n").arg(i).toUtf8();
        row("cancelled half-way", many, "cancelled", {}, 512);
        row("cancelled at the end", many, "cancelled", {}, 600);
        QString firstTen = QStringLiteral("+0 =0 -11"); // lines 2 to 12, the first ten listed
        for (int line = 2; line <= 11; ++line)
            firstTen += QStringLiteral(" [%1: Calories per unit must be numeric]").arg(line);
        row("the first ten skipped lines", columns + QByteArray("Food,each,?,0,0\n").repeated(11), firstTen);
        row("no units", "Food,CaloriesPerUnit,VegetableServings,FruitServings\nPear,100,0,1\n",
            "refused: The file has no column Units. Its first line must name the columns Food, Units, CaloriesPerUnit, "
            "VegetableServings, FruitServings (in any order), and may name EntreeFlag and SupplementFlag.");
        row("empty", "\xEF\xBB\xBF\r\n", "refused: The file is empty. Its first line must name the columns Food, Units, "
                                        "CaloriesPerUnit, VegetableServings, FruitServings.");
        // Another program's rule refuses an entry half-way: what came before goes too.
        row("a write fails", columns + "Pear,each,100,0,1\nPoison,each,1,0,0\n", "refused: The database reported an error: no poison");
    }

    // Every line is added as it was, counted as there already, or skipped with its line number
    // and the reason; the entries there before never change; a cancel or a failure keeps nothing.
    void import()
    {
        QFETCH(QByteArray, file);
        QFETCH(qint64, cancelAt);
        if (TestDatabase::onServer())
            change({"CREATE FUNCTION NoPoison() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN IF NEW.Food = 'Poison' THEN"
                    " RAISE EXCEPTION 'no poison'; END IF; RETURN NEW; END $$",
                    "CREATE TRIGGER NoPoison BEFORE INSERT ON Foods FOR EACH ROW EXECUTE FUNCTION NoPoison()"});
        else
            change({"CREATE TRIGGER NoPoison BEFORE INSERT ON Foods WHEN NEW.Food = 'Poison' BEGIN SELECT RAISE(ABORT, "
                    "'no poison'); END"});
        const QStringList before = catalogue();
        QTEST(::import(file, cancelAt), "outcome");
        QFETCH(QStringList, added);
        QCOMPARE(catalogue(), before + added);
    }

    // Foods > Import...: the file asked for, the summary shown, the new entries in every window.
    void menu()
    {
        FileDialog::setTestMode(true);
        const QString path = m_dir->filePath(QStringLiteral("foods.csv"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(columns + "Milk,tbsp,6.25,0,0\n" + QByteArray("Stew,bowl,1,0,0\n").repeated(11)));
        file.close();
        const auto frame = startFrame(m_path);
        frmMealView *meals = openMealView(*frame, 0);
        frame->mnuFoodView->trigger();
        auto *list = qobject_cast<frmFoodView *>(frame->mdiArea()->currentSubWindow()->widget());
        QCOMPARE(frame->mnuFoods->actions().value(frame->mnuFoods->actions().indexOf(frame->mnuFoodFind) + 1),
                 frame->mnuFoodImport);

        FileDialog::setNextAnswer(path);
        frame->mnuFoodImport->trigger();
        const QStringList summary = messages().value(0).split(QLatin1Char('\n'));
        QCOMPARE(summary.first(5), QStringList({"i Imported from foods.csv:", "1 food entry added",
                                                "0 entries already there, left as they were", "11 lines skipped", ""}));
        QCOMPARE(summary.last(2), QStringList({"Line 12: 'bowl' are not valid units", "... and 1 more line."}));
        QVERIFY(idsOf(list->dbgFoods).contains(8));
        QVERIFY(idsOf(meals->dbgMeals).contains(31)); // the meal of milk in tbsp counts now

        QVERIFY(QFile::remove(path));
        FileDialog::setNextAnswer(path);
        frame->mnuFoodImport->trigger();
        QVERIFY(messages().value(0).contains(QStringLiteral("could not be read")));
    }
};

QTEST_MAIN(TestFoodImport)
#include "tst_foodimport.moc"
