#include "EntryChecks.h"
#include "Windows.h"

#include <QCalendarWidget>
#include <QTemporaryDir>

using EntryChecks::FoodField;
using EntryChecks::MealCheck;
using Field = EntryChecks::MealField;

namespace {

// The rows of a table as text, one "a|b|c" per row in ID order.
QStringList meals()
{
    return rows(QStringLiteral("SELECT Who, \"When\", Food, Amount, Units"
                               " FROM Meals ORDER BY ID"));
}
QStringList foods()
{
    return rows(QStringLiteral("SELECT Food, Units, CaloriesPerUnit, VegetableServings,"
                               " FruitServings, EntreeFlag, SupplementFlag FROM Foods ORDER BY ID"));
}

void typeMeal(frmEditMeal &editor, const char *food, const char *amount, const char *units)
{
    editor.dbcFood->setEditText(QString::fromUtf8(food));
    editor.txtAmount->setText(QString::fromUtf8(amount));
    editor.dbcUnits->setEditText(QString::fromUtf8(units));
}

// Food, calories, units, vegetables and fruits, as typed.
void typeFood(frmEditFood &editor, const QStringList &entry)
{
    editor.dbcFood->setEditText(entry.value(0));
    editor.txtCalories->setText(entry.value(1));
    editor.dbcUnits->setEditText(entry.value(2));
    if (entry.size() > 3) {
        editor.txtVegetables->setText(entry[3]);
        editor.txtFruits->setText(entry[4]);
    }
}

// What a meal editor shows, from the title to the units.
QStringList shown(const frmEditMeal &editor)
{
    return {editor.windowTitle(), editor.dbcWho->currentText(), editor.dtpDate->text(), editor.dtpTime->text(),
            editor.dbcFood->currentText(), editor.txtAmount->text(), editor.dbcUnits->currentText()};
}

} // namespace

// The checks of the meal and food editors, and the two dialogs on a database.
class TestEditors : public DiaryTest
{
    Q_OBJECT

public:
    TestEditors()
        : DiaryTest({"INSERT INTO Foods (ID, Food, Units, CaloriesPerUnit) VALUES (8, 'Chef''s Salad', 'serving', 310)"},
                    wallClock(QDate(2002, 8, 13), QTime(9, 30, 15)))
    {
    }

private Q_SLOTS:
    void checkMeal_data()
    {
        QTest::addColumn<QStringList>("meal"); // client, food, amount, units
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("message");
        using O = MealCheck::Outcome;
        const auto row = [](const char *name, QStringList meal, O outcome, Field field, const char *message) {
            QTest::newRow(name) << meal << int(outcome) << int(field) << QString::fromUtf8(message);
        };
        row("nothing", {"", "", "", ""}, O::Fault, Field::Client, "You must select a client name");
        row("no food", {"Ann", "", "", ""}, O::Fault, Field::Food, "You must enter a description of the food");
        row("no amount", {"Ann", "Milk", "", ""}, O::Fault, Field::Amount, "You must enter the amount eaten");
        row("amount not a number", {"Ann", "Milk", "lots", "cup"}, O::Fault, Field::Amount, "Amount must be numeric");
        row("negative amount", {"Ann", "Milk", "-1", "cup"}, O::Fault, Field::Amount, "Amount must be >= 0!");
        // An amount is a plain decimal number with a point, blanks around it allowed.
        for (const char *amount : {"1,5", "1,000", "1e3", "1.2.3", "inf", " "})
            row(amount, {"Ann", "Milk", amount, "cup"}, O::Fault, Field::Amount, "Amount must be numeric");
        row("blanks and a sign", {"Ann", "Milk", " -.5 ", "cup"}, O::Fault, Field::Amount, "Amount must be >= 0!");
        row("the largest amount", {"Ann", "Milk", "100000.00", "cup"}, O::Pass, Field::Client, "");
        for (const QString &amount : {QStringLiteral("100000.01"), QStringLiteral("1") + QString(308, u'0')})
            row(qPrintable(amount.left(12)), {"Ann", "Milk", amount, "cup"}, O::Fault, Field::Amount, "Amount must be at most 100,000");
        row("trailing point", {"Ann", "Milk", "+3.", "cup"}, O::Pass, Field::Client, "");
        row("food not in catalogue", {"Ann", "Kiwi", "1", ""}, O::OfferFood, Field::Food,
            "'Kiwi' is not in the Foods table\r\nClick OK to add it now or CANCEL to select a different food");
        row("no units", {"Ann", "Milk", "1", ""}, O::Fault, Field::Units, "You must enter the units used for measurement");
        row("no entry in units", {"Ann", "Milk", "1", "bowl"}, O::OfferUnits, Field::Units,
            "No food entry for 'Milk' in bowl\r\nClick OK to define one now or CANCEL to change the units");
        row("other case", {"Ann", "mILK", "0", "CUP"}, O::Pass, Field::Client, "");
        row("non-ASCII case is another name", {"Ann", "MİLK", "0", "cup"}, O::OfferFood, Field::Food,
            "'MİLK' is not in the Foods table\r\nClick OK to add it now or CANCEL to select a different food");
    }

