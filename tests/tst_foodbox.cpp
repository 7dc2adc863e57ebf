#include "MatchList.h"
#include "Windows.h"

#include <QScopeGuard>

namespace {

QStringList matchesOf(const QStringList &names, const QString &typed, const std::vector<std::pair<QString, qint64>> &recent = {})
{
    FoodMatch match;
    match.setRecent(recent);
    match.setNames(names);
    return match.matches(typed);
}

// Types a key a character (accented letters too); into a food box, as from the start.
void type(QWidget *widget, const QString &text)
{
    if (auto *box = qobject_cast<QComboBox *>(widget)) {
        box->clearEditText();
        box->setFocus();
    }
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, c.unicode() < 0x80 ? QTest::asciiToKey(char(c.unicode())) : Qt::Key_unknown,
                            QString(c), Qt::NoModifier);
}


} // namespace

// Finding a food by typing: the matching and ranking rules, and the list under the food boxes.
//
// Now is Tuesday 13 August 2002, 9:30; the last 90 days begin on Thursday 16 May. Of the apple
// foods, Ann ate "Apples, raw, with skin" twice (the first at the first moment of the 90 days),
// "Apple" once (the fixture's meal on the 13th; the one on the 20th is still to come) and "Pie,
// apple" once; her "Juice, apple" is a second older. Bob ate "Apple" once.
class TestFoodBox : public DiaryTest
{
    Q_OBJECT

public:
    TestFoodBox()
        : DiaryTest({"INSERT INTO Foods (Food, Units) VALUES ('Apples, raw, with skin', 'g'), ('Juice, apple', 'fl oz'),"
                     " ('Juice, apple', 'cup'), ('Pie, apple', 'slice'), ('Pineapple', 'cup'), ('Crème brûlée', 'each'),"
                     " ('Pears, asian, raw, as picked from the tree in the orchard behind the farm', 'each')",
                     "INSERT INTO Meals (Who, \"When\", Food, Units) VALUES ('Ann', '2002-05-16 00:00:00', 'Apples, raw, "
                     "with skin', 'g'), ('Ann', '2002-08-10 07:00:00', 'apples, RAW, with skin', 'g'), ('Ann', "
                     "'2002-08-01 12:00:00', 'Pie, apple', 'slice'), ('Ann', '2002-05-15 23:59:59', 'Juice, apple', 'cup')"},
                    wallClock(QDate(2002, 8, 13), QTime(9, 30)))
    {
    }

private Q_SLOTS:
    void matching_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected");
        // The names that start with the word first, then the rest, each by name, letter case aside.
        QTest::newRow("word start") << "app" << QStringList({"apple crumble", "Apple pie (homemade)", "Apples, raw", "Juice, apple",
                                                             "Pie, apple-cherry"});
        QTest::newRow("inside a word") << "ple" << QStringList();
        QTest::newRow("any order") << "raw apples" << QStringList("Apples, raw");
        QTest::newRow("a word missing") << "apple banana" << QStringList();
        QTest::newRow("slash, hyphen, parenthesis") << "rolls wheat (homem" << QStringList("Bread/rolls, whole-wheat (homemade)");
        QTest::newRow("accents in the name") << "creme brulee" << QStringList("Crème brûlée");
        QTest::newRow("accents typed, letter case") << "BRÛLÉE" << QStringList("Crème brûlée");
        QTest::newRow("apostrophe left out") << "chefs" << QStringList("Chef's Salad");
        QTest::newRow("digits") << "2% milk" << QStringList("Milk, 2% fat");
    }
    void matching()
    {
        QFETCH(QString, typed);
        QTEST(matchesOf({"Pie, apple-cherry", "Juice, apple", "Crème brûlée", "Pineapple, raw", "Apples, raw", "Chef's Salad",
                         "Milk, 2% fat", "Bread/rolls, whole-wheat (homemade)", "Apple pie (homemade)", "apple crumble"},
                        typed),
              "expected");
    }

    // Within the names that start with the first word typed, and within the rest, more meals first.
    void ranking()
    {
        QCOMPARE(matchesOf({"Pie, apple", "Applesauce", "Juice, apple", "Apple", "Apple pie", "Dumpling, apple"}, "apple",
                           {{"pie, APPLE", 3}, {"Juice, apple", 5}, {"Apple pie", 1}}),
                 QStringList({"Apple pie", "Apple", "Applesauce", "Juice, apple", "Pie, apple", "Dumpling, apple"}));
        QCOMPARE(matchesOf({"Apple juice", "Juice, apple"}, "juice apple"), QStringList({"Juice, apple", "Apple juice"}));
    }

    // In the user's language accented letters sort with their plain ones; at most 50 are listed;
    // names set again replace the ones before.
    void orderAndLimit()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
        QCOMPARE(matchesOf({"Zucchini, raw", "Éclair, raw", "eggs, raw", "Apples, raw"}, "raw"),
                 QStringList({"Apples, raw", "Éclair, raw", "eggs, raw", "Zucchini, raw"}));
        QStringList names; // "Soup 59" down to "Soup 00"
        for (int i = 0; i < 60; ++i)
            names.prepend(QStringLiteral("Soup %1").arg(i, 2, 10, QLatin1Char('0')));
        QCOMPARE(matchesOf(names, "soup"), QStringList(names.crbegin(), names.crbegin() + 50));
        FoodMatch match;
        match.setNames({"Apple", "Pear, raw"});
        match.setNames({"Apple", "Pie, apple"});
        QCOMPARE(match.matches(u"p"), QStringList("Pie, apple"));
    }

    // Typing shows the matches, ranked by the client's meals of the 90 days; the keys move in them
    // and take one, and only a name taken replaces what was typed.
    void mealEditorList()
    {
        frmEditMeal editor;
        editor.szClient = QStringLiteral("Ann");
        showActive(editor);
        MatchList *list = editor.foodMatches;
        QComboBox *box = editor.dbcFood;
        const auto foodAndUnits = [&] { // the food box's text and the units listed
            QStringList shown(box->currentText());
            for (int i = 0; i < editor.dbcUnits->count(); ++i)
                shown << editor.dbcUnits->itemText(i);
            return shown;
        };
        type(box, "APPLE");
        QCOMPARE(list->shown(), QStringList({"Apples, raw, with skin", "Apple", "Pie, apple", "Juice, apple"}));
        // Moving the highlight leaves the text; Esc closes the list and only the list, and so
        // does a click elsewhere (which the list has while it is up).
        for (const auto key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up})
            QTest::keyClick(box, key);
        QCOMPARE(QVariantList({list->highlighted(), box->currentText()}), QVariantList({1, "APPLE"}));
        QTest::keyClick(box, Qt::Key_Escape);
        QCOMPARE(QVariantList({list->isOpen(), box->currentText(), editor.isVisible()}), QVariantList({false, "APPLE", true}));
        type(box, "Apple");
        QTest::mouseClick(list->view(), Qt::LeftButton, {}, QPoint(-5, -5));
        QCOMPARE(QVariantList({list->isOpen(), box->currentText()}), QVariantList({false, "Apple"}));

        // Typing on after a move, as the keys come while the list has the keyboard.
        type(box, "Crè");
        QTest::keyClick(list->view(), Qt::Key_Down);
        type(list->view(), "me");
        QCOMPARE(QVariantList({box->currentText(), list->shown(), list->highlighted()}),
                 QVariantList({"Crème", QStringList("Crème brûlée"), -1}));

        // A long name shows whole: the list is as wide as it needs to be.
        type(box, "pear");
        QVERIFY(list->view()->width() > list->view()->fontMetrics().horizontalAdvance(list->shown().value(0)));

        // Enter takes the highlighted name and the units follow it; Tab takes it and goes on; so
        // does a click.
        type(box, "apple");
        for (const auto key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return})
            QTest::keyClick(list->view(), key);
        QCOMPARE(foodAndUnits(), QStringList({"Apple", "each"}));
        QCOMPARE(QList<bool>({list->isOpen(), editor.isVisible()}), QList<bool>({false, true}));
        type(box, "juice");
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(foodAndUnits() << editor.focusWidget()->objectName(), QStringList({"Juice, apple", "cup", "fl oz", "txtAmount"}));
        type(box, "pi");
        QTest::mouseClick(list->view()->viewport(), Qt::LeftButton, {}, list->view()->visualRect(list->view()->model()->index(1, 0)).center());
        QCOMPARE(foodAndUnits(), QStringList({"Pineapple", "cup"}));

        // Enter with nothing highlighted closes the list and presses OK, as it always does.
        type(box, "milk");
        editor.txtAmount->setText(QStringLiteral("1"));
        editor.dbcUnits->setEditText(QStringLiteral("cup"));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(QVariantList({list->isOpen(), editor.result(), rows("SELECT Food FROM Meals ORDER BY ID DESC LIMIT 1")}),
                 QVariantList({false, int(QDialog::Accepted), QStringList("Milk")}));

        // Another client's matches; the food editor has no client.
        showActive(editor);
        editor.dbcWho->setCurrentText(QStringLiteral("Bob"));
        type(box, "apple");
        const QStringList bob = list->shown();
        QCOMPARE(bob, QStringList({"Apple", "Apples, raw, with skin", "Juice, apple", "Pie, apple"}));
        frmEditFood food;
        showActive(food);
        type(food.dbcFood, "apple");
        QCOMPARE(food.foodMatches->shown(), bob);
    }
};

QTEST_MAIN(TestFoodBox)
#include "tst_foodbox.moc"
