#include "Modal.h"
#include "TestDatabase.h"
#include "clients/frmClients.h"
#include "clients/frmEditClient.h"
#include "core/EntryChecks.h"
#include "data/Clients.h"
#include "data/NewDiary.h"
#include "data/deMealwright.h"
#include "widgets/MessageBox.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
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

// The messages shown since the last call: "!" an exclamation, "X" critical, "Y" a Yes/No question.
QStringList messages()
{
    QStringList shown;
    for (const MessageBox::Shown &message : MessageBox::shown())
        shown << QString::fromLatin1(message.kind == MessageBox::Kind::Exclamation    ? "! "
                                         : message.kind == MessageBox::Kind::Critical ? "X "
                                         : message.kind == MessageBox::Kind::YesNo    ? "Y "
                                                                                      : "? ")
                + message.text;
    MessageBox::clearShown();
    return shown;
}

// The rows of the list as shown, "client|calories|meals", and the selected client after ">".
QStringList listed(const frmClients &dialog)
{
    QStringList shown;
    for (int row = 0; row < dialog.grdClients->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < dialog.grdClients->columnCount(); ++column)
            cells << dialog.grdClients->item(row, column)->text();
        shown << cells.join(u'|');
    }
    const QList<QTableWidgetItem *> selected = dialog.grdClients->selectedItems();
    shown << QStringLiteral("> ") + (selected.isEmpty() ? QString() : selected.first()->text());
    return shown;
}

// What the dialog signalled, one line a signal.
std::shared_ptr<QStringList> watch(frmClients &dialog)
{
    auto heard = std::make_shared<QStringList>();
    QObject::connect(&dialog, &frmClients::clientChanged, &dialog,
                     [heard](const QString &oldName, const QString &newName, double budget) {
                         *heard << QStringLiteral("changed %1|%2|%3").arg(oldName, newName).arg(budget);
                     });
    QObject::connect(&dialog, &frmClients::clientRemoved, &dialog,
                     [heard](const QString &name) { *heard << QStringLiteral("removed ") + name; });
    return heard;
}

void clickRow(frmClients &dialog, const QString &client, bool twice = false)
{
    const QList<QTableWidgetItem *> found = dialog.grdClients->findItems(client, Qt::MatchExactly);
    QVERIFY(!found.isEmpty());
    const QPoint at = dialog.grdClients->visualItemRect(found.first()).center();
    QTest::mouseClick(dialog.grdClients->viewport(), Qt::LeftButton, {}, at);
    if (twice)
        QTest::mouseDClick(dialog.grdClients->viewport(), Qt::LeftButton, {}, at);
}

// Gives Ann 1,234 meals in all.
const QString moreMealsForAnn
    = QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1224)"
                     " INSERT INTO Meals (Who, \"When\", Food, Amount, Units)"
                     " SELECT 'Ann', '2002-09-01 12:00:00', 'Apple', 1, 'each' FROM n");

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
    void listSortsAndCounts();
    void addAndChange();
    void editorRefuses_data();
    void editorRefuses();
    void deleteAsks_data();
    void deleteAsks();
    void lockedDatabase();

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
    MessageBox::setTestMode(true);
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

void TestClients::listSortsAndCounts()
{
    QCOMPARE(TestDatabase::execute(m_path,
                                   {"INSERT INTO Clients (Who, CalorieBudget) VALUES ('aaron', 1234.5)",
                                    "INSERT INTO Meals (Who, \"When\", Food, Amount, Units) VALUES"
                                    " ('AARON', '2002-08-13 12:00:00', 'Apple', 1, 'each')",
                                    moreMealsForAnn}),
             QString());
    frmClients dialog;
    showActive(dialog);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Clients"));
    QCOMPARE(listed(dialog),
             QStringList({"aaron|1,235|1", "Ann|1,500|1,234", "Bob|2,000|1", "Maeve O'Brien|1,200|0", "> "}));
    QCOMPARE(QList<bool>({dialog.cmdChange->isEnabled(), dialog.cmdDelete->isEnabled()}), QList<bool>({false, false}));
    clickRow(dialog, QStringLiteral("Bob"));
    QCOMPARE(QList<bool>({dialog.cmdChange->isEnabled(), dialog.cmdDelete->isEnabled()}), QList<bool>({true, true}));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
}

