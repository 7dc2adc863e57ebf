#include "BuildInfo.h"
#include "frmClients.h"
#include "frmEditClient.h"
#include "Modal.h"
#include "TestDatabase.h"
#include "Clock.h"
#include "DateSpan.h"
#include "deMealwright.h"
#include "frmEditFood.h"
#include "frmEditMeal.h"
#include "frmMealView.h"
#include "frmAbout.h"
#include "frmMainFrame.h"
#include "frmSelectClient.h"
#include "FileDialog.h"
#include "MessageBox.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTimeEdit>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

bool menuEnabled(const QMenu *menu)
{
    return menu->menuAction()->isEnabled();
}

// A plain child window, standing in for any document window; *closes counts the ones closed.
QMdiSubWindow *addChild(frmMainFrame &frame, const QString &title, int *closes)
{
    auto *child = new QWidget;
    child->setWindowTitle(title);
    QObject::connect(child, &QObject::destroyed, [closes] { ++*closes; });
    QMdiSubWindow *window = frame.mdiArea()->addSubWindow(child);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->resize(200, 150);
    window->show();
    return window;
}

QStringList itemsOf(const QMenu *menu)
{
    QStringList items;
    for (const QAction *item : menu->actions())
        items << item->objectName() + QLatin1Char('=') + item->text() + (item->isEnabled() ? QString() : QStringLiteral(" (off)"));
    return items;
}

} // namespace

class TestMainFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void menuTree_data();
    void menuTree();
    void startUp_data();
    void startUp();
    void openDuringASession();
    void newDiary();
    void clientChangesReachTheViews();

    void windowCommands();
    void windowMenuListsTheChildren();

    void clientDialog();
    void mealMenusFollowTheActiveView();
    void reQueryAllMeals();
    void newMealViewOpensAtItsDesignedSize();
    void altWChoosesOneWeekInAMealView();

    void aboutBox();

private:
    QString database(const QString &name = QStringLiteral("diary.mdb"));
    frmMealView *openMealView(frmMainFrame &frame, int clientRow);
    std::unique_ptr<frmMainFrame> startFrame(const QString &commandLinePath = QString());

    std::unique_ptr<QTemporaryDir> m_dir;
    int m_closes = 0;
};

void TestMainFrame::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_closes = 0;
    QSettings(QStringLiteral("Mealwright"), QStringLiteral("Mealwright")).clear();
    MessageBox::setTestMode(true);
    FileDialog::setTestMode(true);
    Clock::setFixed(wallClock(QDate(2002, 8, 13), QTime(9, 0)));
}

void TestMainFrame::cleanup()
{
    Clock::reset();
    deMealwright::instance().close();
    m_dir.reset();
}

// The meal fixture, made once per test under this name.
QString TestMainFrame::database(const QString &name)
{
    const QString path = m_dir->filePath(name);
    if (!QFile::exists(path))
        TestDatabase::createMealFixture(path);
    return path;
}

frmMealView *TestMainFrame::openMealView(frmMainFrame &frame, int clientRow)
{
    whenModal([clientRow](QWidget *dialog) {
        if (auto *select = qobject_cast<frmSelectClient *>(dialog)) {
            select->dblClients->setCurrentRow(clientRow);
            select->cmdOK->click();
        }
    });
    frame.mnuMealView->trigger();
    QMdiSubWindow *window = frame.mdiArea()->currentSubWindow();
    return window ? qobject_cast<frmMealView *>(window->widget()) : nullptr;
}

std::unique_ptr<frmMainFrame> TestMainFrame::startFrame(const QString &commandLinePath)
{
    auto frame = std::make_unique<frmMainFrame>();
    frame->start(commandLinePath);
    frame->show();
    return frame;
}