    void checkMeal()
    {
        QFETCH(QStringList, meal);
        QFETCH(int, outcome);
        QFETCH(int, field);
        QFETCH(QString, message);
        const MealCheck check =
            EntryChecks::checkMeal({meal[0], meal[1], meal[2], meal[3]}, {"Apple", "Milk"}, {"cup", "fl oz"});
        QCOMPARE(QStringList({QString::number(int(check.outcome)), check.message}),
                 QStringList({QString::number(outcome), message}));
        if (check.outcome != MealCheck::Outcome::Pass)
            QCOMPARE(int(check.field), field);
    }

    void checkFood_data()
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

    void checkFood()
    {
        QFETCH(QStringList, entry);
        QFETCH(int, field);
        QFETCH(QString, message);
        const auto fault = EntryChecks::checkFood({entry[0], entry[1], entry[2], entry[3], entry[4]}, {"cup", "each"});
        QCOMPARE(fault ? fault->message : QString(), message);
        if (fault)
            QCOMPARE(int(fault->field), field);
    }

    // A name box keeps what is typed, its letter case too, until the user picks from its list.
    void namesStayAsTyped()
    {
        frmEditMeal meal;
        frmEditFood food;
        frmSearchOptions search;
        search.cboText->addItem(QStringLiteral("Chicken pasta"));
        for (QComboBox *box : {meal.dbcFood, food.dbcFood, food.dbcUnits, search.cboText}) {
            showActive(*static_cast<FormDialog *>(box->window()));
            box->clearEditText();
            box->setFocus();
            QTest::keyClick(box, 'c');
            QTest::keyClick(box, Qt::Key_Tab);
            QCOMPARE(box->currentText(), QStringLiteral("c"));
        }
    }

    // A new entry starts with no calories and no servings; one the catalogue holds, in any letter
    // case, is refused with the focus on the food; otherwise it is saved with the units as the
    // Units table spells them, and the dialog gives its ID, name and units.
    void foodEditorAdds()
    {
        const QStringList before = foods();
        frmEditFood editor;
        editor.idFood = 0;
        showActive(editor);
        QCOMPARE(QStringList({editor.txtCalories->text(), editor.txtVegetables->text(), editor.txtFruits->text()}),
                 QStringList({"", "0.00", "0.00"}));
        typeFood(editor, {"milk", "1", "CUP", "0", "0"});
        editor.cmdOK->click();
        QCOMPARE(messages() << editor.focusWidget()->objectName(),
                 QStringList({"! milk in units cup is already defined in the food table", "dbcFood"}));
        QCOMPARE(foods(), before);
        typeFood(editor, {"Crème brûlée 100%_", "-150", "Tbsp", "0", "0.25"});
        editor.cmdOK->click();
        QVERIFY(!editor.isVisible());
        QCOMPARE(foods(), before + QStringList("Crème brûlée 100%_|tbsp|-150.0|0.0|0.25|0|0"));
        QCOMPARE(QVariantList({editor.idFood, editor.szFood, editor.szUnits}),
                 QVariantList({rows(QStringLiteral("SELECT max(ID) FROM Foods"))[0].toLongLong(), "Crème brûlée 100%_", "tbsp"}));
    }

