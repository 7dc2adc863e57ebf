#include "Messages.h"
#include "Modal.h"
#include "TestDatabase.h"
#include "Clock.h"
#include "DateSpan.h"
#include "EntryChecks.h"
#include "deMealwright.h"
#include "frmEditFood.h"
#include "frmEditMeal.h"
#include "MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>

#include <memory>

using namespace EntryChecks;

namespace {

// The rows of a table as text, one "a|b|c" per row in ID order.
QStringList rows(const QString &select)
{
    return *deMealwright::instance().cnMealwright().statement(select + QStringLiteral(" ORDER BY ID")).texts();
}
QStringList meals()
{
    return rows(QStringLiteral("SELECT Who || '|' || \"When\" || '|' || Food || '|' || Amount || '|' || Units FROM Meals"));
}
QStringList foods()
{
    return rows(QStringLiteral("SELECT Food || '|' || Units || '|' || CaloriesPerUnit || '|' || VegetableServings || '|' "
                               "|| FruitServings || '|' || EntreeFlag || '|' || SupplementFlag FROM Foods"));
}

QStringList itemsOf(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

void typeMeal(frmEditMeal &editor, const char *food, const char *amount, const char *units)
{
    editor.dbcFood->setEditText(QString::fromUtf8(food));
    editor.txtAmount->setText(QString::fromUtf8(amount));
    editor.dbcUnits->setEditText(QString::fromUtf8(units));
}

} // namespace

class TestEditors : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void checkMeal_data();
    void checkMeal();
    void checkFood_data();
    void checkFood();

    void foodEditorAdds_data();
    void foodEditorAdds();
    void foodEditorEdits();
    void foodEditorEndings();

    void tabOrder();
    void mealEditorUnitsFollowTheFood();
    void mealEditorSavesWhatThePickersShow();
    void mealEditorAmountBox_data();
    void mealEditorAmountBox();
    void mealEditorDefinesAFood();
    void mealEditorEdits();
    void refusedWriteKeepsTheDialog();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void TestEditors::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->filePath(QStringLiteral("diary.mdb"));
    QCOMPARE(TestDatabase::createMealFixture(m_path), QString());
    QCOMPARE(TestDatabase::execute(m_path, {QStringLiteral("INSERT INTO Foods (ID, Food, Units, CaloriesPerUnit) VALUES "
                                                           "(8, 'Chef''s Salad', 'serving', 310)")}),
             QString());
    QVERIFY(deMealwright::instance().open(m_path).ok());
    MessageBox::setTestMode(true);
    Clock::setFixed(wallClock(QDate(2002, 8, 13), QTime(9, 30, 15)));
}

void TestEditors::cleanup()
{
    Clock::reset();
    deMealwright::instance().close();
    m_dir.reset();
}

void TestEditors::checkMeal_data()
{
    QTest::addColumn<QStringList>("meal"); // client, food, amount, units
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("message");
    using O = MealCheck::Outcome;
    const auto row = [](const char *name, QStringList meal, O outcome, MealField field, const char *message) {
        QTest::newRow(name) << meal << int(outcome) << int(field) << QString::fromUtf8(message);
    };
    row("nothing", {"", "", "", ""}, O::Fault, MealField::Client, "You must select a client name");
    row("no food", {"Ann", "", "", ""}, O::Fault, MealField::Food, "You must enter a description of the food");
    row("no amount", {"Ann", "Milk", "", ""}, O::Fault, MealField::Amount, "You must enter the amount eaten");
    row("amount not a number", {"Ann", "Milk", "lots", "cup"}, O::Fault, MealField::Amount, "Amount must be numeric");
    row("negative amount", {"Ann", "Milk", "-1", "cup"}, O::Fault, MealField::Amount, "Amount must be >= 0!");
    // An amount is a plain decimal number with a point, blanks around it allowed.
    for (const char *amount : {"1,5", "1,000", "1e3", "1.2.3", "inf", " "})
        row(amount, {"Ann", "Milk", amount, "cup"}, O::Fault, MealField::Amount, "Amount must be numeric");
    row("blanks and a sign", {"Ann", "Milk", " -.5 ", "cup"}, O::Fault, MealField::Amount, "Amount must be >= 0!");
    row("trailing point", {"Ann", "Milk", "+3.", "cup"}, O::Pass, MealField::Client, "");
    row("food not in catalogue", {"Ann", "Kiwi", "1", ""}, O::OfferFood, MealField::Food,
        "'Kiwi' is not in the Foods table\r\nClick OK to add it now or CANCEL to select a different food");
    row("no units", {"Ann", "Milk", "1", ""}, O::Fault, MealField::Units, "You must enter the units used for measurement");
    row("no entry in units", {"Ann", "Milk", "1", "bowl"}, O::OfferUnits, MealField::Units,
        "No food entry for 'Milk' in bowl\r\nClick OK to define one now or CANCEL to change the units");
    row("other case", {"Ann", "mILK", "0", "CUP"}, O::Pass, MealField::Client, "");
    row("non-ASCII case is another name", {"Ann", "MİLK", "0", "cup"}, O::OfferFood, MealField::Food,
        "'MİLK' is not in the Foods table\r\nClick OK to add it now or CANCEL to select a different food");
}

