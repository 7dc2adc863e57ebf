#include "Clients.h"
#include "Windows.h"

#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

const char *const allClients = "SELECT Who, CalorieBudget FROM Clients ORDER BY Who";
const char *const allMeals = "SELECT ID || Who || \"When\" || Food || Amount || Units FROM Meals ORDER BY ID";

// The meals as they are after the client who is renamed to name; with no name, deleted.
QStringList renamed(const QString &who, const QString &name)
{
    Connection::Statement select = deMealwright::instance().cnMealwright().statement(
        QStringLiteral("SELECT ID || CASE WHEN Who = ? THEN ? ELSE Who END || \"When\" || Food || Amount || Units FROM Meals"
                       " WHERE Who <> ? OR ? <> '' ORDER BY ID"));
    return *select.bind(who).bind(name).bind(who).bind(name).texts();
}

// The list as shown, "client|calories|last meal" a row, then the selected client after ">".
QStringList listed(const frmClients &dialog)
{
    QStringList shown;
    const QTableWidget *grid = dialog.grdClients;
    for (int row = 0; row < grid->rowCount(); ++row)
        shown << grid->item(row, 0)->text() + u'|' + grid->item(row, 1)->text() + u'|' + grid->item(row, 2)->text();
    return shown << "> " + (grid->selectedItems().isEmpty() ? QString() : grid->selectedItems().first()->text());
}