void TestMainFrame::menuTree_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("items");

    // As each menu drops down with no child window open.
    auto row = [](const char *menu, QStringList items) { QTest::newRow(menu) << QString::fromLatin1(menu) << items; };
    row("mnuFile", {"mnuFileNew=&New...", "mnuFileOpen=&Open...", "mnuFileClients=&Clients...", "mnuFileExit=E&xit"});
    row("mnuMeals", {"mnuMealAdd=&Add...", "mnuMealEdit=&Edit... (off)", "mnuMealDelete=&Delete... (off)",
                     "mnuMealView=&View...", "mnuMealReport=&Report"});
    row("mnuFoods", {"mnuFoodAdd=&Add...", "mnuFoodEdit=&Edit... (off)", "mnuFoodDelete=&Delete... (off)",
                     "mnuFoodFind=&Find... (off)", "mnuFoodView=&View...", "mnuFoodReport=&Report... (off)"});
    row("mnuWindow", {"mnuWindowTileHorizontal=Tile &Horizontally", "mnuWindowTileVertical=Tile &Vertically",
                      "mnuWindowCascade=&Cascade", "mnuWindowArrangeIcons=&Arrange Icons",
                      "mnuWindowCloseAll=Close A&ll"});
    row("mnuHelp", {"mnuHelpAbout=&About..."});
    row("mnuMealPopup", {"mnuMealPopupAdd=&Add...", "mnuMealPopupEdit=&Edit...", "mnuMealPopupDelete=&Delete..."});
    row("mnuFoodPopup", {"mnuFoodPopupAdd=&Add...", "mnuFoodPopupEdit=&Edit...", "mnuFoodPopupDelete=&Delete...",
                         "mnuFoodPopupFind=&Find..."});
}

void TestMainFrame::menuTree()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, items);

    auto frame = startFrame(database());
    auto *found = frame->findChild<QMenu *>(menu);
    QVERIFY(found);
    // Whatever state the items were left in, opening the menu computes it afresh.
    for (QAction *item : found->actions()) {
        QVERIFY2(item->shortcut().isEmpty(), qPrintable(item->objectName()));
        if (items.contains(item->objectName() + QLatin1Char('=') + item->text() + QStringLiteral(" (off)")))
            item->setEnabled(true);
    }
    Q_EMIT found->aboutToShow();
    QCOMPARE(itemsOf(found), items);

    // The bar holds exactly File, Meals, Foods, Window and Help; the context menus are not in it.
    QStringList bar;
    for (const QAction *item : frame->menuBar()->actions())
        bar << item->text();
    QCOMPARE(bar, QStringList({"&File", "&Meals", "&Foods", "&Window", "&Help"}));
    QCOMPARE(frame->windowTitle(), QStringLiteral("Mealwright"));
}

void TestMainFrame::startUp_data()
{
    QTest::addColumn<QString>("remembered");  // the file in the settings at start
    QTest::addColumn<QString>("commandLine"); // the file named on the command line
    QTest::addColumn<QString>("chosen");      // the answer to the file dialog; empty: Cancel
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("message");

    QTest::newRow("first start") << "" << "" << "diary.mdb" << true << "diary.mdb" << "";
    QTest::newRow("first start, cancelled") << "" << "" << "" << true << "" << "";
    QTest::newRow("remembered") << "diary.mdb" << "" << "" << false << "diary.mdb" << "";
    // A relative path on the command line is taken from the current folder.
    QTest::newRow("command line") << "diary.mdb" << "given.mdb" << "" << false << "given.mdb" << "";
    QTest::newRow("remembered file gone") << "moved away.mdb" << "" << "" << false << "" << "does not exist";
}

