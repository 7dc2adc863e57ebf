#include "FoodMatch.h"
#include "MatchList.h"
#include "Meals.h"
#include "Windows.h"

#include <QListView>
#include <QScopeGuard>

#include <algorithm>

namespace {

using Counts = std::vector<std::pair<QString, qint64>>;

const QStringList catalogue = {"Pie, apple-cherry", "Juice, apple",     "Crème brûlée",   "Pineapple, raw",
                               "Apples, raw, with skin", "Chef's Salad", "Milk, 2% fat", "Bread/rolls, whole-wheat",
                               "Apple pie (homemade)"};

// The matches of typed among names, with the client's recent meals.
QStringList matchesOf(const QStringList &names, const QString &typed, const Counts &recent = {})
{
    FoodMatch match;
    match.setRecent(recent);
    match.setNames(names);
    return match.matches(typed);
}

// The items of a combo box.
QStringList itemsOf(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

// Types the text, a key a character, accented letters too.
void typeKeys(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, c.unicode() < 0x80 ? QTest::asciiToKey(char(c.unicode())) : Qt::Key_unknown,
                            QString(c), Qt::NoModifier);
}

// Types into the food box, as from the start.
void typeAfresh(QComboBox *box, const QString &text)
{
    box->clearEditText();
    box->setFocus();
    typeKeys(box, text);
}

} // namespace