void TestEditors::checkMeal()
{
    QFETCH(QStringList, meal);
    QFETCH(int, outcome);
    QFETCH(int, field);
    QFETCH(QString, message);
    const MealCheck check =
        EntryChecks::checkMeal({meal[0], meal[1], meal[2], meal[3]}, {"Apple", "Milk"}, {"cup", "fl oz"});
    QCOMPARE(int(check.outcome), outcome);
    QCOMPARE(check.message, message);
    if (check.outcome != MealCheck::Outcome::Pass)
        QCOMPARE(int(check.field), field);
}

void TestEditors::checkFood_data()
{
    QTest::addColumn<QStringList>("entry"); // food, calories, units, vegetables, fruits
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("message");
    const auto row = [](const char *name, QStringList entry, FoodField field, const char *message) {
        QTest::newRow(name) << entry << int(field) << QString::fromUtf8(message);
    };
    // Filled in one by one, the messages come as food, calories, units, fruits, vegetables.
    row("nothing", {"", "", "", "", ""}, FoodField::Food, "You must enter a description of the food");
    row("no calories", {"Kiwi", "", "", "", ""}, FoodField::Calories, "You must enter the number of calories per unit");
    row("no units", {"Kiwi", "42", "", "", ""}, FoodField::Units, "You must enter the units used for measurement");
    row("no fruit", {"Kiwi", "42", "each", "", ""}, FoodField::Fruits, "You must enter the fruit servings per unit");
    row("no vegetables", {"Kiwi", "42", "each", "", "1"}, FoodField::Vegetables,
        "You must enter the vegetable servings per unit");
    row("units typed by hand", {"Kiwi", "42", "bowl", "0", "1"}, FoodField::Units,
        "'bowl' are not valid units\r\nSelect a valid unit");
    row("blank calories", {"Kiwi", " ", "each", "0", "1"}, FoodField::Calories, "Calories per unit must be numeric");
    row("vegetables not a number", {"Kiwi", "42", "each", "some", "1"}, FoodField::Vegetables,
        "Vegetable servings must be numeric");
    row("fruit not a number", {"Kiwi", "42", "each", "0", "1/2"}, FoodField::Fruits, "Fruit servings must be numeric");
    row("fine, negative and other case", {"Kiwi", "-150", "EACH", "0", "1"}, FoodField::Food, "");
}

void TestEditors::checkFood()
{
    QFETCH(QStringList, entry);
    QFETCH(int, field);
    QFETCH(QString, message);
    const auto fault = EntryChecks::checkFood({entry[0], entry[1], entry[2], entry[3], entry[4]}, {"cup", "each"});
    QCOMPARE(fault ? fault->message : QString(), message);
    if (fault)
        QCOMPARE(int(fault->field), field);
}

