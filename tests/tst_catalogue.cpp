#include "Catalogue.h"
#include "CatalogueConversion.h"
#include "Connection.h"
#include "Foods.h"
#include "NewDiary.h"
#include "Units.h"
#include "Windows.h"

#include <QTemporaryDir>

namespace {

// An entry as "units kcal vegetable fruit", with " entree" and " supplement" for its flags.
QString shown(const CatalogueConversion::Entry &e)
{
    return QStringLiteral("%1 %2 %3 %4").arg(e.units).arg(e.caloriesPerUnit).arg(e.vegetableServings).arg(e.fruitServings)
           + (e.entree ? QStringLiteral(" entree") : QString()) + (e.supplement ? QStringLiteral(" supplement") : QString());
}

// The entries of the full catalogue, counted by a separate script over the same tables and rules.
constexpr int catalogueEntries = 16059;

} // namespace

// The food catalogue: its conversion from the USDA tables, and new diaries that start with it.
class TestCatalogue : public DiaryTest
{
    Q_OBJECT

private Q_SLOTS:
    // Real lines of FOOD_DES, ABBREV and WEIGHT (SR21). Worked out by hand: kcal per unit =
    // Energ_Kcal x grams / 100, an oz being 28.3495 g; servings = grams / 80 (30 for dried fruit),
    // at most 1 for a juice; everything to 4 decimals. For the apple (52 kcal): oz 52 x 0.283495
    // = 14.7417, 28.3495 / 80 = 0.3544; cup 125 g (the first cup) = 65 kcal, 1.5625 servings.
    // Raisins (299 kcal): 50 raisins weigh 26 g, so each is 0.52 g = 1.5548 kcal, 0.0173 servings.
    // Orange juice (45 kcal): a cup of 248 g is 111.6 kcal and 3.1 servings, counted as 1.
    void conversion_data()
    {
        QTest::addColumn<QStringList>("foods");
        QTest::addColumn<QStringList>("abbrev");
        QTest::addColumn<QStringList>("weights");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("apple: the first of two cups, the sizes, each as the medium one; not extra small nor NLEA serving")
            << QStringList{"~09003~^~0900~^~Apples, raw, with skin~^~APPLES,RAW,WITH SKIN~^~Includes USDA commodity food A343~^~~^~Y~^~Core and stem~^10^~Malus domestica~^6.25^3.36^8.37^3.60"}
            << QStringList{"~09003~^~APPLES,RAW,WITH SKIN~^85.56^52^0.26^0.17^0.19^13.81^2.4^10.39^6^0.12^5^11^107^1^0.04^0.027^0.035^0.0^4.6^0.017^0.026^0.091^0.061^0.041^3^0^3^3^3.4^0.00^54^3^0^0^27^11^0^29^0.18^2.2^0.028^0.007^0.051^0^125.00^~1 cup, quartered or chopped~^108.76^~1 cup, slices~^10"}
            << QStringList{"~09003~^1^1^~cup, quartered or chopped~^125^^", "~09003~^2^1^~cup slices~^109^60^6.953", "~09003~^3^1^~large (3-1/4\" dia)~^223^113^32.277",
                           "~09003~^4^1^~medium (3\" dia)~^182^113^20.572", "~09003~^5^1^~small (2-3/4\" dia)~^149^113^17.362", "~09003~^6^1^~extra small (2-1/2\" dia)~^101^^",
                           "~09003~^7^1^~NLEA serving~^242^^"}
            << QStringList{"g 0.52 0 0.0125", "oz 14.7417 0 0.3544", "cup 65 0 1.5625", "large 115.96 0 2.7875", "medium 94.64 0 2.275", "small 77.48 0 1.8625", "each 94.64 0 2.275"};
        QTest::newRow("milk: no servings; cup, tbsp, fl oz; no quart")
            << QStringList{"~01077~^~0100~^~Milk, whole, 3.25% milkfat~^~MILK,WHL,3.25% MILKFAT~^~~^~~^~Y~^~~^0^~~^^^^"}
            << QStringList{"~01077~^~MILK,WHL,3.25% MILKFAT~^88.32^60^3.22^3.25^0.69^4.52^0.0^5.26^113^0.03^10^91^143^40^0.40^0.011^0.003^3.7^0.0^0.044^0.183^0.107^0.362^0.036^5^0^5^5^14.3^0.44^102^28^28^0^5^0^0^0^0.06^0.2^1.865^0.812^0.195^10^244.00^~1 cup~^15.20^~1 tbsp~^0"}
            << QStringList{"~01077~^1^1^~cup~^244^^", "~01077~^2^1^~tbsp~^15^^", "~01077~^3^1^~fl oz~^30.5^^",
                           "~01077~^4^1^~quart~^976^^"}
            << QStringList{"g 0.6 0 0", "oz 17.0097 0 0", "cup 146.4 0 0", "tbsp 9 0 0", "fl oz 18.3 0 0"};
        QTest::newRow("raw spinach: vegetable servings; bunch, leaf and package are no units")
            << QStringList{"~11457~^~1100~^~Spinach, raw~^~SPINACH,RAW~^~~^~~^~Y~^~Large stems and roots~^28^~Spinacia oleracea~^6.25^2.44^8.37^3.57"}
            << QStringList{"~11457~^~SPINACH,RAW~^91.40^23^2.86^0.39^1.72^3.63^2.2^0.42^99^2.71^79^49^558^79^0.53^0.130^0.897^1.0^28.1^0.078^0.189^0.724^0.065^0.195^194^0^194^194^18.0^0.00^9377^469^0^0^5626^0^0^12198^2.03^482.9^0.063^0.010^0.165^0^30.00^~1 cup~^340.00^~1 bunch~^28"}
            << QStringList{"~11457~^1^1^~cup~^30^^", "~11457~^2^1^~bunch~^340^^", "~11457~^3^1^~leaf~^10.0^^",
                           "~11457~^4^1^~package (10 oz)~^284^^"}
            << QStringList{"g 0.23 0.0125 0", "oz 6.5204 0.3544 0", "cup 6.9 0.375 0"};
        QTest::newRow("raisins: 30 g a serving; each raisin of 50; a small box is no small")
            << QStringList{"~09298~^~0900~^~Raisins, seedless~^~RAISINS,SEEDLESS~^~~^~~^~Y~^~~^0^~Vitis vinifera~^6.25^3.36^8.37^3.60"}
            << QStringList{"~09298~^~RAISINS,SEEDLESS~^15.43^299^3.07^0.46^1.85^79.18^3.7^59.19^50^1.88^32^101^749^11^0.22^0.318^0.299^0.6^2.3^0.106^0.125^0.766^0.095^0.174^5^0^5^5^11.1^0.00^0^0^0^0^0^0^0^0^0.12^3.5^0.058^0.051^0.037^0^165.00^~1 cup,  packed~^145.00^~1 cup,  (not packed)~^0"}
            << QStringList{"~09298~^1^1^~cup, packed~^165^^", "~09298~^2^1^~cup (not packed)~^145^^", "~09298~^3^1^~miniature box (.5 oz)~^14.0^^",
                           "~09298~^4^1^~small box (1.5 oz)~^43^^", "~09298~^5^50^~raisins~^26^^", "~09298~^6^1^~oz (60 raisins)~^28.35^1^"}
            << QStringList{"g 2.99 0 0.0333", "oz 84.765 0 0.945", "cup 493.35 0 5.5", "each 1.5548 0 0.0173"};
        QTest::newRow("orange juice: one serving at most; the fruit it yields is no unit")
            << QStringList{"~09206~^~0900~^~Orange juice, raw~^~ORANGE JUICE,RAW~^~~^~~^~Y~^~~^0^~~^6.25^3.36^8.37^3.92"}
            << QStringList{"~09206~^~ORANGE JUICE,RAW~^88.30^45^0.70^0.20^0.40^10.40^0.2^8.40^11^0.20^11^17^200^1^0.05^0.044^0.014^0.1^50.0^0.090^0.030^0.400^0.190^0.040^30^0^30^30^6.2^0.00^200^10^0^6^33^169^0^115^0.04^0.1^0.024^0.036^0.040^0^248.00^~1 cup~^31.00^~1 fl oz~^0"}
            << QStringList{"~09206~^1^1^~cup~^248^^", "~09206~^2^1^~fl oz~^31.0^^", "~09206~^3^1^~fruit yields~^86^^"}
            << QStringList{"g 0.45 0 0.0125", "oz 12.7573 0 0.3544", "cup 111.6 0 1", "fl oz 13.95 0 0.3875"};
        QTest::newRow("a legume counts as vegetable")
            << QStringList{"~16016~^~1600~^~Beans, black turtle soup, mature seeds, raw~^~BEANS,BLACK TURTLE SOUP,MATURE SEEDS,RAW~^~~^~~^~~^~~^0^~Phaseolus vulgaris~^6.25^3.47^8.37^4.07"}
            << QStringList{"~16016~^~BEANS,BLACK TURTLE SOUP,MATURE SEEDS,RAW~^11.00^339^21.25^0.90^3.60^63.25^24.9^2.25^160^8.70^160^440^1500^9^2.20^1.000^1.000^3.2^0.0^0.900^0.193^1.955^0.899^0.286^444^0^444^444^^0.00^0^0^0^0^0^0^0^0^0.22^6.0^0.232^0.078^0.387^0^184.00^~1 cup~^^~~^0"}
            << QStringList{"~16016~^1^1^~cup~^184^^"}
            << QStringList{"g 3.39 0.0125 0", "oz 96.1048 0.3544 0", "cup 623.76 2.3 0"};
        QTest::newRow("an entree; a serving is no unit")
            << QStringList{"~22247~^~2200~^~Macaroni and Cheese, canned entree~^~Macaroni and Cheese, canned entree~^~~^~~^~Y~^~~^0^~~^^^^"}
            << QStringList{"~22247~^~Macaroni and Cheese, canned entree~^81.39^82^3.38^2.46^1.25^11.52^0.5^0.50^35^0.90^9^47^84^421^0.45^0.296^0.224^9.5^0.0^0.101^0.114^1.183^0.074^0.037^14^11^2^22^5.4^0.15^65^17^17^0^5^0^0^2^0.05^0.2^0.881^0.600^0.303^6^244.00^~1 serving~^^~~^0"}
            << QStringList{"~22247~^1^1^~serving~^244^^"}
            << QStringList{"g 0.82 0 0 entree", "oz 23.2466 0 0 entree"};
        QTest::newRow("left out: a brand in capitals, a brand with a manufacturer, a baby food")
            << QStringList{"~07200~^~0700~^~OSCAR MAYER, Bologna (chicken, pork, beef)~^~OSCAR MAYER,BOLOGNA (CHICK,PORK,BF)~^~~^~~^~~^~~^0^~~^^^^",
                           "~31008~^~1100~^~Campbell's V8 100% Vegetable Juice~^~CAMPBELL'S V8 100% VEG JUC~^~~^~Campbell Soup Co.~^~~^~~^0^~~^6.25^^^",
                           "~03002~^~0300~^~Babyfood, meat, beef, strained~^~BABYFOOD,MEAT,BF,STR~^~~^~~^~Y~^~~^0^~~^6.25^^^"}
            << QStringList{"~07200~^~OSCAR MAYER,BOLOGNA (CHICK,PORK,BF)~^53.70^318^10.90^29.40^3.50^2.40^0.0^1.40^69^1.78^21^199^154^1033^1.42^0.200^^^0.0^^^^^^^^^^^^0^^^^^^^^^^10.490^14.480^3.930^103^28.00^~1 serving~^^~~^0",
                           "~31008~^~CAMPBELL'S V8 100% VEG JUC~^93.90^21^0.82^0.00^1.16^4.12^0.8^3.29^16^0.30^^^193^198^^^^^29.6^^^^^^^^^^^^823^^^^^^^^0.00^^0.000^^^0^243.00^~1 serving~^243.00^~8 oz~^0",
                           "~03002~^~BABYFOOD,MEAT,BF,STR~^82.44^81^12.03^2.52^0.57^2.43^0.0^0.00^5^0.98^11^93^187^46^2.22^0.148^0.037^2.9^2.1^0.013^0.135^2.495^0.083^0.039^8^0^8^8^37.6^1.26^0^0^0^0^0^0^0^0^0.37^0.6^1.180^0.950^0.160^51^14.66^~1 tbsp~^28.35^~1 oz~^0"}
            << QStringList{"~07200~^1^1^~serving~^28^^", "~31008~^1^1^~serving~^243^1^", "~31008~^2^8^~oz~^243^1^",
                           "~03002~^1^1^~tbsp~^14.7^13^", "~03002~^2^1^~oz~^28.35^1^", "~03002~^3^1^~jar~^71^4^0"}
            << QStringList{};
    }
    void conversion()
    {
        QFETCH(QStringList, foods);
        QFETCH(QStringList, abbrev);
        QFETCH(QStringList, weights);
        QFETCH(QStringList, expected);
        const auto crlf = [](const QStringList &lines) { return lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n"; };
        const auto made = CatalogueConversion::convert(crlf(foods), crlf(abbrev), crlf(weights));
        QStringList entries;
        for (const CatalogueConversion::Entry &entry : made.entries)
            entries << shown(entry);
        QCOMPARE(entries, expected);
        QCOMPARE(made.foods, expected.isEmpty() ? 0 : 1);
    }

    void measures_data()
    {
        QTest::addColumn<QString>("measure");
        QTest::addColumn<QString>("food");
        QTest::addColumn<QString>("unit");
        QTest::newRow("tablespoon, any case") << "Tablespoon" << "Oil" << "tbsp";
        QTest::newRow("piece") << "piece (1/8 of 9\" dia)" << "Pie, apple" << "piece";
        QTest::newRow("size with a comma") << "large, whole" << "Egg, whole, raw" << "large";
        QTest::newRow("a size of something else") << "large box" << "Raisins" << "";
        QTest::newRow("item") << "item" << "Fast foods, taco" << "each";
        QTest::newRow("the food itself, plural name") << "banana (7\" long)" << "Bananas, raw" << "each";
        QTest::newRow("the food itself, -ies") << "cherry" << "Cherries, sweet, raw" << "each";
        QTest::newRow("a word of the name that is a container") << "can" << "Beans, can" << "";
    }
    void measures()
    {
        QFETCH(QString, measure);
        QFETCH(QString, food);
        QFETCH(QString, unit);
        QCOMPARE(CatalogueConversion::unitOfMeasure(measure, food), unit);
    }

    void dried_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("grams");
        QTest::newRow("dried") << "0900" << "Apricots, dried, sulfured, uncooked" << 30.0;
        QTest::newRow("dates") << "0900" << "Dates, medjool" << 30.0;
        QTest::newRow("stewed") << "0900" << "Apricots, dried, sulfured, stewed, without added sugar" << 80.0;
        QTest::newRow("canned prunes") << "0900" << "Prunes, canned, heavy syrup pack, solids and liquids" << 80.0;
        QTest::newRow("a dried vegetable") << "1100" << "Tomatoes, sun-dried" << 80.0;
    }
    void dried()
    {
        QFETCH(QString, group);
        QFETCH(QString, name);
        QFETCH(double, grams);
        QCOMPARE(CatalogueConversion::servingGrams({QStringLiteral("1"), group, name, {}}), grams);
    }