// Finding a food by typing: the matching and ranking rules, and the list under the food boxes.
//
// Now is Tuesday 13 August 2002, 9:30; the last 90 days begin on Thursday 16 May. Of the apple
// foods, Ann ate "Apples, raw, with skin" twice (on the first morning of the 90 days and on 10
// August), "Apple" once (the fixture's meal on the 13th; another on the 20th is still to come)
// and "Pie, apple" once; her three "Juice, apple" are older. Bob ate "Apple" once (the fixture)
// and "Pie, apple" twice.
class TestFoodBox : public DiaryTest
{
    Q_OBJECT

public:
    TestFoodBox()
        : DiaryTest({"INSERT INTO Foods (Food, Units, CaloriesPerUnit) VALUES ('Apples, raw, with skin', 'g', 0.52),"
                     " ('Juice, apple', 'fl oz', 14), ('Juice, apple', 'cup', 114), ('Pie, apple', 'slice', 296),"
                     " ('Pineapple', 'cup', 82), ('Crème brûlée', 'each', 340)",
                     "INSERT INTO Meals (Who, \"When\", Food, Amount, Units) VALUES"
                     " ('Ann', '2002-05-16 00:00:00', 'Apples, raw, with skin', 150, 'g'),"
                     " ('Ann', '2002-08-10 07:00:00', 'apples, RAW, with skin', 150, 'g'),"
                     " ('Ann', '2002-08-01 12:00:00', 'Pie, apple', 1, 'slice'),"
                     " ('Ann', '2002-05-15 23:59:59', 'Juice, apple', 1, 'cup'),"
                     " ('Ann', '2002-05-01 08:00:00', 'Juice, apple', 1, 'cup'),"
                     " ('Ann', '2002-04-01 08:00:00', 'Juice, apple', 1, 'cup'),"
                     " ('Bob', '2002-08-02 12:00:00', 'Pie, apple', 1, 'slice'),"
                     " ('Bob', '2002-08-03 12:00:00', 'Pie, apple', 1, 'slice')"},
                    wallClock(QDate(2002, 8, 13), QTime(9, 30)))
    {
    }

private Q_SLOTS:
    void matching_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("word start") << "app"
                                    << QStringList({"Apple pie (homemade)", "Apples, raw, with skin", "Juice, apple",
                                                    "Pie, apple-cherry"});
        QTest::newRow("inside a word") << "ple" << QStringList();
        QTest::newRow("any order") << "raw apples" << QStringList("Apples, raw, with skin");
        QTest::newRow("every word") << "apple juice" << QStringList("Juice, apple");
        QTest::newRow("a word missing") << "apple banana" << QStringList();
        QTest::newRow("after a hyphen") << "cherry" << QStringList("Pie, apple-cherry");
        QTest::newRow("slash and hyphen") << "rolls wheat" << QStringList("Bread/rolls, whole-wheat");
        QTest::newRow("parenthesis") << "homem" << QStringList("Apple pie (homemade)");
        QTest::newRow("accents in the name") << "creme brulee" << QStringList("Crème brûlée");
        QTest::newRow("accents typed") << "BRÛLÉE" << QStringList("Crème brûlée");
        QTest::newRow("letter case") << "JUICE" << QStringList("Juice, apple");
        QTest::newRow("apostrophe left out") << "chefs" << QStringList("Chef's Salad");
        QTest::newRow("apostrophe typed") << "chef's sal" << QStringList("Chef's Salad");
        QTest::newRow("digits") << "2% milk" << QStringList("Milk, 2% fat");
        QTest::newRow("no word") << " ,- " << QStringList();
    }

    void matching()
    {
        QFETCH(QString, typed);
        QTEST(matchesOf(catalogue, typed), "expected");
    }

    void ranking_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("withRecent");
        // Within the names that start with the word, and within the rest, more meals first.
        QTest::newRow("first word, then recent, then name")
            << QStringList({"Pie, apple", "Applesauce", "Juice, apple", "Apple", "Apple pie", "Dumpling, apple"})
            << "apple" << QStringList({"Apple pie", "Apple", "Applesauce", "Juice, apple", "Pie, apple", "Dumpling, apple"})
            << true;
        QTest::newRow("no recent foods")
            << QStringList({"Pie, apple", "Applesauce", "Juice, apple", "Apple", "Apple pie", "Dumpling, apple"})
            << "apple" << QStringList({"Apple", "Apple pie", "Applesauce", "Dumpling, apple", "Juice, apple", "Pie, apple"})
            << false;
        // The first typed word decides, not any typed word.
        QTest::newRow("the first word typed") << QStringList({"Apple juice", "Juice, apple"}) << "juice apple"
                                              << QStringList({"Juice, apple", "Apple juice"}) << false;
        QTest::newRow("letter case aside") << QStringList({"Pear, raw", "apple, raw", "Banana, raw"}) << "raw"
                                           << QStringList({"apple, raw", "Banana, raw", "Pear, raw"}) << false;
    }

    void ranking()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, typed);
        QFETCH(bool, withRecent);
        const Counts recent = {{"pie, APPLE", 3}, {"Juice, apple", 5}, {"Apple pie", 1}};
        QTEST(matchesOf(names, typed, withRecent ? recent : Counts()), "expected");
    }

    // In the user's language, accented letters sort with their plain ones.
    void languageOrder()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
        QCOMPARE(matchesOf({"Zucchini, raw", "Éclair, raw", "eggs, raw", "Apples, raw"}, "raw"),
                 QStringList({"Apples, raw", "Éclair, raw", "eggs, raw", "Zucchini, raw"}));
    }

    void atMostFifty()
    {
        QStringList names;
        for (int i = 59; i >= 0; --i)
            names << QStringLiteral("Soup %1").arg(i, 2, 10, QLatin1Char('0'));
        const QStringList shown = matchesOf(names, "soup");
        QCOMPARE(QStringList({QString::number(shown.size()), shown.first(), shown.last()}),
                 QStringList({"50", "Soup 00", "Soup 49"}));
    }

    // Names set again, as an editor opening again sets them, replace the ones before; the
    // client's meals count for them.
    void namesSetAgain()
    {
        FoodMatch match;
        match.setNames({"Apple", "Pear, raw"});
        match.setRecent({{"pear, raw", 2}});
        match.setNames({"Apple", "Pie, apple"});
        QCOMPARE(match.matches(u"p"), QStringList("Pie, apple"));
        match.setNames({"Pear, raw", "Apple, raw"});
        QCOMPARE(match.matches(u"raw"), QStringList({"Pear, raw", "Apple, raw"}));
    }

    // Today and the 89 days before it, whole days.
    void recentDays()
    {
        const DateSpan span = FoodMatch::recentSpan(QDate(2002, 8, 13));
        QCOMPARE(span, DateSpan({wallClock(QDate(2002, 5, 16)), wallClock(QDate(2002, 8, 14))}));
    }

    // A client's meals a food in a span, letter case aside, another client's left out.
    void mealsPerFood()
    {
        Result<Counts> counts = Meals(deMealwright::instance().cnMealwright())
                                    .mealsPerFood("ann", DateSpan::selectedDays(QDate(2002, 8, 10), QDate(2002, 8, 13)));
        QVERIFY2(counts, qPrintable(counts.reason()));
        QStringList shown;
        for (const auto &[food, meals] : *counts)
            shown << food + u'|' + QString::number(meals);
        shown.sort();
        QCOMPARE(shown, QStringList({"Apple|1", "Chicken pasta|1", "Milk|2", "Mystery stew|1", "Protein bar|1", "Shake|1",
                                     "apples, RAW, with skin|1"}));
    }

    // Typing shows the matches; the keys move in them and take one, and only a name taken
    // replaces what was typed.
    void mealEditorList()
    {
        frmEditMeal editor;
        editor.szClient = QStringLiteral("Ann");
        showActive(editor);
        MatchList *list = editor.foodMatches;
        QComboBox *box = editor.dbcFood;
        const QStringList ann({"Apples, raw, with skin", "Apple", "Pie, apple", "Juice, apple"});
        typeAfresh(box, "APPLE");
        QCOMPARE(list->shown(), ann);
        QCOMPARE(list->highlighted(), -1);

        // Moving the highlight leaves the text; Esc closes the list and only the list.
        for (const auto key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up})
            QTest::keyClick(box, key);
        QCOMPARE(QVariantList({list->highlighted(), box->currentText()}), QVariantList({1, "APPLE"}));
        QTest::keyClick(box, Qt::Key_Escape);
        QCOMPARE(QVariantList({list->isOpen(), box->currentText(), editor.isVisible()}),
                 QVariantList({false, "APPLE", true}));
        // So does a click elsewhere, which the list has while it is up.
        typeAfresh(box, "Apple");
        QTest::mouseClick(list->view(), Qt::LeftButton, {}, QPoint(-5, -5));
        QCOMPARE(QVariantList({list->isOpen(), box->currentText()}), QVariantList({false, "Apple"}));

        // Typing on after a move, here as the keys come while the list has the keyboard.
        typeAfresh(box, "Crè");
        QTest::keyClick(list->view(), Qt::Key_Down);
        typeKeys(list->view(), "me");
        QCOMPARE(QVariantList({box->currentText(), list->shown(), list->highlighted()}),
                 QVariantList({"Crème", QStringList("Crème brûlée"), -1}));

        // Enter takes the highlighted name, and the units follow it.
        typeAfresh(box, "apple");
        QTest::keyClick(list->view(), Qt::Key_Down);
        QTest::keyClick(list->view(), Qt::Key_Down);
        QTest::keyClick(list->view(), Qt::Key_Return);
        QCOMPARE(QVariantList({box->currentText(), itemsOf(editor.dbcUnits), list->isOpen(), editor.isVisible()}),
                 QVariantList({"Apple", QStringList("each"), false, true}));

        // Tab takes it and goes on; so does a click.
        typeAfresh(box, "juice");
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(QVariantList({box->currentText(), itemsOf(editor.dbcUnits), editor.focusWidget()->objectName()}),
                 QVariantList({"Juice, apple", QStringList({"cup", "fl oz"}), "txtAmount"}));
        typeAfresh(box, "pi");
        QCOMPARE(list->shown(), QStringList({"Pie, apple", "Pineapple"}));
        QTest::mouseClick(list->view()->viewport(), Qt::LeftButton, {},
                          list->view()->visualRect(list->view()->model()->index(1, 0)).center());
        QCOMPARE(QVariantList({box->currentText(), itemsOf(editor.dbcUnits)}),
                 QVariantList({"Pineapple", QStringList("cup")}));

        // Enter with nothing highlighted closes the list and presses OK, as it always does.
        typeAfresh(box, "milk");
        editor.txtAmount->setText(QStringLiteral("1"));
        editor.dbcUnits->setEditText(QStringLiteral("cup"));
        QVERIFY(list->isOpen());
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(QVariantList({list->isOpen(), editor.isVisible(), editor.result()}),
                 QVariantList({false, false, int(QDialog::Accepted)}));
        QCOMPARE(rows("SELECT Food FROM Meals ORDER BY ID DESC LIMIT 1"), QStringList("Milk"));
    }

    // The client shown ranks the matches; the food editor has none.
    void rankingFollowsTheClient()
    {
        frmEditMeal editor;
        editor.szClient = QStringLiteral("Ann");
        showActive(editor);
        typeAfresh(editor.dbcFood, "apple");
        QCOMPARE(editor.foodMatches->shown(), QStringList({"Apples, raw, with skin", "Apple", "Pie, apple", "Juice, apple"}));
        editor.dbcWho->setCurrentText(QStringLiteral("Bob"));
        typeAfresh(editor.dbcFood, "apple");
        QCOMPARE(editor.foodMatches->shown(), QStringList({"Apple", "Apples, raw, with skin", "Pie, apple", "Juice, apple"}));

        frmEditFood food;
        showActive(food);
        typeAfresh(food.dbcFood, "apple");
        QCOMPARE(food.foodMatches->shown(), QStringList({"Apple", "Apples, raw, with skin", "Juice, apple", "Pie, apple"}));
        QTest::keyClick(food.dbcFood, Qt::Key_Up);
        QTest::keyClick(food.dbcFood, Qt::Key_Enter);
        QCOMPARE(QVariantList({food.dbcFood->currentText(), food.isVisible()}), QVariantList({"Pie, apple", true}));
    }
};

QTEST_MAIN(TestFoodBox)
#include "tst_foodbox.moc"