    void foodEditorEdits()
    {
        // A negative ID and units the Units table lacks (another program wrote them) are no bar.
        change({QStringLiteral("UPDATE Foods SET FruitServings = 1.0 / 3, ID = -1, Units = 'bowl' WHERE ID = 1")});
        frmEditFood editor;
        editor.idFood = -1;
        showActive(editor);
        // Meals name an entry by food and units: only its values change.
        QCOMPARE(QList<bool>({editor.dbcFood->isEnabled(), editor.dbcUnits->isEnabled(), editor.cmdMore->isEnabled()}),
                 QList<bool>({false, false, false}));
        QCOMPARE(editor.txtFruits->text(), QStringLiteral("0.33"));
        editor.txtCalories->setText(QStringLiteral("80"));
        editor.chkEntree->setChecked(true);
        editor.cmdOK->click();
        QCOMPARE(editor.idFood, -1);
        // The fruit servings were not touched: they keep every digit.
        QCOMPARE(foods().constFirst(), QStringLiteral("Apple|bowl|80.0|0.0|0.333333333333333|1|0"));

        // An ID no entry has: the message, no dialog, the caller's ID kept.
        editor.idFood = 99;
        QCOMPARE(editor.exec(), int(QDialog::Rejected));
        QCOMPARE(messages(), QStringList("X Unable to locate a record with ID =  99"));
        QCOMPARE(editor.idFood, 99);
    }

    // The food editor, the same way: told, then theirs shown (Yes) or mine saved over it (No).
    void foodChangedByAnotherUser()
    {
        frmEditFood editor;
        editor.idFood = 1; // Apple, each, 95 calories
        const QString theirs = QStringLiteral("Apple|each|100.0|0.0|1.0|0|0");
        const std::tuple<bool, const char *, const char *> answers[] = {{false, "90", "Apple|each|90.0|0.0|1.0|0|0"},
                                                                        {true, "100.00", "Apple|each|100.0|0.0|1.0|0|0"}};
        for (const auto &[reload, shownAfter, stored] : answers) {
            change({QStringLiteral("UPDATE Foods SET CaloriesPerUnit = 95 WHERE ID = 1")});
            showActive(editor);
            editor.txtCalories->setText(QStringLiteral("90"));
            change({QStringLiteral("UPDATE Foods SET CaloriesPerUnit = 100 WHERE ID = 1")});
            MessageBox::setNextAnswer(reload);
            editor.cmdOK->click();
            const QStringList said = messages();
            QVERIFY(said.size() == 1 && said[0].startsWith("Y Another user or program changed this food entry"));
            QCOMPARE(QVariantList({editor.isVisible(), editor.txtCalories->text(), foods().constFirst()}),
                     QVariantList({true, shownAfter, theirs}));
            editor.cmdOK->click();
            QCOMPARE(QVariantList({editor.isVisible(), messages().join(u'\n'), foods().constFirst()}),
                     QVariantList({false, "", stored}));
        }
    }

