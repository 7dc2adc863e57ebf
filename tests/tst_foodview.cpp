#include "Foods.h"
#include "Windows.h"

#include <QAbstractItemModelTester>
#include <QScopeGuard>
#include <QTemporaryDir>

namespace {

// In name order (letter case aside): 15 1 2 4 12 5 6 3 7 11 13 8 16 14 10 9.
const QStringList catalogue = {
    QStringLiteral("DELETE FROM Meals"),
    QStringLiteral("DELETE FROM Foods"),
    QStringLiteral("INSERT INTO Foods (ID, Food, Units, CaloriesPerUnit, VegetableServings, FruitServings) VALUES "
                   "(1, 'Apple', 'each', 95, 0, 1), (2, 'apple pie', 'slice', 411, 0, 0.5),"
                   "(3, 'Chef''s Salad', 'serving', 310, 1.5, 0), (4, 'Banana', 'each', 105, 0, 1),"
                   "(5, 'Cheddar cheese', 'oz', 114, 0, 0), (6, 'Cheddar cheese', 'slice', 113, 0, 0),"
                   "(7, 'Ice cream', 'cup', 1250, 0, 0), (8, 'Rice, 100% whole grain', 'cup', 216, 0, 0),"
                   "(9, 'Äpfel', 'each', 52, 0, 1), (10, 'Tea_bag', 'each', 2, 0, 0),"
                   "(11, 'Juice [fresh]', 'cup', 112, 0, 1), (12, 'Bun #2', 'each', 150, 0, 0),"
                   "(13, 'Mystery? snack', 'each', 100, 0, 0), (14, 'Sugar* free gum', 'each', 5, 0, 0),"
                   "(15, '\"Lite\" yogurt', 'cup', 140, 0, 0), (16, 'Spiced apple', 'cup', 120, 0, 1)"),
    // Chef's Salad is in use three times (the units in another case count too); the Cheddar
    // cheese in oz once; Apple never (a meal of apples in g names another entry).
    QStringLiteral("INSERT INTO Meals (Who, \"When\", Food, Amount, Units) VALUES "
                   "('Ann', '2002-08-13 12:00:00', 'Chef''s Salad', 1, 'serving'),"
                   "('Ann', '2002-08-14 12:00:00', 'Chef''s Salad', 1, 'SERVING'),"
                   "('Bob', '2002-08-14 12:00:00', 'chef''s salad', 2, 'serving'),"
                   "('Bob', '2002-08-15 12:00:00', 'Cheddar cheese', 2, 'oz'),"
                   "('Bob', '2002-08-15 13:00:00', 'Apple', 100, 'g')"),
};

QString cell(const frmFoodView &view, int row, int column)
{
    return view.dbgFoods->model()->index(row, column).data().toString();
}

// What the view publishes: its caption and the selected ID.
QString state(const frmFoodView &view)
{
    return QStringLiteral("%1 #%2").arg(view.windowTitle()).arg(view.idSelected);
}

// Selects the rows, those next to each other as one range, as a drag or Shift+click does.
void selectRows(frmFoodView &view, const QList<int> &rows)
{
    QItemSelectionModel *selection = view.dbgFoods->selectionModel();
    selection->clearSelection();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const qsizetype first = i;
        while (i + 1 < rows.size() && rows[i + 1] == rows[i] + 1)
            ++i;
        const QAbstractItemModel *model = view.dbgFoods->model();
        selection->select(QItemSelection(model->index(rows[first], 1), model->index(rows[i], 1)),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

std::unique_ptr<frmFoodView> openView()
{
    auto view = std::make_unique<frmFoodView>();
    view->show();
    return view;
}

// Searches through the view's own dialog as a person would: the choices given (none: as the
// dialog proposes them), the text typed, OK. Gives the name at the cursor afterwards, after
// any message shown.
QString search(frmFoodView &view, const QString &text, const QString &first = {}, const QString &match = {})
{
    whenShown<frmSearchOptions>([&](frmSearchOptions *options) {
        if (!first.isEmpty())
            options->cboFirst->setCurrentText(first);
        if (!match.isEmpty())
            options->cboMatch->setCurrentText(match);
        options->cboText->setEditText(text);
        options->cmdOK->click();
    });
    view.FindFood();
    const QStringList shown = messages();
    const int row = view.currentRow();
    return shown.join(QLatin1Char('/')) + (shown.isEmpty() ? QString() : QStringLiteral(" -> "))
           + (row < 0 ? QStringLiteral("(none)") : cell(view, row, 1) + QLatin1Char(' ') + cell(view, row, 3));
}

} // namespace

class TestFoodView : public DiaryTest
{
    Q_OBJECT

public:
    TestFoodView() : DiaryTest(catalogue) {}

private Q_SLOTS:

    void selection_data()
    {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<bool>("column"); // the Calories column is selected as well
        QTest::addColumn<QString>("published");

        QTest::newRow("one row") << QList<int>{7} << false << "Food View [Chef's Salad] #3";
        QTest::newRow("two rows") << QList<int>{1, 2} << false << "Food View #0";
        QTest::newRow("rows apart") << QList<int>{1, 5} << false << "Food View #0";
        QTest::newRow("a column") << QList<int>{} << true << "Food View #0";
        QTest::newRow("a row and a column") << QList<int>{7} << true << "Food View #0";
    }

    void selection()
    {
        QFETCH(QList<int>, rows);
        QFETCH(bool, column);

        auto view = openView();
        selectRows(*view, {5}); // something selected before
        selectRows(*view, rows);
        QItemSelectionModel *selection = view->dbgFoods->selectionModel();
        if (column)
            selection->select(view->dbgFoods->model()->index(0, 2), QItemSelectionModel::Select | QItemSelectionModel::Columns);
        QTEST(state(*view), "published");
        // Whatever was chosen stays highlighted.
        QCOMPARE(std::pair(selection->selectedRows().size(), selection->isColumnSelected(2)),
                 std::pair(rows.size(), column));
    }

    void reQueryFoods()
    {
        auto view = openView();
        // Opening: name order, nothing selected, the cursor on the first row.
        QCOMPARE(idsOf(view->dbgFoods), QList<qint64>({15, 1, 2, 4, 12, 5, 6, 3, 7, 11, 13, 8, 16, 14, 10, 9}));
        QCOMPARE(state(*view) + QString::number(view->currentRow()), QStringLiteral("Food View #00"));
        // Ice cream: calories with a thousands separator, servings with two decimals.
        QCOMPARE((QStringList{cell(*view, 8, 1), cell(*view, 8, 2), cell(*view, 8, 3), cell(*view, 8, 4), cell(*view, 7, 4)}),
                 QStringList({"Ice cream", "1,250", "cup", "0.00", "1.50"}));

        change({QStringLiteral("UPDATE Foods SET Food = 'Zucchini' WHERE ID = 1")});
        view->dbgFoods->horizontalHeader()->sectionClicked(2);
        QCOMPARE(idsOf(view->dbgFoods).first(), qint64(10));

        // A given entry is read again, selected and in view; the order is by name again, by the
        // rules of the user's language (in English, Äpfel among the A's).
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
        view->ReQueryFoods(1);
        QCOMPARE(idsOf(view->dbgFoods), QList<qint64>({15, 9, 2, 4, 12, 5, 6, 3, 7, 11, 13, 8, 16, 14, 10, 1}));
        QCOMPARE(state(*view) + QString::number(view->currentRow()), QStringLiteral("Food View [Zucchini] #115"));
        // An ID that no entry has, or 0: nothing selected, the cursor on the first row.
        for (qint64 id : {qint64(0), qint64(4000000000)}) {
            view->ReQueryFoods(id);
            QCOMPARE(QStringLiteral("%1 %2/%3").arg(state(*view)).arg(view->currentRow()).arg(view->dbgFoods->selectionModel()->selection().size()),
                     QStringLiteral("Food View #0 0/0"));
        }
        QCOMPARE(messages(), QStringList());
    }

    void deleteFood()
    {
        auto view = openView();
        view->DeleteFood(); // nothing selected: nothing asked
        QCOMPARE(messages(), QStringList());

        // In use, counted by name and units without regard to case: refused, nothing asked.
        selectRows(*view, {7});
        view->DeleteFood();
        QCOMPARE(messages(), QStringList("! \"Chef's Salad\" in units \"serving\" Is in use by  3 meals\r\n"
                                         " It cannot be deleted while these meals exist"));
        QCOMPARE(rows(QStringLiteral("SELECT count(*) FROM Foods")), QStringList("16"));
        // The data layer refuses by itself an entry that one meal uses (the cheddar in oz).
        QCOMPARE(Foods(deMealwright::instance().cnMealwright()).removeUnused(5).value(), qint64(1));

        // Not in use: asked; Cancel keeps it, OK deletes exactly it, after a search moved the cursor.
        selectRows(*view, {1});
        QCOMPARE(search(*view, QStringLiteral("tea")), QStringLiteral("Tea_bag each"));
        MessageBox::setNextAnswer(false);
        view->DeleteFood();
        QCOMPARE(messages(), QStringList("? Are you sure you want to delete the food\r\n\"Apple\" in units \"each\" ?"));
        QCOMPARE(state(*view), QStringLiteral("Food View [Apple] #1"));
        view->DeleteFood();
        QCOMPARE(messages().size(), 1);
        QCOMPARE(idsOf(view->dbgFoods), QList<qint64>({15, 2, 4, 12, 5, 6, 3, 7, 11, 13, 8, 16, 14, 10, 9}));
        QCOMPARE(state(*view) + QString::number(view->currentRow()), QStringLiteral("Food View #00"));

        // Deleted meanwhile by another program: said so, the list read again.
        selectRows(*view, {1});
        change({QStringLiteral("DELETE FROM Foods WHERE ID = 2")});
        view->DeleteFood();
        QCOMPARE(messages().size(), 1);
        QCOMPARE(idsOf(view->dbgFoods).size(), 14);

        // A lock held by another program: the reason in plain words, nothing deleted.
        selectRows(*view, {0});
        {
            TestDatabase::LockHolder lock(m_path, QStringLiteral("BEGIN IMMEDIATE"));
            view->DeleteFood();
        }
        QCOMPARE(messages().constLast(), "X The food could not be deleted.\n\nAnother program is using the database and has "
                                         "locked it. Try again when it has finished.");
        QCOMPARE(rows(QStringLiteral("SELECT count(*) FROM Foods")), QStringList("14"));
        QCOMPARE(state(*view), QStringLiteral("Food View [\"Lite\" yogurt] #15"));
    }

    void find_data()
    {
        QTest::addColumn<int>("sortColumn"); // clicked once before searching; -1 for none
        QTest::addColumn<QString>("match");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found"); // "first", then "next" until past the not-found message

        const QString notFound = QStringLiteral("i No foods found that match \"%1\" -> \"Lite\" yogurt cup");
        QTest::newRow("starts with, through the end and on from the second row")
            << -1 << "starts with" << "app"
            << QStringList{"Apple each", "apple pie slice", notFound.arg("app"), "Apple each"};
        QTest::newRow("contains, also at the start")
            << -1 << "contains" << "ice"
            << QStringList{"Ice cream cup", "Juice [fresh] cup", "Rice, 100% whole grain cup", "Spiced apple cup",
                           notFound.arg("ice")};
        QTest::newRow("in calorie order") << 2 << "starts with" << "CHE"
                                          << QStringList{"Cheddar cheese slice", "Cheddar cheese oz", "Chef's Salad serving",
                                                         "i No foods found that match \"CHE\" -> Tea_bag each"};
        QTest::newRow("letters beyond ASCII") << -1 << "starts with" << "äp" << QStringList{"Äpfel each", notFound.arg("äp")};
        const char *literal[][2] = {{"'", "Chef's Salad serving"}, {"*", "Sugar* free gum each"},
                                    {"%", "Rice, 100% whole grain cup"}, {"_", "Tea_bag each"}};
        for (const auto &[text, name] : literal)
            QTest::newRow(text) << -1 << "contains" << text << QStringList{QString::fromUtf8(name), notFound.arg(text)};
        QTest::newRow("nothing") << -1 << "contains" << "ice cream!" << QStringList{notFound.arg("ice cream!")};
    }

    void find()
    {
        QFETCH(int, sortColumn);
        QFETCH(QString, match);
        QFETCH(QString, text);
        QFETCH(QStringList, found);

        auto view = openView();
        if (sortColumn >= 0)
            view->dbgFoods->horizontalHeader()->sectionClicked(sortColumn);
        selectRows(*view, {3});
        QStringList steps{search(*view, text, QStringLiteral("first"), match)};
        while (steps.size() < found.size())
            steps << search(*view, text); // the dialog proposes "next" now
        QCOMPARE(steps, found);
        // Searching moves the cursor only: the selection stays.
        QCOMPARE(view->idSelected, sortColumn < 0 ? qint64(4) : qint64(1));
    }

    // Set up on the first showing: "first", "starts with", no history, OK off while there is no
    // text; Enter and Esc press nothing. Each OK proposes "next" and keeps a new text, one that
    // differs in case too; Cancel keeps the lists and searches for nothing.
    void searchDialogKeepsItsState()
    {
        frmSearchOptions dialog;
        const auto show = [&](const QString &text, const QString &match, bool cancel) {
            whenModal([&](QWidget *) {
                if (match.isEmpty()) {
                    QCOMPARE(QStringList({dialog.cboFirst->currentText(), dialog.cboMatch->currentText(),
                                          QString::number(dialog.cboText->count())}),
                             QStringList({"first", "starts with", "0"}));
                    QVERIFY(!dialog.cmdOK->isEnabled());
                    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape})
                        QTest::keyClick(dialog.cboText, key);
                    QVERIFY(dialog.isVisible());
                } else {
                    dialog.cboMatch->setCurrentText(match);
                }
                dialog.cboText->setEditText(text);
                QCOMPARE(dialog.cmdOK->isEnabled(), !text.isEmpty());
                if (!cancel)
                    dialog.cmdOK->click();
                else if (match.isEmpty())
                    dialog.close(); // the close box is Cancel too
                else
                    dialog.cmdCancel->click();
            });
            dialog.exec();
            QStringList history;
            for (int i = 0; i < dialog.cboText->count(); ++i)
                history << dialog.cboText->itemText(i);
            return QStringList{dialog.szText, dialog.fFindFirst ? "first" : "next", dialog.fLeftMatch ? "start" : "any",
                               history.join(','), dialog.cboFirst->currentText()}
                .join(' ');
        };
        QCOMPARE(show("x", "", true), QStringLiteral(" first start  first"));
        QCOMPARE(show("tea", "contains", false), QStringLiteral("tea first any tea next"));
        QCOMPARE(show("tea", "starts with", false), QStringLiteral("tea next start tea next"));
        QCOMPARE(show("Tea", "starts with", false), QStringLiteral("Tea next start tea,Tea next"));
        QCOMPARE(show("Tea", "contains", true), QStringLiteral(" next start tea,Tea next"));
    }