void TestEditors::foodEditorAdds_data()
{
    QTest::addColumn<QStringList>("entry"); // food, calories, units, vegetables, fruits
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("saved"); // the new row of Foods
    const auto row = [](const char *name, QStringList entry, const char *message, const char *focus, const char *saved) {
        QTest::newRow(name) << entry << QString::fromUtf8(message) << QString::fromLatin1(focus) << QString::fromUtf8(saved);
    };
    row("same name and units", {"Milk", "1", "cup", "0", "0"}, "Milk in units cup is already defined in the food table",
        "dbcFood", "");
    row("same in other case", {"milk", "1", "CUP", "0", "0"}, "milk in units cup is already defined in the food table",
        "dbcFood", "");
    row("apostrophe, same", {"Chef's Salad", "1", "serving", "0", "0"},
        "Chef's Salad in units serving is already defined in the food table", "dbcFood", "");
    row("same name, other units", {"Milk", "42.5", "Tbsp", "0", "0.25"}, "", "", "Milk|tbsp|42.5|0.0|0.25|0|0");
    row("apostrophe, new", {"Chef's Salad", "310", "cup", "1.5", "0"}, "", "", "Chef's Salad|cup|310.0|1.5|0.0|0|0");
    row("correction", {"Crème brûlée 100%_", "-150", "each", "0", "0"}, "", "", "Crème brûlée 100%_|each|-150.0|0.0|0.0|0|0");
}

void TestEditors::foodEditorAdds()
{
    QFETCH(QStringList, entry);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    QFETCH(QString, saved);

    frmEditFood editor;
    editor.idFood = 0;
    showActive(editor);
    QCOMPARE(editor.windowTitle(), QStringLiteral("Add food"));
    // A new entry starts with no calories and no servings.
    QCOMPARE(QStringList({editor.txtCalories->text(), editor.txtVegetables->text(), editor.txtFruits->text()}),
             QStringList({"", "0.00", "0.00"}));
    const QStringList before = foods();
    editor.dbcFood->setEditText(entry[0]);
    editor.txtCalories->setText(entry[1]);
    editor.dbcUnits->setEditText(entry[2]);
    editor.txtVegetables->setText(entry[3]);
    editor.txtFruits->setText(entry[4]);
    editor.cmdOK->click();

    if (!message.isEmpty()) {
        QCOMPARE(messages(), QStringList(QStringLiteral("! ") + message));
        QCOMPARE(editor.focusWidget()->objectName(), focus);
        QVERIFY(editor.isVisible());
        QCOMPARE(foods(), before);
        return;
    }
    QCOMPARE(messages(), QStringList());
    QVERIFY(!editor.isVisible());
    QCOMPARE(foods(), before + QStringList(saved));
    QCOMPARE(QStringList({editor.szFood, editor.szUnits}), saved.split(u'|').mid(0, 2));
    QCOMPARE(editor.idFood, rows(QStringLiteral("SELECT ID FROM Foods")).constLast().toLongLong());
}

void TestEditors::foodEditorEdits()
{
    QCOMPARE(TestDatabase::execute(m_path, {QStringLiteral("UPDATE Foods SET FruitServings = 1.0 / 3 WHERE ID = 1")}),
             QString());
    frmEditFood editor;
    editor.idFood = 1;
    showActive(editor);
    QCOMPARE(editor.windowTitle(), QStringLiteral("Edit food [Apple]"));
    QCOMPARE(QList<bool>({editor.dbcFood->isEnabled(), editor.dbcUnits->isEnabled(), editor.cmdMore->isEnabled()}),
             QList<bool>({false, false, false}));
    QCOMPARE(editor.txtFruits->text(), QStringLiteral("0.33"));
    editor.txtCalories->setText(QStringLiteral("80"));
    editor.chkEntree->setChecked(true);
    editor.cmdOK->click();
    QCOMPARE(editor.idFood, 1);
    // The fruit servings were not touched: they keep every digit.
    QCOMPARE(foods().constFirst(), QStringLiteral("Apple|each|80.0|0.0|0.333333333333333|1|0"));

    // An ID no entry has: the message, no dialog, the caller's ID kept.
    editor.idFood = 99;
    QCOMPARE(editor.exec(), int(QDialog::Rejected));
    QCOMPARE(messages(), QStringList("X Unable to locate a record with ID =  99"));
    QCOMPARE(editor.idFood, 99);
}