    void foodEditorEndings()
    {
        const QStringList before = foods();
        frmEditFood editor;
        editor.idFood = 0;
        editor.szFood = QStringLiteral("Kiwi");
        editor.szUnits = QStringLiteral("each");
        showActive(editor);
        QCOMPARE(QStringList({editor.dbcFood->currentText(), editor.dbcUnits->currentText()}), QStringList({"Kiwi", "each"}));
        editor.txtCalories->setText(QStringLiteral("42"));
        // More... saves and starts an empty entry; both servings must be typed again.
        editor.cmdMore->click();
        QCOMPARE(QStringList({editor.dbcFood->currentText(), editor.dbcUnits->currentText(), editor.txtCalories->text(),
                              editor.txtVegetables->text(), editor.txtFruits->text(), editor.focusWidget()->objectName()}),
                 QStringList({"", "", "", "", "", "dbcFood"}));
        typeFood(editor, {"Plum", "30", "each", "0", "1"});
        editor.cmdMore->click();
        // Cancel drops only the entry not saved yet.
        editor.dbcFood->setEditText(QStringLiteral("Pending"));
        editor.cmdCancel->click();
        QCOMPARE(foods(), before + QStringList({"Kiwi|each|42.0|0.0|0.0|0|0", "Plum|each|30.0|0.0|1.0|0|0"}));
        QCOMPARE(QVariantList({editor.idFood, editor.szFood, editor.szUnits}), QVariantList({0, "", ""}));

        // Closed by the window frame: nothing saved, the caller's values left as they were.
        editor.szFood = QStringLiteral("Fig");
        showActive(editor);
        typeFood(editor, {"Fig", "1", "each"});
        editor.close();
        QCOMPARE(editor.szFood + QString::number(foods().size() - before.size()), QStringLiteral("Fig2"));

        // A catalogue that cannot be read says so, not that it takes no rows; one that cannot take
        // rows says that. Either way, no dialog.
        {
            TestDatabase::LockHolder lock(m_path, QStringLiteral("BEGIN EXCLUSIVE"));
            QCOMPARE(editor.exec(), int(QDialog::Rejected));
        }
        // (A server names its tables without taking a lock: there the units are the first read.)
        QCOMPARE(messages(), QStringList(QStringLiteral("X The %1 could not be read.\n\nAnother program is using the database "
                                                        "and has locked it. Try again when it has finished.")
                                             .arg(TestDatabase::onServer() ? "list of units" : "food table")));
        deMealwright::instance().close();
        change({"ALTER TABLE Foods RENAME TO FoodRows",
                                                "CREATE VIEW Foods AS SELECT * FROM FoodRows"});
        QVERIFY(deMealwright::instance().open(m_path).ok());
        for (const qint64 id : {0, 1}) {
            editor.idFood = id;
            QCOMPARE(editor.exec(), int(QDialog::Rejected));
        }
        QCOMPARE(messages(), QStringList({"X AddNew not supported by rsFoods record set!",
                                          "X Update not supported by rsFoods record set!"}));
    }