void TestMainFrame::startUp()
{
    QFETCH(QString, remembered);
    QFETCH(QString, commandLine);
    QFETCH(QString, chosen);
    QFETCH(bool, asked);
    QFETCH(QString, opened);
    QFETCH(QString, message);

    database(QStringLiteral("diary.mdb"));
    database(QStringLiteral("given.mdb"));
    if (!remembered.isEmpty())
        deMealwright::rememberPath(m_dir->filePath(remembered));
    if (!chosen.isEmpty())
        FileDialog::setNextAnswer(m_dir->filePath(chosen));
    const auto before = TestDatabase::snapshot(m_dir->path());
    const QString previous = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
    auto frame = startFrame(commandLine);
    QDir::setCurrent(previous);

    QCOMPARE(FileDialog::requests().size(), asked ? 1 : 0);
    for (const FileDialog::Request &request : FileDialog::requests())
        QCOMPARE((QStringList{request.title, request.filter, request.defaultSuffix}),
                 QStringList({"Open Database", "Database Files (*.mdb);;All files (*)", "mdb"}));
    const QString openedPath = opened.isEmpty() ? QString() : m_dir->filePath(opened);
    QCOMPARE(deMealwright::instance().path(), openedPath);
    QCOMPARE((QList<bool>{menuEnabled(frame->mnuMeals), menuEnabled(frame->mnuFoods), frame->mnuFileClients->isEnabled(),
                          frame->mnuFileOpen->isEnabled(), frame->mnuFileNew->isEnabled()}),
             (QList<bool>{!opened.isEmpty(), !opened.isEmpty(), !opened.isEmpty(), true, true}));
    // The settings keep the last file that opened.
    QCOMPARE(deMealwright::rememberedPath(), opened.isEmpty() ? (remembered.isEmpty() ? QString() : m_dir->filePath(remembered)) : openedPath);
    QVERIFY(frame->mdiArea()->subWindowList().isEmpty());
    QCOMPARE(MessageBox::shown().size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QVERIFY(MessageBox::shown().constFirst().text.contains(message));
    // Nothing appears on disk: no settings entry for a cancelled start, no file for a gone one.
    if (opened.isEmpty())
        QCOMPARE(TestDatabase::snapshot(m_dir->path()), before);
}

void TestMainFrame::newDiary()
{
    const QString existing = database();
    auto frame = startFrame(existing);

    // An existing file is refused and the dialog asks again; Cancel there changes nothing.
    FileDialog::setNextAnswer(existing);
    frame->mnuFileNew->trigger();
    QCOMPARE(FileDialog::requests().size(), 2);
    QCOMPARE(FileDialog::requests().constLast().title, QStringLiteral("New Database"));
    QCOMPARE(FileDialog::requests().constLast().selectedFile, existing);
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(MessageBox::shown().constFirst().text.contains(QStringLiteral("already exists")));
    QCOMPARE(deMealwright::instance().path(), existing);

    // A new name: the empty diary is made, opened and remembered, with the standard units.
    const QString made = m_dir->filePath(QStringLiteral("new diary.mdb"));
    FileDialog::setNextAnswer(made);
    frame->mnuFileNew->trigger();
    QCOMPARE(deMealwright::instance().path(), made);
    QCOMPARE(deMealwright::rememberedPath(), made);
    const Result<QStringList> units =
        deMealwright::instance().cnMealwright().statement(QStringLiteral("SELECT Units FROM Units ORDER BY ID")).texts();
    QVERIFY(units && units->contains(QStringLiteral("cup")) && units->contains(QStringLiteral("each")));
    QVERIFY(menuEnabled(frame->mnuMeals) && frame->mnuFileClients->isEnabled());

    // With no client yet, viewing or adding meals points to File > Clients... instead.
    MessageBox::clearShown();
    for (QAction *command : {frame->mnuMealView, frame->mnuMealAdd}) {
        command->trigger();
        QVERIFY(!QApplication::activeModalWidget());
    }
    QCOMPARE(MessageBox::shown().size(), 2);
    QVERIFY(MessageBox::shown().constLast().text.contains(QStringLiteral("File > Clients...")));
}

void TestMainFrame::clientChangesReachTheViews()
{
    auto frame = startFrame(database());
    frmMealView *ann = openMealView(*frame, 0);
    frmMealView *annAgain = openMealView(*frame, 0);
    frmMealView *bob = openMealView(*frame, 1);
    QVERIFY(ann && annAgain && bob && ann->szClient == QStringLiteral("Ann"));
    const int annMeals = ann->dbgMeals->model()->rowCount();
    QVERIFY(annMeals > 0);

    // Runs act on the Clients dialog, then closes it.
    const auto clients = [&](std::function<void(frmClients *)> act) {
        whenModal([act](QWidget *dialog) {
            auto *list = qobject_cast<frmClients *>(dialog);
            act(list);
            list->cmdClose->click();
        });
        frame->mnuFileClients->trigger();
    };
    const auto select = [](frmClients *list, const QString &name) {
        list->grdClients->setCurrentItem(list->grdClients->findItems(name, Qt::MatchExactly).value(0));
    };

    // Renamed: both of Ann's views take the new name, caption and budget, with the same meals.
    clients([&](frmClients *list) {
        select(list, QStringLiteral("Ann"));
        whenModal([](QWidget *modal) {
            auto *editor = qobject_cast<frmEditClient *>(modal);
            editor->txtName->setText(QStringLiteral("Annie"));
            editor->txtBudget->setText(QStringLiteral("1800"));
            editor->cmdOK->click();
        });
        list->cmdChange->click();
    });
    for (frmMealView *view : {ann, annAgain}) {
        QCOMPARE((QStringList{view->szClient, view->windowTitle().left(16), QString::number(view->fCalorieBudget)}),
                 QStringList({"Annie", "Meals for Annie ", "1800"}));
        QCOMPARE(view->dbgMeals->model()->rowCount(), annMeals);
    }
    QCOMPARE(bob->szClient, QStringLiteral("Bob"));

    // Deleted with their meals (Yes): that client's views close, the others stay.
    MessageBox::setNextAnswer(true);
    clients([&](frmClients *list) {
        select(list, QStringLiteral("Annie"));
        list->cmdDelete->click();
    });
    QTRY_COMPARE(frame->mdiArea()->subWindowList().size(), 1);
    QCOMPARE(frame->mdiArea()->subWindowList().constFirst()->widget(), bob);
}

void TestMainFrame::openDuringASession()
{
    const QString good = database();
    QDir(m_dir->path()).mkdir(QStringLiteral("other files"));
    const QString bad = m_dir->filePath(QStringLiteral("other files/bad.mdb"));
    QVERIFY(QFile::copy(good, bad));
    auto lock = std::make_unique<TestDatabase::LockHolder>(bad, QStringLiteral("BEGIN EXCLUSIVE"));
    auto frame = startFrame(good);
    addChild(*frame, QStringLiteral("one"), &m_closes);
    addChild(*frame, QStringLiteral("two"), &m_closes);
    const auto menus = [&frame] { return QList<bool>{menuEnabled(frame->mnuMeals), menuEnabled(frame->mnuFoods)}; };

    // Cancel changes nothing.
    frame->mnuFileOpen->trigger();
    QCOMPARE(deMealwright::instance().path(), good);
    QCOMPARE(frame->mdiArea()->subWindowList().size(), 2);
    QCOMPARE(menus(), QList<bool>({true, true}));

    // A file that cannot open (why is the data layer's to find) closes what was open, says so,
    // and changes nothing on disk; the settings keep the last good file.
    const auto before = TestDatabase::snapshot(m_dir->path());
    FileDialog::setNextAnswer(bad);
    frame->mnuFileOpen->trigger();
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().constFirst().kind, MessageBox::Kind::Critical);
    const QString message = MessageBox::shown().constFirst().text;
    QVERIFY2(message.contains(QDir::toNativeSeparators(bad)) && message.contains(QStringLiteral("locked")), qPrintable(message));
    QTRY_COMPARE(m_closes, 2);
    QVERIFY(!deMealwright::instance().isOpen());
    QCOMPARE(menus(), QList<bool>({false, false}));
    QCOMPARE(deMealwright::rememberedPath(), good);
    QCOMPARE(TestDatabase::snapshot(m_dir->path()), before);

    // Choosing a file, even the one that is open, closes every window and opens it anew; the
    // dialog offers the last chosen file again.
    lock.reset();
    for (int time = 0; time < 2; ++time) {
        addChild(*frame, QStringLiteral("three"), &m_closes);
        FileDialog::setNextAnswer(bad);
        frame->mnuFileOpen->trigger();
        QTRY_COMPARE(m_closes, 3 + time);
        QCOMPARE(deMealwright::rememberedPath(), bad);
        QCOMPARE(menus(), QList<bool>({true, true}));
    }
    QCOMPARE(FileDialog::requests().at(0).selectedFile, QString());
    QCOMPARE(FileDialog::requests().at(3).selectedFile, bad);
}
void TestMainFrame::windowCommands()
{
    auto frame = startFrame(database());
    QMdiArea *area = frame->mdiArea();
    QMdiSubWindow *a = addChild(*frame, QStringLiteral("a"), &m_closes);
    QMdiSubWindow *b = addChild(*frame, QStringLiteral("b"), &m_closes);
    QMdiSubWindow *c = addChild(*frame, QStringLiteral("c"), &m_closes);
    QMdiSubWindow *d = addChild(*frame, QStringLiteral("d"), &m_closes);
    d->showMinimized();
    const QRect viewport = area->viewport()->rect();

    // One above the other, filling the area; the minimised window stays an icon.
    frame->mnuWindowTileHorizontal->trigger();
    for (QMdiSubWindow *window : {a, b, c})
        QCOMPARE(window->width(), viewport.width());
    QCOMPARE(a->y(), 0);
    QCOMPARE(b->y(), a->geometry().bottom() + 1);
    QCOMPARE(c->geometry().bottom(), viewport.bottom());

    // Side by side, a maximised window included.
    b->showMaximized();
    frame->mnuWindowTileVertical->trigger();
    QVERIFY(!b->isMaximized());
    QCOMPARE(a->x(), 0);
    QCOMPARE(b->x(), a->geometry().right() + 1);
    QCOMPARE(c->geometry().right(), viewport.right());
    QCOMPARE(c->height(), viewport.height());

    // Icons line up along the bottom edge, left to right.
    a->showMinimized();
    frame->mnuWindowArrangeIcons->trigger();
    QCOMPARE(a->geometry().bottomLeft(), viewport.bottomLeft());
    QCOMPARE(d->geometry().bottomLeft(), QPoint(a->width(), viewport.bottom()));

    // Close All closes every child; the database stays open and the menus enabled.
    frame->mnuWindowCloseAll->trigger();
    QTRY_COMPARE(m_closes, 4);
    QTRY_VERIFY(area->subWindowList().isEmpty());
    QVERIFY(deMealwright::instance().isOpen());
    QVERIFY(menuEnabled(frame->mnuMeals));
}