    void frameRoutesTheFoodCommands()
    {
        const auto frame = startFrame(m_path);
        const auto foodsMenu = [&] {
            Q_EMIT frame->mnuFoods->aboutToShow();
            QString enabled;
            for (QAction *item : {frame->mnuFoodAdd, frame->mnuFoodEdit, frame->mnuFoodDelete, frame->mnuFoodFind,
                                  frame->mnuFoodView, frame->mnuFoodReport})
                enabled += item->isEnabled() ? QLatin1Char('+') : QLatin1Char('-');
            return enabled;
        };
        QCOMPARE(foodsMenu(), QStringLiteral("+---+-"));

        // One food list window, brought back by a second View.
        frame->mnuFoodView->trigger();
        QMdiSubWindow *window = frame->mdiArea()->currentSubWindow();
        auto *view = qobject_cast<frmFoodView *>(window->widget());
        QCOMPARE(foodsMenu(), QStringLiteral("+--++-"));
        window->showMinimized();
        frame->mnuFoodView->trigger();
        QCOMPARE(frame->mdiArea()->subWindowList(), QList<QMdiSubWindow *>({window}));
        QVERIFY(!window->isMinimized());

        // The right button on a row not selected selects it, then asks for the pop-up; Edit and
        // Delete act on that row.
        selectRows(*view, {1});
        clickRow(view->dbgFoods, 7, Qt::RightButton);
        QVERIFY(QTest::qWaitFor([&] { return frame->mnuFoodPopup->isVisible(); }));
        frame->mnuFoodPopup->hide();
        QCOMPARE(QList<bool>({frame->mnuFoodPopupAdd->isEnabled(), frame->mnuFoodPopupEdit->isEnabled(),
                              frame->mnuFoodPopupDelete->isEnabled(), frame->mnuFoodPopupFind->isEnabled()}),
                 QList<bool>(4, true));
        QCOMPARE(foodsMenu() + state(*view), QStringLiteral("+++++-Food View [Chef's Salad] #3"));
        frame->mnuFoodDelete->trigger();
        QCOMPARE(messages().size(), 1); // Chef's Salad is in use

        // The Find of the frame reaches the view through the dialog the frame keeps for the run.
        QCOMPARE(search(*view, QStringLiteral("ban"), QStringLiteral("first")), QStringLiteral("Banana each"));
        window->close();
        frame->mnuFoodView->trigger();
        view = qobject_cast<frmFoodView *>(frame->mdiArea()->currentSubWindow()->widget());
        QCOMPARE(search(*view, QStringLiteral("ban")), QStringLiteral("Banana each"));
        QCOMPARE(frame->findChild<frmSearchOptions *>()->cboText->count(), 1); // one history for the run

        // Edit: the list is read again with the entry still selected; Cancel keeps it selected too.
        selectRows(*view, {3});
        const auto edit = [&](const QString &calories, bool ok) {
            whenShown<frmEditFood>([&](frmEditFood *editor) {
                editor->txtCalories->setText(calories);
                (ok ? editor->cmdOK : editor->cmdCancel)->click();
            });
            frame->mnuFoodEdit->trigger();
            return state(*view) + QLatin1Char(' ') + cell(*view, view->currentRow(), 2);
        };
        QCOMPARE(edit(QStringLiteral("1100"), true), QStringLiteral("Food View [Banana] #4 1,100"));
        QCOMPARE(edit(QStringLiteral("5"), false), QStringLiteral("Food View [Banana] #4 1,100"));

        // Add: the new entry is selected. One saved by More... before a Cancel is listed too.
        for (const char *food : {"Kiwi", "Fig"}) {
            whenShown<frmEditFood>([food](frmEditFood *editor) {
                editor->dbcFood->setEditText(QString::fromLatin1(food));
                editor->dbcUnits->setEditText(QStringLiteral("each"));
                editor->txtCalories->setText(QStringLiteral("42"));
                const bool more = food == QLatin1String("Fig");
                (more ? editor->cmdMore : editor->cmdOK)->click();
                if (more)
                    editor->cmdCancel->click();
            });
            frame->mnuFoodAdd->trigger();
        }
        QCOMPARE(state(*view).left(17) + cell(*view, view->currentRow(), 2), QStringLiteral("Food View [Kiwi] 42"));
        QCOMPARE(search(*view, QStringLiteral("fig"), QStringLiteral("first")), QStringLiteral("Fig each"));
        QCOMPARE(messages(), QStringList());
    }
};

QTEST_MAIN(TestFoodView)
#include "tst_foodview.moc"