    void mealEditorUnitsFollowTheFood()
    {
        frmEditMeal editor;
        editor.szClient = QStringLiteral("maeve o'brien");
        editor.dtMeal = wallClock(QDate(2002, 8, 13));
        showActive(editor);
        // The client as the list spells it; the amount and units wait for a food, then the units
        // list is the food's.
        QCOMPARE(QVariantList({editor.dbcWho->currentText(), editor.txtAmount->isEnabled(), editor.dbcUnits->isEnabled()}),
                 QVariantList({"Maeve O'Brien", false, false}));
        const auto typeFood = [&](const char *food) {
            editor.dbcFood->setEditText(QString::fromUtf8(food));
            QStringList units;
            for (int i = 0; i < editor.dbcUnits->count(); ++i)
                units << editor.dbcUnits->itemText(i);
            return units << editor.dbcUnits->currentText();
        };
        QCOMPARE(typeFood("Milk"), QStringList({"cup", "fl oz", ""}));
        QVERIFY(editor.txtAmount->isEnabled() && editor.dbcUnits->isEnabled());
        editor.dbcUnits->setEditText(QStringLiteral("cup"));
        QCOMPARE(typeFood("Broccoli"), QStringList({"cup", "cup"})); // the same units stay
        QCOMPARE(typeFood("Apple"), QStringList({"each", ""}));      // units it lacks go
        QCOMPARE(typeFood("Chef's Salad"), QStringList({"serving", ""}));
        QCOMPARE(typeFood("Chef's"), QStringList({""}));

        // The client's name and the widest time show whole. Alt+Down opens the calendar of the
        // date and steps neither picker.
        editor.dtpTime->setTime(QTime(12, 0));
        auto *time = editor.dtpTime->findChild<QLineEdit *>();
        time->end(false);
        // The text ends left of the "..." button, its start not scrolled out of sight.
        const QRect cursor = time->inputMethodQuery(Qt::ImCursorRectangle).toRect(); // 10 pixels around it
        const int end = cursor.left() + cursor.width() / 2;
        QVERIFY(end >= time->fontMetrics().horizontalAdvance(time->text()));
        QVERIFY(time->mapTo(&editor, QPoint(end, 0)).x() <= editor.cmdStandardTime->x());
        QVERIFY(editor.dbcWho->width() >= editor.dbcWho->sizeHint().width());
        for (QWidget *picker : {static_cast<QWidget *>(editor.dtpTime), static_cast<QWidget *>(editor.dtpDate)})
            QTest::keyClick(picker, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(QVariantList({editor.dtpDate->date(), editor.dtpTime->time(), editor.dtpDate->calendarWidget()->isVisible()}),
                 QVariantList({QDate(2002, 8, 13), QTime(12, 0), true}));
        editor.dtpDate->calendarWidget()->window()->close();
    }

    void mealEditorSavesWhatThePickersShow()
    {
        frmEditMeal editor;
        editor.szClient = QStringLiteral("Ann");
        editor.dtMeal = wallClock(QDate(2002, 8, 13));
        showActive(editor);
        const QStringList before = meals();

        // Dinner from the list of meal times, by the keyboard: Enter on "..." opens it, and Enter
        // is the list's while it is open.
        editor.cmdStandardTime->setFocus();
        QTest::keyClick(editor.cmdStandardTime, Qt::Key_Return);
        QCOMPARE(QVariantList({editor.lstStandardTime->isVisible(), editor.cmdOK->isDefault(),
                               editor.lstStandardTime->currentItem()->text()}),
                 QVariantList({true, false, "Breakfast"}));
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(editor.lstStandardTime, Qt::Key_Down);
        QTest::keyClick(editor.lstStandardTime, Qt::Key_Return);
        QCOMPARE(QVariantList({editor.lstStandardTime->isVisible(), editor.cmdOK->isDefault(), editor.dtpTime->text()}),
                 QVariantList({false, true, "6:00 PM"}));
        // Esc leaves the list and changes nothing.
        editor.cmdStandardTime->click();
        QTest::keyClick(editor.lstStandardTime, Qt::Key_Up);
        QTest::keyClick(editor.lstStandardTime, Qt::Key_Escape);
        QVERIFY(editor.isVisible() && !editor.lstStandardTime->isVisible());

        // More... saves, as the catalogue spells the food and units, and keeps the values for the
        // next food of the meal.
        typeMeal(editor, "milk", "0", "CUP");
        editor.cmdMore->click();
        QCOMPARE(shown(editor) << editor.focusWidget()->objectName(),
                 QStringList({"Add meal", "Ann", "Tue Aug 13 2002", "6:00 PM", "Milk", "0", "cup", "dbcFood"}));
        // The next one: a time with seconds and a fraction, on another date.
        editor.dtpDate->setDate(QDate(2002, 8, 14));
        editor.dtpTime->setTime(QTime(7, 8, 9, 600));
        editor.cmdMore->click();
        // Cancel drops only the entry not saved yet.
        editor.txtAmount->setText(QStringLiteral("5"));
        editor.cmdCancel->click();
        QCOMPARE(meals(), before + QStringList({"Ann|2002-08-13 18:00:00|Milk|0.0|cup", "Ann|2002-08-14 07:08:09|Milk|0.0|cup"}));
        QCOMPARE(QVariantList({editor.isVisible(), messages().size()}), QVariantList({false, 0}));
    }

    // Leaving the amount box checks it; a refused amount keeps the focus, selected. Cancel is
    // never held up by the amount.
    void mealEditorAmountBox()
    {
        for (const auto &[amount, message] : {std::pair{"-1", "Amount must be >= 0!"}, {"", "Amount must be numeric"}, {"0", ""}}) {
            frmEditMeal editor;
            showActive(editor);
            editor.dbcFood->setEditText(QStringLiteral("Milk"));
            editor.txtAmount->setFocus();
            editor.txtAmount->setText(QString::fromLatin1(amount));
            QTest::keyClick(editor.txtAmount, Qt::Key_Tab);
            QCOMPARE(messages(), *message ? QStringList(QStringLiteral("! ") + QString::fromLatin1(message)) : QStringList());
            QCOMPARE(editor.focusWidget(), *message ? static_cast<QWidget *>(editor.txtAmount) : editor.dbcUnits);
            if (*message)
                QTRY_COMPARE(editor.txtAmount->selectedText(), QString::fromLatin1(amount));
            editor.cmdCancel->click();
            QCOMPARE(QVariantList({editor.isVisible(), messages().size()}), QVariantList({false, 0}));
        }
    }

    void mealEditorDefinesAFood()
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
        QCOMPARE(messages() << editor.focusWidget()->objectName(),
                 QStringList({"? 'Kiwi' is not in the Foods table\r\nClick OK to add it now or CANCEL to select a different food",
                              "dbcFood"}));

        // OK: the food editor starts with the typed name and units; it is cancelled.
        QStringList offered;
        whenShown<frmEditFood>([&](frmEditFood *food) {
            offered << food->dbcFood->currentText() << food->dbcUnits->currentText();
            food->cmdCancel->click();
        });
        editor.cmdOK->click();
        QCOMPARE(offered, QStringList({"Kiwi", "each"}));
        QVERIFY(editor.isVisible() && editor.focusWidget() == editor.dbcFood && !editor.fFoodDefined);

        // OK again; the food editor saves it by More... and is cancelled: back to the food, which
        // the next OK finds in the catalogue.
        const auto defineFood = [](bool more) {
            whenShown<frmEditFood>([more](frmEditFood *food) {
                food->txtCalories->setText(QStringLiteral("42"));
                (more ? food->cmdMore : food->cmdOK)->click();
                if (more)
                    food->cmdCancel->click();
            });
        };
        defineFood(true);
        editor.cmdOK->click();
        QVERIFY(editor.isVisible() && editor.fFoodDefined);
        editor.cmdOK->click();
        QVERIFY(!editor.isVisible());

        // A food the catalogue has, in units it lacks: the food editor saves it by OK, and the
        // meal is saved in the same OK.
        showActive(editor);
        typeMeal(editor, "Milk", "1", "ml");
        defineFood(false);
        editor.cmdOK->click();
        QVERIFY(!editor.isVisible() && editor.fFoodDefined);
        QCOMPARE(foods(), foodsBefore + QStringList({"Kiwi|each|42.0|0.0|0.0|0|0", "Milk|ml|42.0|0.0|0.0|0|0"}));
        QCOMPARE(meals(), mealsBefore + QStringList({"Bob|2002-08-13 12:00:00|Kiwi|2.0|each", "Bob|2002-08-13 12:00:00|Milk|1.0|ml"}));
        QCOMPARE(messages().mid(2), QStringList("? No food entry for 'Milk' in ml\r\nClick OK to define one now or CANCEL to change the units"));
    }