void TestEditors::foodEditorEndings()
{
    const QStringList before = foods();
    frmEditFood editor;
    editor.idFood = 0;
    editor.szFood = QStringLiteral("Kiwi");
    editor.szUnits = QStringLiteral("each");
    showActive(editor);
    QCOMPARE(QStringList({editor.dbcFood->currentText(), editor.dbcUnits->currentText()}), QStringList({"Kiwi", "each"}));
    editor.txtCalories->setText(QStringLiteral("42"));
    editor.cmdMore->click();
    // The next entry starts empty; both servings must be typed again.
    for (const QString &text : {editor.dbcFood->currentText(), editor.dbcUnits->currentText(),
                                editor.txtCalories->text(), editor.txtVegetables->text(), editor.txtFruits->text()})
        QCOMPARE(text, QString());
    QCOMPARE(editor.focusWidget(), editor.dbcFood);
    editor.dbcFood->setEditText(QStringLiteral("Plum"));
    editor.txtCalories->setText(QStringLiteral("30"));
    editor.dbcUnits->setEditText(QStringLiteral("each"));
    editor.txtVegetables->setText(QStringLiteral("0"));
    editor.txtFruits->setText(QStringLiteral("1"));
    editor.cmdMore->click();
    editor.dbcFood->setEditText(QStringLiteral("Pending"));
    editor.cmdCancel->click();
    QCOMPARE(foods(), before + QStringList({"Kiwi|each|42.0|0.0|0.0|0|0", "Plum|each|30.0|0.0|1.0|0|0"}));
    QCOMPARE(QVariantList({editor.idFood, editor.szFood, editor.szUnits}), QVariantList({0, "", ""}));

    // Closed by the window frame: nothing saved, the caller's values left as they were.
    editor.idFood = 0;
    editor.szFood = QStringLiteral("Fig");
    showActive(editor);
    editor.txtCalories->setText(QStringLiteral("1"));
    editor.dbcUnits->setEditText(QStringLiteral("each"));
    editor.close();
    QCOMPARE(editor.szFood, QStringLiteral("Fig"));
    QCOMPARE(foods().size(), before.size() + 2);

    // A catalogue that cannot be read says so, not that it takes no rows; one that cannot take
    // rows says that. Either way, no dialog.
    {
        TestDatabase::LockHolder lock(m_path, QStringLiteral("BEGIN EXCLUSIVE"));
        QCOMPARE(editor.exec(), int(QDialog::Rejected));
    }
    const QStringList shown = messages();
    QVERIFY2(shown.size() == 1 && shown[0].startsWith("X The food table could not be read.\n\n") && shown[0].contains(u"locked"),
             qPrintable(shown.join('/')));
    deMealwright::instance().close();
    QCOMPARE(TestDatabase::execute(m_path, {"ALTER TABLE Foods RENAME TO FoodRows",
                                            "CREATE VIEW Foods AS SELECT * FROM FoodRows"}),
             QString());
    QVERIFY(deMealwright::instance().open(m_path).ok());
    editor.idFood = 0;
    QCOMPARE(editor.exec(), int(QDialog::Rejected));
    editor.idFood = 1;
    QCOMPARE(editor.exec(), int(QDialog::Rejected));
    QCOMPARE(messages(), QStringList({"X AddNew not supported by rsFoods record set!",
                                      "X Update not supported by rsFoods record set!"}));
}

// The names of the controls Tab visits from the focused one, until it comes back.
QStringList tabWalk(QDialog &dialog, QWidget *first)
{
    dialog.show();
    if (!QTest::qWaitForWindowActive(&dialog))
        return {};
    first->setFocus();
    QStringList visited;
    do {
        visited << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    } while (QApplication::focusWidget() != first && visited.size() < 20);
    return visited;
}

void TestEditors::tabOrder()
{
    frmEditMeal meal;
    QVERIFY(meal.Form_Load());
    meal.dbcFood->setEditText(QStringLiteral("Milk"));
    meal.txtAmount->setText(QStringLiteral("1")); // an empty amount keeps the focus
    QCOMPARE(tabWalk(meal, meal.dtpDate), QStringList({"dtpDate", "dtpTime", "cmdStandardTime", "dbcWho", "dbcFood",
                                                        "txtAmount", "dbcUnits", "cmdOK", "cmdMore", "cmdCancel"}));
}