void TestMainFrame::windowMenuListsTheChildren()
{
    auto frame = startFrame(database());
    QMdiSubWindow *first = addChild(*frame, QStringLiteral("Meals for Ann"), &m_closes);
    frame->mdiArea()->setActiveSubWindow(addChild(*frame, QStringLiteral("Fish && Chips"), &m_closes));
    // Opening the menu twice lists each window once, after a separator.
    Q_EMIT frame->mnuWindow->aboutToShow();
    Q_EMIT frame->mnuWindow->aboutToShow();
    QStringList listed;
    for (QAction *item : frame->mnuWindow->actions().mid(5))
        listed << item->text() + (item->isChecked() ? QStringLiteral(" *") : QString());
    QCOMPARE(listed, QStringList({"", "&1 Meals for Ann", "&2 Fish &&&& Chips *"}));
    frame->mnuWindow->actions().at(6)->trigger();
    QCOMPARE(frame->mdiArea()->currentSubWindow(), first);
}

void TestMainFrame::clientDialog()
{
    const QString path = database();
    QCOMPARE(TestDatabase::execute(path, {QStringLiteral("UPDATE Clients SET CalorieBudget = 1500.5 WHERE Who = 'Bob'")}),
             QString());
    QVERIFY(deMealwright::instance().open(path).ok());
    frmSelectClient dialog;
    QListWidget *list = dialog.dblClients;
    const auto values = [&dialog] { return QStringLiteral("%1 %2 %3").arg(dialog.szClient).arg(dialog.fCalorieBudget).arg(dialog.fFVbudget); };
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Select Client"));
    QCOMPARE(list->item(list->count() - 1)->text(), QStringLiteral("Maeve O'Brien"));
    QVERIFY(list->selectedItems().isEmpty());
    QVERIFY(!dialog.cmdOK->isEnabled());
    QCOMPARE(QApplication::focusWidget(), dialog.cmdCancel);
    // Enter in the list is OK.
    list->setCurrentRow(1);
    QVERIFY(dialog.cmdOK->isEnabled());
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(values(), QStringLiteral("Bob 1500.5 5"));

    // Shown again, the list is read afresh and nothing is selected, but the values stay until
    // the user picks or cancels; Cancel, Esc and the close box all cancel.
    QCOMPARE(TestDatabase::execute(path, {QStringLiteral("INSERT INTO Clients VALUES ('Zoe', 1800)")}), QString());
    for (int way = 0; way < 3; ++way) {
        dialog.show();
        QCOMPARE(list->count(), 4);
        QVERIFY(!dialog.cmdOK->isEnabled());
        list->setCurrentRow(3);
        QCOMPARE(values(), QStringLiteral("Zoe 1800 5"));
        if (way == 0)
            dialog.cmdCancel->click();
        else if (way == 1)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            dialog.close();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(values(), QStringLiteral(" 0 0"));
    }

    // A double-click picks a name at once.
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QPoint name = list->visualItemRect(list->item(2)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, name);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, name);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(values(), QStringLiteral("Maeve O'Brien 1200 5"));
}
void TestMainFrame::mealMenusFollowTheActiveView()
{
    auto frame = startFrame(database());
    frmMealView *view = openMealView(*frame, 0);
    QVERIFY(view);
    QTableView *grid = view->dbgMeals;
    // Edit and Delete of the menu and of the pop-up, which the right button shows.
    const auto commands = [&](QPoint at) {
        QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, at);
        const bool shown = QTest::qWaitFor([&] { return frame->mnuMealPopup->isVisible(); });
        frame->mnuMealPopup->hide();
        Q_EMIT frame->mnuMeals->aboutToShow();
        return QList<bool>{shown, frame->mnuMealPopupAdd->isEnabled(), frame->mnuMealPopupEdit->isEnabled(),
                           frame->mnuMealPopupDelete->isEnabled(), frame->mnuMealEdit->isEnabled(), frame->mnuMealDelete->isEnabled()};
    };
    const QPoint firstRow = grid->visualRect(grid->model()->index(0, 3)).center();
    QCOMPARE(commands(firstRow), QList<bool>({true, true, false, false, false, false}));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, firstRow);
    QCOMPARE(commands(QPoint(5, grid->viewport()->height() - 5)), QList<bool>({true, true, true, true, true, true}));

    // The pop-up's Delete goes to the view, which asks about its selected meal.
    frame->mnuMealPopupDelete->trigger();
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(grid->model()->rowCount(), 4);
    QCOMPARE(commands(firstRow).mid(4), QList<bool>({false, false}));
    frame->mnuMealDelete->trigger(); // nothing selected: nothing is asked
    QCOMPARE(MessageBox::shown().size(), 1);

    // Another kind of window active: no meal counts as selected.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, firstRow);
    frame->mdiArea()->setActiveSubWindow(addChild(*frame, QStringLiteral("Notes"), &m_closes));
    Q_EMIT frame->mnuMeals->aboutToShow();
    QCOMPARE((QList<bool>{frame->mnuMealEdit->isEnabled(), frame->mnuMealDelete->isEnabled(), frame->mnuMealView->isEnabled(),
                          frame->mnuMealReport->isEnabled()}),
             QList<bool>({false, false, true, true}));
}