    void mealEditorEdits()
    {
        frmEditMeal editor;
        editor.idMeal = 20;
        showActive(editor);
        QCOMPARE(shown(editor), QStringList({"Edit meal [ 20]", "Ann", "Tue Aug 13 2002", "8:00 AM", "Milk", "1.00", "cup"}));
        QVERIFY(!editor.cmdMore->isEnabled());
        editor.dbcUnits->setEditText(QStringLiteral("fl oz"));
        editor.txtAmount->setText(QStringLiteral("8"));
        editor.cmdOK->click();
        QCOMPARE(meals().filter(QStringLiteral("08:00:00|Milk")), QStringList("Ann|2002-08-13 08:00:00|Milk|8.0|fl oz"));

        // Deleted by another program while the dialog was open: said so, nothing written again.
        showActive(editor);
        change({QStringLiteral("DELETE FROM Meals WHERE ID = 20")});
        const QStringList before = meals();
        editor.cmdOK->click();
        QCOMPARE(QVariantList({editor.isVisible(), meals() == before}), QVariantList({false, true}));
        QCOMPARE(messages(), QStringList("X The meal could not be saved.\n\n"
                                         "The meal number 20 could not be found. It may have been deleted already."));

        editor.idMeal = -7;
        QCOMPARE(editor.exec(), int(QDialog::Rejected));
        QCOMPARE(messages(), QStringList("X Unable to locate a record with ID = -7"));
    }