void TestEditors::mealEditorUnitsFollowTheFood()
{
    frmEditMeal editor;
    editor.szClient = QStringLiteral("maeve o'brien");
    editor.dtMeal = wallClock(QDate(2002, 8, 13));
    showActive(editor);
    QCOMPARE(editor.windowTitle(), QStringLiteral("Add meal"));
    QCOMPARE(editor.dbcWho->currentText(), QStringLiteral("Maeve O'Brien"));
    QCOMPARE(QList<bool>({editor.txtAmount->isEnabled(), editor.dbcUnits->isEnabled(), editor.cmdMore->isEnabled()}),
             QList<bool>({false, false, true}));

    const auto typeFood = [&](const char *food) {
        editor.dbcFood->setEditText(QString::fromUtf8(food));
        return itemsOf(editor.dbcUnits) << editor.dbcUnits->currentText();
    };
    QCOMPARE(typeFood("Milk"), QStringList({"cup", "fl oz", ""}));
    QVERIFY(editor.txtAmount->isEnabled() && editor.dbcUnits->isEnabled());
    editor.dbcUnits->setEditText(QStringLiteral("cup"));
    QCOMPARE(typeFood("Broccoli"), QStringList({"cup", "cup"})); // the same units stay
    QCOMPARE(typeFood("Apple"), QStringList({"each", ""}));      // units it lacks go
    QCOMPARE(typeFood("Chef's Salad"), QStringList({"serving", ""}));
    QCOMPARE(typeFood("Chef's"), QStringList({""}));
}

void TestEditors::mealEditorSavesWhatThePickersShow()
{
    frmEditMeal editor;
    editor.szClient = QStringLiteral("Ann");
    editor.dtMeal = wallClock(QDate(2002, 8, 13));
    showActive(editor);
    const QStringList before = meals();

    // Dinner from the list of meal times, by the keyboard.
    editor.cmdStandardTime->click();
    QVERIFY(editor.lstStandardTime->isVisible());
    QVERIFY(!editor.cmdOK->isDefault());
    QCOMPARE(editor.lstStandardTime->currentItem()->text(), QStringLiteral("Breakfast"));
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(editor.lstStandardTime, Qt::Key_Down);
    QTest::keyClick(editor.lstStandardTime, Qt::Key_Return);
    QVERIFY(!editor.lstStandardTime->isVisible());
    QVERIFY(editor.cmdOK->isDefault());
    QCOMPARE(editor.dtpTime->text(), QStringLiteral("6:00 PM"));
    QCOMPARE(editor.dtpDate->text(), QStringLiteral("Tue Aug 13 2002"));
    // Esc leaves the list and changes nothing.
    editor.cmdStandardTime->click();
    QTest::keyClick(editor.lstStandardTime, Qt::Key_Up);
    QTest::keyClick(editor.lstStandardTime, Qt::Key_Escape);
    QVERIFY(editor.isVisible() && !editor.lstStandardTime->isVisible());

    editor.dbcFood->setEditText(QStringLiteral("milk")); // saved as the catalogue spells it
    editor.txtAmount->setText(QStringLiteral("0"));
    editor.dbcUnits->setEditText(QStringLiteral("CUP"));
    editor.cmdMore->click();
    // The same values again, not saved yet, ready for the next food.
    QCOMPARE(QStringList({editor.windowTitle(), editor.dbcWho->currentText(), editor.dtpDate->text(),
                          editor.dtpTime->text(), editor.dbcFood->currentText(), editor.txtAmount->text(),
                          editor.dbcUnits->currentText()}),
             QStringList({"Add meal", "Ann", "Tue Aug 13 2002", "6:00 PM", "Milk", "0", "cup"}));
    QCOMPARE(editor.focusWidget(), editor.dbcFood);
    // The next one: a time with seconds and a fraction, on another date.
    editor.dtpDate->setDate(QDate(2002, 8, 14));
    editor.dtpTime->setTime(QTime(7, 8, 9, 600));
    editor.cmdMore->click();
    // Cancel drops only the entry not saved yet.
    editor.txtAmount->setText(QStringLiteral("5"));
    editor.cmdCancel->click();
    QVERIFY(!editor.isVisible());
    QCOMPARE(meals(), before + QStringList({"Ann|2002-08-13 18:00:00|Milk|0.0|cup", "Ann|2002-08-14 07:08:09|Milk|0.0|cup"}));
    QCOMPARE(messages(), QStringList());
}