void TestMainFrame::reQueryAllMeals()
{
    const QString path = database();
    auto frame = startFrame(path);
    // Cancel in the client dialog: no window.
    whenModal([](QWidget *dialog) { qobject_cast<frmSelectClient *>(dialog)->cmdCancel->click(); });
    frame->mnuMealView->trigger();
    QVERIFY(frame->mdiArea()->subWindowList().isEmpty());
    // Each use opens another view, also for a client who has one.
    frmMealView *ann = openMealView(*frame, 0);
    frmMealView *bob = openMealView(*frame, 1);
    frmMealView *again = openMealView(*frame, 1);
    QVERIFY(ann && bob && again && again != bob);
    QCOMPARE(frame->mdiArea()->subWindowList().size(), 3);
    QCOMPARE(QStringLiteral("%1 %2 %3 %4").arg(bob->szClient).arg(bob->fCalorieBudget).arg(bob->fFVbudget).arg(bob->windowTitle()),
             QStringLiteral("Bob 2000 5 Meals for Bob [Tue, Aug 13, 2002]"));

    QTableView *grid = ann->dbgMeals;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(3, 3)).center());
    QCOMPARE(ann->idSelected, 40);
    QCOMPARE(TestDatabase::execute(path, {QStringLiteral("INSERT INTO Meals (Who, \"When\", Food, Amount, Units) VALUES "
                                                         "('Ann', '2002-08-13 07:00:00', 'Apple', 1, 'each')")}),
             QString());
    // Meals > Add... starts on the active view's client and first day; after it every view
    // reads its meals again.
    const auto addMeal = [&frame](QStringList *started, const QString &food) {
        whenModal([started, food](QWidget *dialog) {
            auto *editor = qobject_cast<frmEditMeal *>(dialog);
            *started << editor->dbcWho->currentText() << editor->dtpDate->text() << editor->dtpTime->text();
            editor->dtpTime->setTime(QTime(7, 0));
            editor->dbcFood->setEditText(food);
            editor->txtAmount->setText(QStringLiteral("1"));
            editor->dbcUnits->setEditText(QStringLiteral("each"));
            editor->cmdOK->click();
            if (editor->isVisible())
                editor->cmdCancel->click();
        });
        frame->mnuMealAdd->trigger();
    };
    QStringList started;
    addMeal(&started, QStringLiteral("Apple"));
    QCOMPARE(started, QStringList({"Bob", "Tue Aug 13 2002", "12:00 AM"}));
    QCOMPARE(ann->dbgMeals->model()->rowCount(), 6);
    QCOMPARE(again->dbgMeals->model()->rowCount(), 2);
    // Each view keeps its selected meal.
    QCOMPARE(ann->idSelected, 40);
    QCOMPARE(grid->selectionModel()->selectedRows().value(0).data().toLongLong(), 40);

    // A catalogue entry for meals that had none brings them into the views.
    whenModal([](QWidget *dialog) {
        auto *food = qobject_cast<frmEditFood *>(dialog);
        food->dbcFood->setEditText(QStringLiteral("Milk"));
        food->txtCalories->setText(QStringLiteral("6"));
        food->dbcUnits->setEditText(QStringLiteral("tbsp"));
        food->cmdOK->click();
    });
    frame->mnuFoodAdd->trigger();
    QCOMPARE(ann->dbgMeals->model()->rowCount(), 7);
    QCOMPARE(ann->idSelected, 40);

    // With no view: no client, and now. A meal with no client is not saved.
    frame->mnuWindowCloseAll->trigger();
    started.clear();
    addMeal(&started, QStringLiteral("Apple"));
    QCOMPARE(started, QStringList({"", "Tue Aug 13 2002", "9:00 AM"}));
    QCOMPARE(MessageBox::shown().constLast().text, QStringLiteral("You must select a client name"));
}