void TestClients::addAndChange()
{
    frmClients dialog;
    const std::shared_ptr<QStringList> heard = watch(dialog);
    showActive(dialog);

    whenModal([](QWidget *modal) {
        auto *editor = qobject_cast<frmEditClient *>(modal);
        QCOMPARE(QStringList({editor->windowTitle(), editor->txtName->text(), editor->txtBudget->text()}),
                 QStringList({"Add Client", "", ""}));
        QTest::keyClicks(editor->txtName, QStringLiteral(" Zoe "));
        editor->txtBudget->setText(QStringLiteral("1800"));
        editor->cmdOK->click();
    });
    dialog.cmdAdd->click();
    QCOMPARE(listed(dialog).mid(2), QStringList({"Maeve O'Brien|1,200|0", "Zoe|1,800|0", "> Zoe"}));

    // A budget with more digits than are shown is kept as it is when it is not retyped.
    QCOMPARE(
        TestDatabase::execute(m_path, {"UPDATE Clients SET CalorieBudget = 2000.0 / 3 WHERE Who = 'Maeve O''Brien'"}),
        QString());
    QStringList shown;
    whenModal([&shown](QWidget *modal) {
        auto *editor = qobject_cast<frmEditClient *>(modal);
        shown << editor->windowTitle() << editor->txtName->text();
        editor->txtName->setText(QStringLiteral("Maeve O'Neill"));
        editor->cmdOK->click();
    });
    clickRow(dialog, QStringLiteral("Maeve O'Brien"), true);
    QCOMPARE(shown, QStringList({"Change Client", "Maeve O'Brien"}));
    QCOMPARE(listed(dialog).mid(2), QStringList({"Maeve O'Neill|667|0", "Zoe|1,800|0", "> Maeve O'Neill"}));
    QCOMPARE(
        *rows(QStringLiteral("SELECT CalorieBudget = 2000.0 / 3 FROM Clients WHERE Who = 'Maeve O''Neill'")).begin(),
        QStringLiteral("1"));

    // Cancel changes nothing and keeps the selection.
    whenModal([](QWidget *modal) { qobject_cast<frmEditClient *>(modal)->cmdCancel->click(); });
    dialog.cmdChange->click();
    QCOMPARE(listed(dialog).last(), QStringLiteral("> Maeve O'Neill"));
    QCOMPARE(*heard, QStringList({"changed |Zoe|1800", "changed Maeve O'Brien|Maeve O'Neill|666.667"}));
    QCOMPARE(messages(), QStringList());
}

void TestClients::editorRefuses_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("budget");
    QTest::addColumn<QString>("message"); // empty when it saves
    QTest::addColumn<QString>("focus");
    QTest::newRow("another client's name") << "ann"
                                           << "2000"
                                           << "There is already a client named \"Ann\"."
                                           << "txtName";
    QTest::newRow("budget") << "Robert"
                            << "2,000"
                            << "The daily calorie budget must be a number above 0 and at most 20,000"
                            << "txtBudget";
    QTest::newRow("own name in other case") << "BOB"
                                            << "2000"
                                            << ""
                                            << "";
}

void TestClients::editorRefuses()
{
    QFETCH(QString, name);
    QFETCH(QString, budget);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    const QStringList before = clients();
    frmEditClient editor;
    editor.szClient = QStringLiteral("Bob");
    showActive(editor);
    QCOMPARE(QStringList({editor.txtName->text(), editor.txtBudget->text()}), QStringList({"Bob", "2000"}));
    editor.txtName->setText(name);
    editor.txtBudget->setText(budget);
    editor.cmdOK->click();
    if (message.isEmpty()) {
        QVERIFY(!editor.isVisible());
        QCOMPARE(clients().at(1), name + QStringLiteral("|2000.0"));
        return;
    }
    QCOMPARE(messages(), QStringList(QStringLiteral("! ") + message));
    QVERIFY(editor.isVisible());
    QCOMPARE(editor.focusWidget()->objectName(), focus);
    QCOMPARE(QStringList({editor.txtName->text(), editor.txtBudget->text()}), QStringList({name, budget}));
    QCOMPARE(clients(), before);
}