void TestEditors::mealEditorAmountBox_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("message");
    QTest::newRow("negative") << "-1" << "Amount must be >= 0!";
    QTest::newRow("empty") << "" << "Amount must be numeric";
    QTest::newRow("zero") << "0" << "";
}

void TestEditors::mealEditorAmountBox()
{
    QFETCH(QString, amount);
    QFETCH(QString, message);
    frmEditMeal editor;
    showActive(editor);
    editor.dbcFood->setEditText(QStringLiteral("Milk"));
    editor.txtAmount->setFocus();
    editor.txtAmount->setText(amount);
    QTest::keyClick(editor.txtAmount, Qt::Key_Tab);
    if (message.isEmpty()) {
        QCOMPARE(messages(), QStringList());
        QCOMPARE(editor.focusWidget(), editor.dbcUnits);
        return;
    }
    QCOMPARE(messages(), QStringList(QStringLiteral("! ") + message));
    QCOMPARE(editor.focusWidget(), editor.txtAmount);
    QTRY_COMPARE(editor.txtAmount->selectedText(), amount);
    // Cancel is never held up by the amount.
    editor.cmdCancel->click();
    QVERIFY(!editor.isVisible());
    QCOMPARE(messages(), QStringList());
}

void TestEditors::mealEditorDefinesAFood()
{
    const QStringList mealsBefore = meals();
    const QStringList foodsBefore = foods();
    frmEditMeal editor;
    editor.szClient = QStringLiteral("Bob");
    editor.dtMeal = wallClock(QDate(2002, 8, 13), QTime(12, 0));
    showActive(editor);
    typeMeal(editor, "Kiwi", "2", "each");

    // Cancel to the question: nothing saved, back to the food.
    MessageBox::setNextAnswer(false);
    editor.cmdOK->click();
    QCOMPARE(messages(), QStringList("? 'Kiwi' is not in the Foods table\r\nClick OK to add it now or CANCEL to select a different food"));
    QCOMPARE(editor.focusWidget(), editor.dbcFood);

    // OK: the food editor starts with the typed name and units; it is cancelled.
    QStringList offered;
    whenModal([&](QWidget *dialog) {
        auto *food = qobject_cast<frmEditFood *>(dialog);
        offered << food->windowTitle() << food->dbcFood->currentText() << food->dbcUnits->currentText();
        food->cmdCancel->click();
    });
    editor.cmdOK->click();
    QCOMPARE(offered, QStringList({"Add food", "Kiwi", "each"}));
    QCOMPARE(editor.focusWidget(), editor.dbcFood);
    QVERIFY(editor.isVisible());
    QVERIFY(!editor.fFoodDefined);

    // OK again, and the food editor saves it: the meal is saved in the same OK.
    whenModal([](QWidget *dialog) {
        auto *food = qobject_cast<frmEditFood *>(dialog);
        food->txtCalories->setText(QStringLiteral("42"));
        food->cmdOK->click();
    });
    editor.cmdOK->click();
    QVERIFY(!editor.isVisible());
    QCOMPARE(foods(), foodsBefore + QStringList("Kiwi|each|42.0|0.0|0.0|0|0"));
    QCOMPARE(meals(), mealsBefore + QStringList("Bob|2002-08-13 12:00:00|Kiwi|2.0|each"));
    QVERIFY(editor.fFoodDefined);

    // A food the catalogue has, in units it lacks: defined the same way.
    showActive(editor);
    typeMeal(editor, "Milk", "1", "ml");
    whenModal([](QWidget *dialog) {
        auto *food = qobject_cast<frmEditFood *>(dialog);
        food->txtCalories->setText(QStringLiteral("0.42"));
        food->cmdOK->click();
    });
    editor.cmdOK->click();
    QCOMPARE(meals().constLast(), QStringLiteral("Bob|2002-08-13 12:00:00|Milk|1.0|ml"));
    QCOMPARE(messages().mid(2), QStringList("? No food entry for 'Milk' in ml\r\nClick OK to define one now or CANCEL to change the units"));
}