void clickRow(frmClients &dialog, int row, bool twice = false)
{
    const QPoint at = dialog.grdClients->visualItemRect(dialog.grdClients->item(row, 0)).center();
    QTest::mouseClick(dialog.grdClients->viewport(), Qt::LeftButton, {}, at);
    if (twice)
        QTest::mouseDClick(dialog.grdClients->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class TestClients : public DiaryTest
{
    Q_OBJECT

private Q_SLOTS:
    void checkClient_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("budget");
        QTest::addColumn<QString>("outcome"); // "0 message" (the name at fault), "1 message" (the budget), or "name|budget"
        const QString x100(100, u'x');
        const QString apples = QStringLiteral("🍎").repeated(100); // 200 UTF-16 units
        QTest::newRow("empty, the name first") << "" << "abc" << "0 Please enter the client's name";
        QTest::newRow("101") << x100 + u'y' << "1500" << "0 The name can be at most 100 characters long";
        QTest::newRow("100 and blanks") << "  " + x100 + " " << "1500" << x100 + "|1500";
        QTest::newRow("100 beyond 16 bits") << apples << "1500" << apples + "|1500";
        QTest::newRow("other case, blanks") << " maeve o'brien " << "1"
                                            << "0 There is already a client named \"Maeve O'Brien\".";
        QTest::newRow("other case, A and Z") << "AL LIZ" << "1" << "0 There is already a client named \"al liz\".";
        QTest::newRow("no budget") << "Zoe" << " " << "1 Please enter the daily calorie budget";
        for (const char *budget : {"0", "-5", "abc", "20000.01", "20001", "1,500", "1e3"})
            QTest::newRow(budget) << "Zoe" << budget
                                  << "1 The daily calorie budget must be a number above 0 and at most 20,000";
        QTest::newRow("20000, blanks") << "  Zoe  Smith " << " 20000 " << "Zoe  Smith|20000";
        QTest::newRow("a fraction") << "Zoe" << ".5" << "Zoe|0.5";
    }

    void checkClient()
    {
        QFETCH(QString, name);
        QFETCH(QString, budget);
        QFETCH(QString, outcome);
        const auto checked = EntryChecks::checkClient({name, budget}, {"Ann", "Maeve O'Brien", "al liz"});
        if (const auto *fault = std::get_if<1>(&checked))
            QCOMPARE(QString::number(int(fault->field)) + u' ' + fault->message, outcome);
        else
            QCOMPARE(std::get<0>(checked).name + u'|' + QString::number(std::get<0>(checked).calorieBudget), outcome);
    }

    // The data layer refuses a name another client has, whoever calls it.
    void takenNames()
    {
        Clients table(deMealwright::instance().cnMealwright());
        const QStringList before = rows(allMeals);
        QCOMPARE(table.add({"BOB", 1}).reason(), QStringLiteral("There is already a client named \"Bob\"."));
        QCOMPARE(table.change({"Bob", 2000}, {"maeve o'brien", 1}).reason(),
                 QStringLiteral("There is already a client named \"Maeve O'Brien\"."));
        QCOMPARE(rows(allClients), QStringList({"Ann|1500.0", "Bob|2000.0", "Maeve O'Brien|1200.0"}));
        QCOMPARE(rows(allMeals), before);

        // Also in a file whose names compare with regard to case.
        SKIP_ON_SERVER("A server diary's names always compare without regard to case.");
        deMealwright::instance().close();
        change({"CREATE TABLE Copy (Who TEXT PRIMARY KEY, CalorieBudget REAL)",
                "INSERT INTO Copy SELECT * FROM Clients", "DROP TABLE Clients", "ALTER TABLE Copy RENAME TO Clients"});
        QVERIFY(deMealwright::instance().open(m_path).ok());
        QCOMPARE(table.add({"ann", 1}).reason(), QStringLiteral("There is already a client named \"Ann\"."));
        QCOMPARE(rows(allClients).size(), 3);
    }

    // The list: the day of each client's last meal; a long name widens it within the screen, one
    // longer still is cut and whole in its tooltip.
    void addAndChange()
    {
        const QString longName(40, u'W'), longer = QString(99, u'W') + u'<';
        // A time that is no date-time, which only a file can hold, is shown as it is stored.
        const QString soon = TestDatabase::onServer() ? QString() : QStringLiteral("soon");
        change({"UPDATE Clients SET CalorieBudget = 2000.0 / 3 WHERE Who = 'Bob'",
                                                QString("INSERT INTO Clients VALUES ('aaron', 1234.5), ('%1', 1), ('%2', 1)").arg(longName, longer),
                                                "INSERT INTO Meals (Who, \"When\", Food, Amount, Units) VALUES ('aaron', '2026-12-05T12:42',"
                                                " 'Apple', 1, 'each')"});
        if (!soon.isEmpty())
            change({"INSERT INTO Meals (Who, \"When\", Food, Amount, Units) VALUES ('" + longer + "', 'soon', 'Apple', 1, 'each')"});
        frmClients dialog;
        QSignalSpy changed(&dialog, &frmClients::clientChanged);
        showActive(dialog);
        QCOMPARE(listed(dialog) << QString::number(dialog.cmdChange->isEnabled() + dialog.cmdDelete->isEnabled()),
                 QStringList({"aaron|1,235|Dec 5, 2026", "Ann|1,500|Aug 20, 2002", "Bob|667|Aug 13, 2002",
                              "Maeve O'Brien|1,200|", longName + "|1|", longer + "|1|" + soon, "> ", "0"}));
        const QTableWidget *grid = dialog.grdClients;
        QVERIFY(grid->columnWidth(0) > grid->fontMetrics().horizontalAdvance(longName));
        QVERIFY(grid->geometry().right() < dialog.cmdAdd->x() && dialog.cmdAdd->geometry().right() < dialog.width());
        QCOMPARE(grid->item(4, 0)->toolTip() + grid->item(5, 0)->toolTip(), "<p style='white-space:pre'>" + QString(99, u'W') + "&lt;</p>");

        // A fault keeps the editor with what was typed, the focus on the box at fault.
        QStringList seen;
        whenShown<frmEditClient>([&seen](frmEditClient *editor) {
            seen << editor->windowTitle();
            for (const char *name : {" bob ", " Zoe "}) {
                editor->txtName->setText(QString::fromLatin1(name));
                editor->txtBudget->setText(QStringLiteral("0"));
                editor->cmdOK->click();
                seen << messages() << editor->focusWidget()->objectName() + u'=' + editor->txtName->text();
            }
            editor->txtBudget->setText(QStringLiteral("1800"));
            editor->cmdOK->click();
        });
        dialog.cmdAdd->click();
        QCOMPARE(seen, QStringList({"Add Client", "! There is already a client named \"Bob\".", "txtName= bob ",
                                    "! The daily calorie budget must be a number above 0 and at most 20,000",
                                    "txtBudget= Zoe "}));
        QCOMPARE(listed(dialog).mid(6), QStringList({"Zoe|1,800|", "> Zoe"}));

        // A double-click changes: only the letter case here; the budget, not retyped, keeps its digits.
        whenShown<frmEditClient>([&seen](frmEditClient *editor) {
            seen << editor->windowTitle() + u'=' + editor->txtName->text();
            editor->txtName->setText(QStringLiteral("BOB"));
            editor->cmdOK->click();
        });
        clickRow(dialog, 2, true);
        QCOMPARE(QStringList({seen.last(), listed(dialog)[2], listed(dialog).last()}),
                 QStringList({"Change Client=Bob", "BOB|667|Aug 13, 2002", "> BOB"}));
        QCOMPARE(QList<QVariantList>(changed), QList<QVariantList>({{"", "Zoe", 1800.0}, {"Bob", "BOB", 2000.0 / 3}}));

        // Enter in the list is Change...; Cancel keeps the selection.
        whenShown<frmEditClient>([&seen](frmEditClient *editor) { seen << editor->windowTitle(); });
        QTest::keyClick(dialog.grdClients, Qt::Key_Return);
        QCOMPARE(QStringList({seen.last(), listed(dialog).last()}), QStringList({"Change Client", "> BOB"}));
    }

    void deleteAsks_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("selected"); // afterwards
        const QString none = QStringLiteral("Are you sure you want to delete the client \"Maeve O'Brien\"?");
        const QString many = QStringLiteral("\"Ann\" has 1,234 meals. Delete the client and all of their meals?");
        QTest::newRow("no meals, Yes, the last") << 2 << true << none << "Bob";
        QTest::newRow("meals, No") << 0 << false << many << "Ann";
        QTest::newRow("meals, Yes") << 0 << true << many << "Bob";
        QTest::newRow("one meal") << 1 << true << "\"Bob\" has 1 meal. Delete the client and their meal?"
                                  << "Maeve O'Brien";
    }

    void deleteAsks()
    {
        QFETCH(int, row);
        QFETCH(bool, yes);
        QFETCH(QString, question);
        QFETCH(QString, selected);
        change({"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1224) INSERT INTO Meals"
                " (Who, \"When\", Food, Amount, Units) SELECT 'Ann', '2002-09-01', 'Apple', 1, 'each' FROM n"});
        frmClients dialog;
        QSignalSpy removed(&dialog, &frmClients::clientRemoved);
        showActive(dialog);
        clickRow(dialog, row);
        const QString client = dialog.grdClients->item(row, 0)->text();
        const QStringList after = yes ? renamed(client, QString()) : rows(allMeals);
        MessageBox::setNextAnswer(yes);
        dialog.cmdDelete->click();
        QCOMPARE(messages(), QStringList("Y " + question));
        QCOMPARE(listed(dialog).last(), "> " + selected);
        QCOMPARE(rows(allClients).size(), 3 - int(yes));
        QCOMPARE(rows(allMeals), after);
        QCOMPARE(QList<QVariantList>(removed), yes ? QList<QVariantList>({{client}}) : QList<QVariantList>());
    }

    // A second connection holds the write lock past the busy timeout: the change and the delete
    // say why and change nothing; the editor keeps what was typed; once the lock is gone, the
    // same OK saves.
    void lockedDatabase()
    {
        const QStringList before = rows(allClients) + rows(allMeals);
        frmEditClient editor;
        editor.szClient = QStringLiteral("Ann");
        showActive(editor);
        editor.txtName->setText(QStringLiteral("Ann O'Hara"));
        frmClients dialog;
        showActive(dialog);
        clickRow(dialog, 0);
        {
            TestDatabase::LockHolder lock(m_path, QStringLiteral("BEGIN IMMEDIATE"));
            editor.cmdOK->click();
            MessageBox::setNextAnswer(true);
            dialog.cmdDelete->click();
        }
        const QString why = "\n\nAnother program is using the database and has locked it. Try again when it has finished.";
        QCOMPARE(messages().filter(u"X "), QStringList({"X The client could not be saved." + why,
                                                        "X The client could not be deleted." + why}));
        QCOMPARE(QStringList({editor.txtName->text(), editor.txtBudget->text(), listed(dialog).last()}),
                 QStringList({"Ann O'Hara", "1500", "> Ann"}));
        QCOMPARE(rows(allClients) + rows(allMeals), before);
        const QStringList after = renamed(QStringLiteral("Ann"), QStringLiteral("Ann O'Hara"));
        editor.cmdOK->click();
        QCOMPARE(rows(allMeals), after);
    }

    // Two people on one client: the second save is told. No keeps what was typed for the next
    // OK; Yes shows the client as the other left it.
    void changedByAnotherUser_data()
    {
        QTest::addColumn<QString>("other"); // what the other program did to Ann (1500)
        QTest::addColumn<bool>("reload");
        QTest::addColumn<QStringList>("shownAfter"); // the editor's boxes after the answer
        QTest::addColumn<QStringList>("stored"); // the clients after the next OK
        QTest::newRow("keep mine") << "UPDATE Clients SET CalorieBudget = 1800 WHERE Who = 'Ann'" << false
                                   << QStringList{"Ann", "1400"} << QStringList{"Ann|1400.0", "Bob|2000.0", "Maeve O'Brien|1200.0"};
        QTest::newRow("show theirs") << "UPDATE Clients SET CalorieBudget = 1800 WHERE Who = 'Ann'" << true
                                     << QStringList{"Ann", "1800"} << QStringList{"Ann|1800.0", "Bob|2000.0", "Maeve O'Brien|1200.0"};
    }

    void changedByAnotherUser()
    {
        QFETCH(QString, other);
        QFETCH(bool, reload);
        QFETCH(QStringList, shownAfter);
        QFETCH(QStringList, stored);
        frmEditClient editor;
        editor.szClient = QStringLiteral("ann");
        showActive(editor);
        editor.txtBudget->setText(QStringLiteral("1400"));
        change({other});
        const QStringList theirs = rows(allClients);
        MessageBox::setNextAnswer(reload);
        editor.cmdOK->click();
        const QStringList said = messages();
        QCOMPARE(rows(allClients), theirs);
        QVERIFY(said.size() == 1 && said[0].startsWith("Y Another user or program changed this client after you opened it"));
        QCOMPARE(QStringList({editor.txtName->text(), editor.txtBudget->text()}), shownAfter);
        editor.cmdOK->click();
        QCOMPARE(QVariantList({editor.isVisible(), messages().join(u'\n'), rows(allClients)}), QVariantList({false, "", stored}));
    }

    // File > Clients...: the meal views of a renamed client take the new name, caption and budget;
    // those of a deleted client close; the others stay as they were. A meal another program adds
    // while the delete's question is up is not deleted unasked: the question is asked again.
    void viewsFollowTheirClient()
    {
        const auto frame = startFrame(m_path);
        frmMealView *ann = openMealView(*frame, 0);
        frmMealView *annAgain = openMealView(*frame, 0);
        frmMealView *bob = openMealView(*frame, 1);
        const int annMeals = ann->dbgMeals->model()->rowCount();
        // Acts on the Clients dialog with the client selected, then closes it.
        const auto clients = [&](const QString &client, const std::function<void(frmClients *)> &act) {
            whenShown<frmClients>([=](frmClients *list) {
                clickRow(*list, list->grdClients->findItems(client, Qt::MatchExactly).value(0)->row());
                act(list);
                list->cmdClose->click();
            });
            frame->mnuFileClients->trigger();
        };

        clients("Ann", [](frmClients *list) {
            whenShown<frmEditClient>([](frmEditClient *editor) {
                editor->txtName->setText(QStringLiteral("Annie"));
                editor->txtBudget->setText(QStringLiteral("1800"));
                editor->cmdOK->click();
            });
            list->cmdChange->click();
        });
        for (frmMealView *view : {ann, annAgain})
            QCOMPARE((QStringList{view->szClient, view->windowTitle().left(16), QString::number(view->fCalorieBudget),
                                  QString::number(view->dbgMeals->model()->rowCount()), bob->szClient}),
                     QStringList({"Annie", "Meals for Annie ", "1800", QString::number(annMeals), "Bob"}));

        MessageBox::setTestMode(false);
        QStringList asked;
        clients("Annie", [&](frmClients *list) {
            whenShown<QMessageBox>([&](QMessageBox *box) {
                asked << TestDatabase::execute(m_path, {"INSERT INTO Meals (Who, \"When\", Food, Amount, Units)"
                                                        " VALUES ('annie', '2002-09-01', 'Apple', 1, 'each')"});
                whenShown<QMessageBox>([&](QMessageBox *again) { asked << again->text(); again->button(QMessageBox::Yes)->click(); });
                box->button(QMessageBox::Yes)->click();
            });
            list->cmdDelete->click();
        });
        QCOMPARE(asked, QStringList({"", "Another program has changed the meals of \"Annie\" meanwhile.\n\n"
                                     "\"Annie\" has 11 meals. Delete the client and all of their meals?"}));
        QTRY_COMPARE(frame->mdiArea()->subWindowList().size(), 1);
        QCOMPARE(frame->mdiArea()->subWindowList().constFirst()->widget(), bob);
    }
};

QTEST_MAIN(TestClients)
#include "tst_clients.moc"