    void newDiaryHasTheCatalogue()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("full.mdb"));
        QCOMPARE(NewDiary::create(path, Catalogue::fill).reason(), QString());
        Connection connection(QStringLiteral("tst_catalogue"));
        QVERIFY(connection.open(path, Access::ReadOnly).ok());
        // The standard units, with the sizes added once.
        QCOMPARE(*Units(connection).names(),
                 QStringList({"bar", "cup", "each", "fl oz", "g", "large", "lb", "medium", "ml", "oz", "packet", "piece",
                              "serving", "slice", "small", "tbsp", "tsp"}));
        Foods foods(connection);
        const QString apple = QStringLiteral("Apples, raw, with skin");
        QCOMPARE(*foods.unitsOf(apple), QStringList({"cup", "each", "g", "large", "medium", "oz", "small"}));
        const FoodEntry each = **foods.find(apple, QStringLiteral("each"));
        QCOMPARE(QList<double>({each.caloriesPerUnit, each.vegetableServings, each.fruitServings}), QList<double>({94.64, 0, 2.275}));
    }

    void fileNew()
    {
        // Each File > New...: the box's answer (-1: left as offered), how it was offered, the entries made.
        const QList<std::tuple<int, bool, int>> steps = {
            {-1, true, catalogueEntries}, {0, true, 0}, {-1, false, 0}, {1, false, catalogueEntries}};
        FileDialog::setTestMode(true);
        auto frame = startFrame(m_path);
        for (const auto &[answer, offered, entries] : steps) {
            const QString made = m_dir->filePath(QStringLiteral("new %1.mdb").arg(FileDialog::requests().size()));
            FileDialog::setNextAnswer(made);
            if (answer >= 0)
                FileDialog::setNextChecked(answer == 1);
            frame->mnuFileNew->trigger();
            const FileDialog::Request &asked = FileDialog::requests().constLast();
            QCOMPARE(std::pair(asked.checkBox, asked.checked), std::pair(QStringLiteral("Start with the food &catalogue"), offered));
            QCOMPARE(std::pair(deMealwright::instance().path(), rows(QStringLiteral("SELECT count(*) FROM Foods"))),
                     std::pair(made, QStringList(QString::number(entries))));
        }
    }
};

QTEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