void TestEditors::mealEditorEdits()
{
    frmEditMeal editor;
    editor.idMeal = 20;
    showActive(editor);
    QCOMPARE(QStringList({editor.windowTitle(), editor.dbcWho->currentText(), editor.dtpDate->text(),
                          editor.dtpTime->text(), editor.dbcFood->currentText(), editor.txtAmount->text(),
                          editor.dbcUnits->currentText()}),
             QStringList({"Edit meal [ 20]", "Ann", "Tue Aug 13 2002", "8:00 AM", "Milk", "1.00", "cup"}));
    QVERIFY(!editor.cmdMore->isEnabled());
    editor.dbcUnits->setEditText(QStringLiteral("fl oz"));
    editor.txtAmount->setText(QStringLiteral("8"));
    editor.cmdOK->click();
    QVERIFY(meals().contains(QStringLiteral("Ann|2002-08-13 08:00:00|Milk|8.0|fl oz")));
    QVERIFY(!meals().contains(QStringLiteral("Ann|2002-08-13 08:00:00|Milk|1.0|cup")));

    // Deleted by another program while the dialog was open: said so, nothing written again.
    showActive(editor);
    QCOMPARE(TestDatabase::execute(m_path, {QStringLiteral("DELETE FROM Meals WHERE ID = 20")}), QString());
    const QStringList before = meals();
    editor.cmdOK->click();
    QVERIFY(!editor.isVisible());
    QCOMPARE(meals(), before);
    QCOMPARE(messages(), QStringList("X The meal could not be saved.\n\n"
                                     "The meal number 20 could not be found. It may have been deleted already."));

    editor.idMeal = -7;
    QCOMPARE(editor.exec(), int(QDialog::Rejected));
    QCOMPARE(messages(), QStringList("X Unable to locate a record with ID = -7"));
}

void TestEditors::refusedWriteKeepsTheDialog()
{
    const QStringList mealsBefore = meals();
    const QStringList foodsBefore = foods();
    frmEditMeal meal;
    meal.szClient = QStringLiteral("Ann");
    showActive(meal);
    typeMeal(meal, "Apple", "3", "each");
    frmEditFood food;
    showActive(food);
    food.dbcFood->setEditText(QStringLiteral("Fig"));
    food.txtCalories->setText(QStringLiteral("47"));
    food.dbcUnits->setEditText(QStringLiteral("each"));
    {
        TestDatabase::LockHolder lock(m_path, QStringLiteral("BEGIN IMMEDIATE"));
        meal.cmdOK->click();
        food.cmdOK->click();
    }
    const QStringList shown = messages();
    QCOMPARE(shown.size(), 2);
    QVERIFY2(shown[0].startsWith(QStringLiteral("X The meal could not be saved.\n\n")) && shown[0].contains(u"lock"),
             qPrintable(shown[0]));
    QVERIFY2(shown[1].startsWith(QStringLiteral("X The food entry could not be saved.\n\n")), qPrintable(shown[1]));
    QVERIFY(meal.isVisible() && food.isVisible());
    QCOMPARE(QStringList({meal.dbcFood->currentText(), meal.txtAmount->text(), meal.dbcUnits->currentText(),
                          food.dbcFood->currentText(), food.txtCalories->text()}),
             QStringList({"Apple", "3", "each", "Fig", "47"}));
    QCOMPARE(meals(), mealsBefore);
    QCOMPARE(foods(), foodsBefore);
    // The lock gone, the same OK saves.
    meal.cmdOK->click();
    QCOMPARE(meals().size(), mealsBefore.size() + 1);
}

QTEST_MAIN(TestEditors)
#include "tst_editors.moc"