void TestMainFrame::newMealViewOpensAtItsDesignedSize()
{
    auto frame = startFrame(database());
    const double dpi = frame->logicalDpiX();
    const QSize designed(qRound(7980 * dpi / 1440), qRound(7200 * dpi / 1440));
    // The default frame is lower than the view: the view takes the height there is.
    frmMealView *view = openMealView(*frame, 0);
    QMdiSubWindow *window = frame->mdiArea()->currentSubWindow();
    QCOMPARE(view->width(), designed.width());
    QCOMPARE(window->height(), frame->mdiArea()->viewport()->height());
    // With room enough, it opens at its designed size.
    frame->resize(1000, 800);
    QCOMPARE(openMealView(*frame, 1)->size(), designed);
}

void TestMainFrame::altWChoosesOneWeekInAMealView()
{
    auto frame = startFrame(database());
    frmMealView *view = openMealView(*frame, 0);
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame.get()));
    // In a meal view each press chooses One Week, as Alt+D and Alt+S choose their options.
    for (QWidget *focus : {static_cast<QWidget *>(view->dbgMeals), static_cast<QWidget *>(view->optOneDay)}) {
        view->optOneDay->click();
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_W, Qt::AltModifier);
        QTRY_VERIFY(view->optOneWeek->isChecked());
        QCOMPARE(view->dtEnd, view->dtBegin.addDays(7));
        QVERIFY(!frame->mnuWindow->isVisible());
    }
    // Elsewhere it opens the Window menu.
    frame->mnuWindowCloseAll->trigger();
    QTRY_VERIFY(frame->mdiArea()->subWindowList().isEmpty());
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame.get()));
    QTest::keyClick(frame.get(), Qt::Key_W, Qt::AltModifier);
    QTRY_VERIFY(frame->mnuWindow->isVisible());
}

void TestMainFrame::aboutBox()
{
    frmAbout about;
    QCOMPARE(about.windowTitle(), QStringLiteral("About Mealwright"));
    QCOMPARE(frmAbout::versionText(1, 2, 53), QStringLiteral("Version 1.2.53"));
    QCOMPARE(frmAbout::versionText(1, 10, 0), QStringLiteral("Version 1.10.0"));
    QCOMPARE(about.lblTitle->text(), QStringLiteral("Mealwright"));
    QCOMPARE(about.lblCopyright->text(), QString::fromUtf8(BuildInfo::legalNotice));
    QCOMPARE(frmAbout::picture().size(), QSize(194, 140));
    QVERIFY(!about.picIcon->pixmap().isNull());
    // OK closes the box, as Enter and Esc do.
    about.show();
    QVERIFY(about.cmdOK->isDefault());
    about.cmdOK->click();
    QVERIFY(!about.isVisible());
}

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