void TestClients::deleteAsks_data()
{
    QTest::addColumn<QString>("client");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("selected"); // afterwards
    const QString none = QStringLiteral("Are you sure you want to delete the client \"Maeve O'Brien\"?");
    const QString many = QStringLiteral("\"Ann\" has 1,234 meals. Delete the client and all of their meals?");
    QTest::newRow("no meals, No") << "Maeve O'Brien" << false << none << "Maeve O'Brien";
    QTest::newRow("no meals, Yes, the last") << "Maeve O'Brien" << true << none << "Bob";
    QTest::newRow("meals, No") << "Ann" << false << many << "Ann";
    QTest::newRow("meals, Yes") << "Ann" << true << many << "Bob";
    QTest::newRow("one meal") << "Bob" << true << "\"Bob\" has 1 meal. Delete the client and their meal?"
                              << "Maeve O'Brien";
}

void TestClients::deleteAsks()
{
    QFETCH(QString, client);
    QFETCH(bool, yes);
    QFETCH(QString, question);
    QFETCH(QString, selected);
    QCOMPARE(TestDatabase::execute(m_path, {moreMealsForAnn}), QString());
    const QStringList clientsBefore = clients();
    QStringList mealsBefore = meals();
    frmClients dialog;
    const std::shared_ptr<QStringList> heard = watch(dialog);
    showActive(dialog);
    clickRow(dialog, client);
    MessageBox::setNextAnswer(yes);
    dialog.cmdDelete->click();
    QCOMPARE(messages(), QStringList(QStringLiteral("Y ") + question));
    QCOMPARE(listed(dialog).last(), QStringLiteral("> ") + selected);
    if (!yes) {
        QCOMPARE(clients(), clientsBefore);
        QCOMPARE(meals(), mealsBefore);
        QCOMPARE(*heard, QStringList());
        return;
    }
    QCOMPARE(clients().size(), clientsBefore.size() - 1);
    QVERIFY(!clients().join(u'\n').contains(client));
    mealsBefore.removeIf([&](const QString &meal) { return meal.split(u'|')[1] == client; });
    QCOMPARE(meals(), mealsBefore);
    QCOMPARE(*heard, QStringList(QStringLiteral("removed ") + client));
}

// A second connection holds the write lock until after the busy timeout.
void TestClients::lockedDatabase()
{
    const QStringList clientsBefore = clients();
    const QStringList mealsBefore = meals();
    frmEditClient editor;
    editor.szClient = QStringLiteral("Ann");
    showActive(editor);
    editor.txtName->setText(QStringLiteral("Ann O'Hara"));
    frmClients dialog;
    const std::shared_ptr<QStringList> heard = watch(dialog);
    showActive(dialog);
    clickRow(dialog, QStringLiteral("Ann"));
    {
        TestDatabase::LockHolder lock(m_path, QStringLiteral("BEGIN IMMEDIATE"));
        editor.cmdOK->click();
        MessageBox::setNextAnswer(true);
        dialog.cmdDelete->click();
    }
    const QStringList shown = messages();
    QCOMPARE(shown.size(), 3);
    QVERIFY2(shown[0].startsWith(QStringLiteral("X The client could not be saved.\n\n")) && shown[0].contains(u"lock"),
             qPrintable(shown[0]));
    QVERIFY2(shown[2].startsWith(QStringLiteral("X The client could not be deleted.\n\n"))
                 && shown[2].contains(u"lock"),
             qPrintable(shown[2]));
    QVERIFY(editor.isVisible());
    QCOMPARE(QStringList({editor.txtName->text(), editor.txtBudget->text()}), QStringList({"Ann O'Hara", "1500"}));
    QCOMPARE(listed(dialog).last(), QStringLiteral("> Ann"));
    QCOMPARE(clients(), clientsBefore);
    QCOMPARE(meals(), mealsBefore);
    QCOMPARE(*heard, QStringList());
    // The lock gone, the same OK saves.
    editor.cmdOK->click();
    QCOMPARE(meals(), renamed(mealsBefore, QStringLiteral("Ann"), QStringLiteral("Ann O'Hara")));
}

QTEST_MAIN(TestClients)
#include "tst_clients.moc"