    // Two people on one meal: the second save is told, and neither change is lost unseen. With
    // No, what was typed stays and the next OK saves it over the other change; with Yes, the
    // meal shows as the other left it. A change of letter case alone counts as a change.
    void mealChangedByAnotherUser_data()
    {
        QTest::addColumn<QString>("other"); // what the other program did to meal 20 (Milk, 1 cup)
        QTest::addColumn<bool>("reload");
        QTest::addColumn<QStringList>("shownAfter"); // food, amount and units in the dialog after the answer
        QTest::addColumn<QString>("stored"); // meal 20 after the second OK
        QTest::newRow("keep mine") << "UPDATE Meals SET Amount = 2 WHERE ID = 20" << false
                                   << QStringList{"Milk", "3", "cup"} << "Ann|2002-08-13 08:00:00|Milk|3.0|cup";
        QTest::newRow("show theirs") << "UPDATE Meals SET Amount = 8, Units = 'fl oz' WHERE ID = 20" << true
                                     << QStringList{"Milk", "8.00", "fl oz"} << "Ann|2002-08-13 08:00:00|Milk|8.0|fl oz";
        QTest::newRow("case of the client") << "UPDATE Meals SET Who = 'ANN' WHERE ID = 20" << true
                                            << QStringList{"Milk", "1.00", "cup"} << "ANN|2002-08-13 08:00:00|Milk|1.0|cup";
        QTest::newRow("time, mine kept") << "UPDATE Meals SET \"When\" = '2002-08-13 09:30:00' WHERE ID = 20" << false
                                         << QStringList{"Milk", "3", "cup"} << "Ann|2002-08-13 08:00:00|Milk|3.0|cup";
    }

    void mealChangedByAnotherUser()
    {
        QFETCH(QString, other);
        QFETCH(bool, reload);
        QFETCH(QStringList, shownAfter);
        QFETCH(QString, stored);
        const auto meal20 = [] { return rows(QStringLiteral("SELECT Who, \"When\", Food, "
                                                            "Amount, Units FROM Meals WHERE ID = 20")); };
        frmEditMeal editor;
        editor.idMeal = 20;
        showActive(editor);
        editor.txtAmount->setText(QStringLiteral("3"));
        change({other});
        const QStringList theirs = meal20();
        MessageBox::setNextAnswer(reload);
        editor.cmdOK->click();
        const QStringList said = messages();
        QVERIFY(said.size() == 1 && said[0].startsWith("Y Another user or program changed this meal after you opened it"));
        QCOMPARE(meal20(), theirs);
        QCOMPARE(QVariantList({editor.isVisible(), editor.dbcFood->currentText(), editor.txtAmount->text(),
                               editor.dbcUnits->currentText()}),
                 QVariantList({true, shownAfter[0], shownAfter[1], shownAfter[2]}));
        editor.cmdOK->click();
        QCOMPARE(QVariantList({editor.isVisible(), messages().join(u'\n'), meal20().join("")}), QVariantList({false, "", stored}));
    }

    // A time stored in another form SQLite reads shows as it is; one that is no time is said to be
    // so. Either is written back as it was stored unless the date or the time is changed.
    void mealEditorKeepsStoredTimes()
    {
        SKIP_ON_SERVER("A server keeps every time as a date-time.");
        const auto stored = [] { return rows(QStringLiteral("SELECT \"When\" FROM Meals WHERE ID = 20")).join(""); };
        frmEditMeal editor;
        editor.idMeal = 20;
        const std::tuple<const char *, const char *, const char *> cases[] = {
            {"2002-08-13 08:55", "8:55 AM", ""},
            {"2002-08-13T12:42:38.5", "12:42 PM", ""},
            {"at breakfast", "9:30 AM",
             "! The time of this meal, 'at breakfast', is not a date and time Mealwright can read. It shows as now, "
             "and it is kept as it is unless you change the date or the time."}};
        for (const auto &[when, shown, message] : cases) {
            change({QStringLiteral("UPDATE Meals SET \"When\" = '%1' WHERE ID = 20").arg(when)});
            showActive(editor);
            QCOMPARE(QStringList({editor.dtpTime->text(), messages().join("")}), QStringList({shown, message}));
            editor.txtAmount->setText(QStringLiteral("2"));
            editor.cmdOK->click();
            QCOMPARE(stored(), QString::fromLatin1(when));
        }
        showActive(editor);
        editor.dtpTime->setTime(QTime(7, 5));
        editor.cmdOK->click();
        QCOMPARE(stored(), QStringLiteral("2002-08-13 07:05:00"));
    }

    // Entries with a negative or a very large ID are edited like any other, from the menus too.
    void unusualEntries()
    {
        change({"INSERT INTO Meals (ID, Who, \"When\", Food, Amount, Units) VALUES (-3, 'Ann', '2002-08-13 07:00:00', "
                "'Milk', 1, 'cup'), (9223372036854775807, 'Ann', '2002-08-13 07:30:00', 'Milk', 1, 'cup')",
                "INSERT INTO Foods (ID, Food, Units, CaloriesPerUnit) VALUES (-5, 'Soup', 'bowl', 90)"});
        frmEditMeal meal;
        meal.idMeal = std::numeric_limits<qint64>::max();
        showActive(meal);
        QCOMPARE(meal.windowTitle(), QStringLiteral("Edit meal [ 9223372036854775807]"));

        const auto frame = startFrame(m_path);
        frmMealView *view = openMealView(*frame, 0);
        clickRow(view->dbgMeals, int(idsOf(view->dbgMeals).indexOf(-3)));
        Q_EMIT frame->mnuMeals->aboutToShow();
        frame->mnuFoodView->trigger();
        auto *list = qobject_cast<frmFoodView *>(frame->mdiArea()->currentSubWindow()->widget());
        clickRow(list->dbgFoods, int(idsOf(list->dbgFoods).indexOf(-5)));
        Q_EMIT frame->mnuFoods->aboutToShow();
        QCOMPARE(QList<bool>({frame->mnuMealEdit->isEnabled(), frame->mnuFoodEdit->isEnabled()}), QList<bool>({true, true}));
    }

    // A client or food entry another program removed while the dialog was open: the save says
    // which is gone, writes nothing, and keeps the dialog with what was typed.
    void mealOfAGoneClientOrFood()
    {
        const std::tuple<qint64, const char *, const char *> cases[] = {
            {0, "UPDATE Clients SET Who = 'Bob B' WHERE Who = 'Bob'",
             "The client 'Bob' is no longer in the diary: another program has renamed or deleted the client. "
             "Choose the client again."},
            {20, "DELETE FROM Foods WHERE Food = 'Milk' AND Units = 'cup'",
             "There is no longer a food entry for 'Milk' in cup: another program has changed or deleted it. "
             "Choose the food again."}};
        for (const auto &[id, statement, reason] : cases) {
            const QStringList before = meals();
            frmEditMeal editor;
            editor.idMeal = id;
            editor.szClient = QStringLiteral("Bob");
            showActive(editor);
            typeMeal(editor, "Milk", "3", "cup");
            change({QString::fromUtf8(statement)});
            editor.cmdOK->click();
            QCOMPARE(messages(), QStringList("X The meal could not be saved.\n\n" + QString::fromUtf8(reason)));
            QCOMPARE(QVariantList({editor.isVisible(), editor.txtAmount->text(), meals() == before}),
                     QVariantList({true, "3", true}));
        }
    }

    // A write the database refuses says why and keeps the dialog with what was typed; once the
    // lock is gone, the same OK saves.
    void refusedWriteKeepsTheDialog()
    {
        const QStringList before = meals() + foods();
        frmEditMeal meal;
        meal.szClient = QStringLiteral("Ann");
        showActive(meal);
        typeMeal(meal, "Apple", "3", "each");
        frmEditFood food;
        showActive(food);
        typeFood(food, {"Fig", "47", "each"});
        {
            TestDatabase::LockHolder lock(m_path, QStringLiteral("BEGIN IMMEDIATE"));
            meal.cmdOK->click();
            food.cmdOK->click();
        }
        const QString why = "\n\nAnother program is using the database and has locked it. Try again when it has finished.";
        QCOMPARE(messages(), QStringList({"X The meal could not be saved." + why, "X The food entry could not be saved." + why}));
        QCOMPARE(QStringList({meal.txtAmount->text(), food.txtCalories->text()}), QStringList({"3", "47"}));
        QCOMPARE(meals() + foods(), before);
        meal.cmdOK->click();
        food.cmdOK->click();
        QCOMPARE(QList<bool>({meal.isVisible(), food.isVisible()}), QList<bool>({false, false}));
        QCOMPARE((meals() + foods()).size(), before.size() + 2);
    }
};

QTEST_MAIN(TestEditors)
#include "tst_editors.moc"
