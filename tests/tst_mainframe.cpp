#include "TestDatabase.h"
#include "BuildInfo.h"
#include "common/FileDialog.h"
#include "common/MessageBox.h"
#include "data/deMealwright.h"
#include "shell/CornucopiaPicture.h"
#include "shell/MdiArrange.h"
#include "shell/frmAbout.h"
#include "shell/frmMainFrame.h"
#include "shell/frmSelectClient.h"
#include "common/Clock.h"
#include "common/DateSpan.h"
#include "mealview/frmMealView.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTableView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

bool menuEnabled(const QMenu *menu)
{
    return menu->menuAction()->isEnabled();
}

// A plain child window, standing in for any document window.
class CountingChild : public QWidget
{
public:
    explicit CountingChild(int *closes) : m_closes(closes) {}

protected:
    void closeEvent(QCloseEvent *event) override
    {
        ++*m_closes;
        QWidget::closeEvent(event);
    }

private:
    int *m_closes;
};

QMdiSubWindow *addChild(frmMainFrame &frame, const QString &title, int *closes = nullptr)
{
    static int ignored = 0;
    auto *child = new CountingChild(closes ? closes : &ignored);
    child->setWindowTitle(title);
    QMdiSubWindow *window = frame.mdiArea()->addSubWindow(child);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->resize(200, 150);
    window->show();
    return window;
}

// Acts on the next modal dialog as soon as it is up, as a person would; gives up after a while.
void whenModal(std::function<void(QWidget *)> act)
{
    auto attempts = std::make_shared<int>(0);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act, attempts, poll] {
        if (QWidget *dialog = QApplication::activeModalWidget()) {
            act(dialog);
            return;
        }
        if (++*attempts < 500)
            QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}

void selectClientRow(frmSelectClient *dialog, int row)
{
    dialog->dblClients->setCurrentRow(row);
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
    void menusEnableWithoutChildWindows();

    void firstStartAsksForTheFile();
    void cancelAtFirstStartLeavesAnEmptyFrame();
    void rememberedFileOpensWithoutAsking();
    void commandLineFileOpensInsteadOfRemembered();
    void cancelDuringASessionChangesNothing();
    void reopeningTheSameFileClosesTheWindows();
    void dialogOffersTheLastChosenFile();
    void badFileIsReportedAndChangesNothingOnDisk_data();
    void badFileIsReportedAndChangesNothingOnDisk();
    void rememberedFileThatIsGone();

    void tilingAndIcons();
    void closeAllKeepsTheDatabaseOpen();
    void windowMenuListsTheChildren();
    void exitEndsAtOnce();

    void clientDialog();
    void clientDialogCancelAndCloseBox_data();
    void clientDialogCancelAndCloseBox();
    void clientDialogDoubleClick();
    void mealViewCommand();
    void mealMenusFollowTheActiveView();
    void mealPopupMenu();
    void deleteFromTheMenu();
    void reQueryAllMeals();

    void arrangementGeometry();
    void aboutVersionText_data();
    void aboutVersionText();
    void aboutBox();

private:
    QString goodDatabase(const QString &name = QStringLiteral("diary.mdb"));
    QString fixtureDatabase();
    frmMealView *openMealView(frmMainFrame &frame, int clientRow);
    std::unique_ptr<frmMainFrame> startFrame(const QString &commandLinePath = QString());

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestMainFrame::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QSettings(QStringLiteral("Mealwright"), QStringLiteral("Mealwright")).clear();
    MessageBox::setTestMode(true);
    FileDialog::setTestMode(true);
}

void TestMainFrame::cleanup()
{
    Clock::reset();
    deMealwright::instance().close();
    m_dir.reset();
}

QString TestMainFrame::goodDatabase(const QString &name)
{
    const QString path = m_dir->filePath(name);
    if (!QFile::exists(path))
        TestDatabase::createEmpty(path);
    return path;
}

QString TestMainFrame::fixtureDatabase()
{
    const QString path = m_dir->filePath(QStringLiteral("fixture.mdb"));
    if (!QFile::exists(path))
        TestDatabase::createMealFixture(path);
    Clock::setFixed(wallClock(QDate(2002, 8, 13), QTime(9, 0)));
    return path;
}

frmMealView *TestMainFrame::openMealView(frmMainFrame &frame, int clientRow)
{
    whenModal([clientRow](QWidget *dialog) {
        auto *select = qobject_cast<frmSelectClient *>(dialog);
        if (!select)
            return;
        selectClientRow(select, clientRow);
        select->cmdOK->click();
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

    auto row = [](const char *menu, QStringList items) { QTest::newRow(menu) << QString::fromLatin1(menu) << items; };
    row("mnuFile", {"mnuFileOpen=&Open...", "mnuFileExit=E&xit"});
    row("mnuMeals", {"mnuMealAdd=&Add...", "mnuMealEdit=&Edit...", "mnuMealDelete=&Delete...",
                     "mnuMealView=&View...", "mnuMealReport=&Report"});
    row("mnuFoods", {"mnuFoodAdd=&Add...", "mnuFoodEdit=&Edit...", "mnuFoodDelete=&Delete...",
                     "mnuFoodFind=&Find...", "mnuFoodView=&View...", "mnuFoodReport=&Report..."});
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

    frmMainFrame frame;
    auto *found = frame.findChild<QMenu *>(menu);
    QVERIFY(found);
    QStringList actual;
    for (const QAction *item : found->actions()) {
        QVERIFY2(item->shortcut().isEmpty(), qPrintable(item->objectName()));
        actual << item->objectName() + QLatin1Char('=') + item->text();
    }
    QCOMPARE(actual, items);

    // The bar holds exactly File, Meals, Foods, Window and Help; the context menus are not in it.
    QStringList bar;
    for (const QAction *item : frame.menuBar()->actions())
        bar << item->text();
    QCOMPARE(bar, QStringList({"&File", "&Meals", "&Foods", "&Window", "&Help"}));
    QCOMPARE(frame.windowTitle(), QStringLiteral("Mealwright"));
    QCOMPARE(frame.findChild<QMenu *>(QStringLiteral("mnuMealPopup"))->title(), QStringLiteral("Meal Popup"));
}

void TestMainFrame::menusEnableWithoutChildWindows()
{
    auto frame = startFrame(goodDatabase());
    QVERIFY(menuEnabled(frame->mnuMeals));

    // Whatever state the items were left in, opening the menu computes it afresh.
    for (QAction *item : frame->mnuMeals->actions())
        item->setEnabled(true);
    Q_EMIT frame->mnuMeals->aboutToShow();
    QVERIFY(frame->mnuMealAdd->isEnabled());
    QVERIFY(!frame->mnuMealEdit->isEnabled());
    QVERIFY(!frame->mnuMealDelete->isEnabled());
    QVERIFY(frame->mnuMealView->isEnabled());
    QVERIFY(frame->mnuMealReport->isEnabled());

    for (QAction *item : frame->mnuFoods->actions())
        item->setEnabled(!item->isEnabled());
    Q_EMIT frame->mnuFoods->aboutToShow();
    QVERIFY(frame->mnuFoodAdd->isEnabled());
    QVERIFY(!frame->mnuFoodEdit->isEnabled());
    QVERIFY(!frame->mnuFoodDelete->isEnabled());
    QVERIFY(!frame->mnuFoodFind->isEnabled());
    QVERIFY(frame->mnuFoodView->isEnabled());
    QVERIFY(!frame->mnuFoodReport->isEnabled());
}

void TestMainFrame::firstStartAsksForTheFile()
{
    const QString path = goodDatabase();
    FileDialog::setNextAnswer(path);
    auto frame = startFrame();

    QCOMPARE(FileDialog::requests().size(), 1);
    const FileDialog::Request asked = FileDialog::requests().constFirst();
    QCOMPARE(asked.title, QStringLiteral("Open Database"));
    QVERIFY(asked.filter.startsWith(QStringLiteral("Database Files (*.mdb);;All files")));
    QCOMPARE(asked.defaultSuffix, QStringLiteral("mdb"));
    QVERIFY(menuEnabled(frame->mnuMeals));
    QVERIFY(menuEnabled(frame->mnuFoods));
    QCOMPARE(deMealwright::rememberedPath(), path);
    QVERIFY(frame->mdiArea()->subWindowList().isEmpty());
    QVERIFY(MessageBox::shown().isEmpty());
}

void TestMainFrame::cancelAtFirstStartLeavesAnEmptyFrame()
{
    const auto before = TestDatabase::snapshot(m_dir->path());
    auto frame = startFrame(); // no answer preset: the dialog is cancelled
    QCOMPARE(FileDialog::requests().size(), 1);
    QVERIFY(!menuEnabled(frame->mnuMeals));
    QVERIFY(!menuEnabled(frame->mnuFoods));
    QVERIFY(frame->mnuFileOpen->isEnabled());
    QVERIFY(!deMealwright::instance().isOpen());
    QVERIFY(!QSettings(QStringLiteral("Mealwright"), QStringLiteral("Mealwright")).contains(QStringLiteral("Database/Name")));
    QVERIFY(MessageBox::shown().isEmpty());
    QCOMPARE(TestDatabase::snapshot(m_dir->path()), before);

    // File > Open still works afterwards.
    FileDialog::setNextAnswer(goodDatabase());
    frame->mnuFileOpen->trigger();
    QVERIFY(menuEnabled(frame->mnuMeals));
}

void TestMainFrame::rememberedFileOpensWithoutAsking()
{
    const QString path = goodDatabase();
    deMealwright::rememberPath(path);
    auto frame = startFrame();
    QVERIFY(FileDialog::requests().isEmpty());
    QVERIFY(menuEnabled(frame->mnuMeals));
    QVERIFY(menuEnabled(frame->mnuFoods));
    QCOMPARE(deMealwright::instance().path(), path);
    QVERIFY(frame->mdiArea()->subWindowList().isEmpty());
}

void TestMainFrame::commandLineFileOpensInsteadOfRemembered()
{
    deMealwright::rememberPath(goodDatabase(QStringLiteral("remembered.mdb")));
    const QString given = goodDatabase(QStringLiteral("given.mdb"));
    // A relative path on the command line is taken from the current folder.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
    auto frame = startFrame(QStringLiteral("given.mdb"));
    QDir::setCurrent(previous);

    QVERIFY(FileDialog::requests().isEmpty());
    QCOMPARE(deMealwright::instance().path(), given);
    QCOMPARE(deMealwright::rememberedPath(), given);
    QVERIFY(menuEnabled(frame->mnuMeals));
}

void TestMainFrame::cancelDuringASessionChangesNothing()
{
    const QString path = goodDatabase();
    auto frame = startFrame(path);
    addChild(*frame, QStringLiteral("Meals for Ann"));
    frame->mnuFileOpen->trigger(); // cancelled

    QCOMPARE(FileDialog::requests().size(), 1);
    QVERIFY(deMealwright::instance().isOpen());
    QCOMPARE(deMealwright::instance().path(), path);
    QCOMPARE(frame->mdiArea()->subWindowList().size(), 1);
    QVERIFY(menuEnabled(frame->mnuMeals));
    QVERIFY(menuEnabled(frame->mnuFoods));
}

void TestMainFrame::reopeningTheSameFileClosesTheWindows()
{
    const QString path = goodDatabase();
    auto frame = startFrame(path);
    int closes = 0;
    addChild(*frame, QStringLiteral("one"), &closes);
    addChild(*frame, QStringLiteral("two"), &closes);

    FileDialog::setNextAnswer(path);
    frame->mnuFileOpen->trigger();
    QCOMPARE(closes, 2);
    QTRY_VERIFY(frame->mdiArea()->subWindowList().isEmpty());
    QVERIFY(deMealwright::instance().isOpen());
    QCOMPARE(deMealwright::rememberedPath(), path);
    QVERIFY(menuEnabled(frame->mnuMeals));
}

void TestMainFrame::dialogOffersTheLastChosenFile()
{
    const QString first = goodDatabase(QStringLiteral("first.mdb"));
    FileDialog::setNextAnswer(first);
    auto frame = startFrame();
    frame->mnuFileOpen->trigger(); // cancelled
    QCOMPARE(FileDialog::requests().size(), 2);
    QCOMPARE(FileDialog::requests().at(0).selectedFile, QString());
    QCOMPARE(FileDialog::requests().at(1).selectedFile, first);
}

void TestMainFrame::badFileIsReportedAndChangesNothingOnDisk_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "missing" << "does not exist";
    QTest::newRow("folder") << "folder" << "is a folder";
    QTest::newRow("0 bytes") << "empty" << "is empty";
    QTest::newRow("text") << "text" << "is not a database";
    QTest::newRow("Access") << "access" << "Microsoft Access";
    QTest::newRow("no tables") << "foreign" << "lacks the tables Meals, Foods, Units and Clients";
    QTest::newRow("locked") << "locked" << "locked";
}

void TestMainFrame::badFileIsReportedAndChangesNothingOnDisk()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);

    const QString good = goodDatabase();
    const QString bad = m_dir->filePath(QStringLiteral("other files/bad.mdb"));
    QDir(m_dir->path()).mkdir(QStringLiteral("other files"));
    std::unique_ptr<QSqlDatabase> locker;
    if (kind == QLatin1String("folder")) {
        QDir().mkdir(bad);
    } else if (kind != QLatin1String("missing")) {
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (kind == QLatin1String("text"))
            file.write("Monday: porridge\n");
        else if (kind == QLatin1String("access"))
            file.write(QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(1000, '\0'));
        file.close();
        if (kind == QLatin1String("foreign"))
            TestDatabase::execute(bad, {QStringLiteral("CREATE TABLE Notes (Text TEXT)")});
        if (kind == QLatin1String("locked")) {
            QFile::remove(bad);
            TestDatabase::createEmpty(bad);
            locker = std::make_unique<QSqlDatabase>(QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker")));
            locker->setDatabaseName(bad);
            QVERIFY(locker->open());
            QSqlQuery(*locker).exec(QStringLiteral("BEGIN EXCLUSIVE"));
        }
    }

    auto frame = startFrame(good);
    int closes = 0;
    addChild(*frame, QStringLiteral("Meals for Ann"), &closes);
    const auto before = TestDatabase::snapshot(m_dir->path());

    FileDialog::setNextAnswer(bad);
    frame->mnuFileOpen->trigger();

    QCOMPARE(MessageBox::shown().size(), 1);
    const MessageBox::Shown message = MessageBox::shown().constFirst();
    QCOMPARE(message.kind, MessageBox::Kind::Critical);
    QVERIFY2(message.text.contains(QDir::toNativeSeparators(bad)), qPrintable(message.text));
    QVERIFY2(message.text.contains(reason), qPrintable(message.text));
    // The database that was open is closed with its windows; the menus wait for a good file.
    QCOMPARE(closes, 1);
    QVERIFY(!deMealwright::instance().isOpen());
    QVERIFY(!menuEnabled(frame->mnuMeals));
    QVERIFY(!menuEnabled(frame->mnuFoods));
    QCOMPARE(deMealwright::rememberedPath(), good);
    QCOMPARE(TestDatabase::snapshot(m_dir->path()), before);

    if (locker) {
        QSqlQuery(*locker).exec(QStringLiteral("ROLLBACK"));
        locker->close();
        locker.reset();
        QSqlDatabase::removeDatabase(QStringLiteral("locker"));
    }

    FileDialog::setNextAnswer(good);
    frame->mnuFileOpen->trigger();
    QVERIFY(deMealwright::instance().isOpen());
    QVERIFY(menuEnabled(frame->mnuMeals));
}

void TestMainFrame::rememberedFileThatIsGone()
{
    const QString gone = m_dir->filePath(QStringLiteral("moved away.mdb"));
    deMealwright::rememberPath(gone);
    auto frame = startFrame();
    QVERIFY(FileDialog::requests().isEmpty());
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(MessageBox::shown().constFirst().text.contains(QStringLiteral("does not exist")));
    QVERIFY(!menuEnabled(frame->mnuMeals));
    QCOMPARE(deMealwright::rememberedPath(), gone);
    QVERIFY(!QFile::exists(gone));
}

void TestMainFrame::tilingAndIcons()
{
    auto frame = startFrame(goodDatabase());
    QMdiArea *area = frame->mdiArea();
    QMdiSubWindow *a = addChild(*frame, QStringLiteral("a"));
    QMdiSubWindow *b = addChild(*frame, QStringLiteral("b"));
    QMdiSubWindow *c = addChild(*frame, QStringLiteral("c"));
    QMdiSubWindow *d = addChild(*frame, QStringLiteral("d"));
    d->showMinimized();
    const QRect viewport = area->viewport()->rect();

    frame->mnuWindowTileHorizontal->trigger();
    QCOMPARE(a->geometry(), MdiArrange::stacked(3, viewport).at(0));
    QCOMPARE(b->geometry(), MdiArrange::stacked(3, viewport).at(1));
    QCOMPARE(c->geometry(), MdiArrange::stacked(3, viewport).at(2));
    QCOMPARE(a->width(), viewport.width());
    QVERIFY(d->isMinimized());

    b->showMaximized();
    frame->mnuWindowTileVertical->trigger();
    QVERIFY(!b->isMaximized());
    QCOMPARE(a->geometry(), MdiArrange::sideBySide(3, viewport).at(0));
    QCOMPARE(b->geometry(), MdiArrange::sideBySide(3, viewport).at(1));
    QCOMPARE(c->height(), viewport.height());

    a->showMinimized();
    frame->mnuWindowArrangeIcons->trigger();
    // Icons line up along the bottom edge, left to right.
    QCOMPARE(a->geometry().bottom(), viewport.bottom());
    QCOMPARE(d->geometry().bottom(), viewport.bottom());
    QCOMPARE(a->x(), 0);
    QCOMPARE(d->x(), a->width() >= d->width() ? a->width() : d->width());

    frame->mnuWindowCascade->trigger();
    QVERIFY(b->x() != c->x() || b->y() != c->y());
}

void TestMainFrame::closeAllKeepsTheDatabaseOpen()
{
    auto frame = startFrame(goodDatabase());
    int closes = 0;
    addChild(*frame, QStringLiteral("one"), &closes);
    addChild(*frame, QStringLiteral("two"), &closes)->showMinimized();
    frame->mnuWindowCloseAll->trigger();
    QCOMPARE(closes, 2);
    QTRY_VERIFY(frame->mdiArea()->subWindowList().isEmpty());
    QVERIFY(deMealwright::instance().isOpen());
    QVERIFY(menuEnabled(frame->mnuMeals));
    QVERIFY(menuEnabled(frame->mnuFoods));
}

void TestMainFrame::windowMenuListsTheChildren()
{
    auto frame = startFrame(goodDatabase());
    QMdiSubWindow *first = addChild(*frame, QStringLiteral("Meals for Ann"));
    QMdiSubWindow *second = addChild(*frame, QStringLiteral("Fish && Chips"));
    frame->mdiArea()->setActiveSubWindow(second);

    for (int opening = 0; opening < 2; ++opening) {
        Q_EMIT frame->mnuWindow->aboutToShow();
        QStringList listed;
        QAction *firstItem = nullptr;
        const QList<QAction *> items = frame->mnuWindow->actions();
        for (QAction *item : items.mid(5)) {
            if (item->isSeparator())
                continue;
            listed << item->text() + (item->isChecked() ? QStringLiteral(" *") : QString());
            if (!firstItem)
                firstItem = item;
        }
        // Opening the menu twice lists each window once.
        QCOMPARE(listed, QStringList({"&1 Meals for Ann", "&2 Fish &&&& Chips *"}));
        QVERIFY(items.at(5)->isSeparator());
        if (opening == 1) {
            firstItem->trigger();
            QCOMPARE(frame->mdiArea()->currentSubWindow(), first);
        }
    }
}

void TestMainFrame::exitEndsAtOnce()
{
    auto frame = startFrame(goodDatabase());
    int closes = 0;
    addChild(*frame, QStringLiteral("one"), &closes);
    QTimer::singleShot(0, frame->mnuFileExit, &QAction::trigger);
    QCOMPARE(QApplication::exec(), 0);
    QCOMPARE(closes, 0);
    QVERIFY(frame->isVisible());
}

void TestMainFrame::clientDialog()
{
    const QString path = fixtureDatabase();
    QCOMPARE(TestDatabase::execute(path, {QStringLiteral("UPDATE Clients SET CalorieBudget = 1500.5 WHERE Who = 'Bob'")}),
             QString());
    QVERIFY(deMealwright::instance().open(path).ok());
    frmSelectClient dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Select Client"));
    QStringList names;
    for (int row = 0; row < dialog.dblClients->count(); ++row)
        names << dialog.dblClients->item(row)->text();
    QCOMPARE(names, QStringList({"Ann", "Bob", "Maeve O'Brien"}));
    QVERIFY(dialog.dblClients->selectedItems().isEmpty());
    QVERIFY(!dialog.cmdOK->isEnabled());
    QCOMPARE(QApplication::focusWidget(), dialog.cmdCancel);

    selectClientRow(&dialog, 1);
    QVERIFY(dialog.cmdOK->isEnabled());
    QCOMPARE(dialog.szClient, QStringLiteral("Bob"));
    QCOMPARE(dialog.fCalorieBudget, 1500.5f);
    QCOMPARE(dialog.fFVbudget, 5.f);
    // Enter in the list is OK.
    dialog.dblClients->setFocus();
    QTest::keyClick(dialog.dblClients, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.szClient, QStringLiteral("Bob"));

    // Shown again, the list is read afresh and nothing is selected, but the values stay until
    // the user picks or cancels.
    QCOMPARE(TestDatabase::execute(path, {QStringLiteral("INSERT INTO Clients VALUES ('Zoe', 1800)")}), QString());
    dialog.show();
    QCOMPARE(dialog.dblClients->count(), 4);
    QVERIFY(!dialog.cmdOK->isEnabled());
    QCOMPARE(dialog.szClient, QStringLiteral("Bob"));
    selectClientRow(&dialog, 3);
    QCOMPARE(dialog.szClient, QStringLiteral("Zoe"));
    QCOMPARE(dialog.fCalorieBudget, 1800.f);
}

void TestMainFrame::clientDialogCancelAndCloseBox_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "cancel";
    QTest::newRow("Esc") << "escape";
    QTest::newRow("close box") << "close";
}

void TestMainFrame::clientDialogCancelAndCloseBox()
{
    QFETCH(QString, how);
    QVERIFY(deMealwright::instance().open(fixtureDatabase()).ok());
    frmSelectClient dialog;
    dialog.show();
    selectClientRow(&dialog, 0);
    QCOMPARE(dialog.szClient, QStringLiteral("Ann"));
    if (how == QLatin1String("cancel"))
        dialog.cmdCancel->click();
    else if (how == QLatin1String("escape"))
        QTest::keyClick(&dialog, Qt::Key_Escape);
    else
        dialog.close();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.szClient, QString());
    QCOMPARE(dialog.fCalorieBudget, 0.f);
    QCOMPARE(dialog.fFVbudget, 0.f);
}

void TestMainFrame::clientDialogDoubleClick()
{
    QVERIFY(deMealwright::instance().open(fixtureDatabase()).ok());
    frmSelectClient dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // A double-click on the empty part of the list does nothing.
    QWidget *list = dialog.dblClients->viewport();
    QTest::mouseDClick(list, Qt::LeftButton, {}, QPoint(5, list->height() - 3));
    QVERIFY(dialog.isVisible());
    const QPoint name = dialog.dblClients->visualItemRect(dialog.dblClients->item(2)).center();
    QTest::mouseClick(list, Qt::LeftButton, {}, name);
    QTest::mouseDClick(list, Qt::LeftButton, {}, name);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.szClient, QStringLiteral("Maeve O'Brien"));
    QCOMPARE(dialog.fCalorieBudget, 1200.f);
}

void TestMainFrame::mealViewCommand()
{
    auto frame = startFrame(fixtureDatabase());
    // Cancel: no window.
    whenModal([](QWidget *dialog) { qobject_cast<frmSelectClient *>(dialog)->cmdCancel->click(); });
    frame->mnuMealView->trigger();
    QVERIFY(frame->mdiArea()->subWindowList().isEmpty());

    frmMealView *first = openMealView(*frame, 2);
    QVERIFY(first);
    QCOMPARE(first->szClient, QStringLiteral("Maeve O'Brien"));
    QCOMPARE(first->fCalorieBudget, 1200.f);
    QCOMPARE(first->fFVbudget, 5.f);
    QCOMPARE(first->windowTitle(), QStringLiteral("Meals for Maeve O'Brien [Tue, Aug 13, 2002]"));

    // The same client twice gives two views.
    frmMealView *second = openMealView(*frame, 2);
    QVERIFY(second && second != first);
    QCOMPARE(frame->mdiArea()->subWindowList().size(), 2);
}

void TestMainFrame::mealMenusFollowTheActiveView()
{
    auto frame = startFrame(fixtureDatabase());
    frmMealView *view = openMealView(*frame, 0);
    QVERIFY(view);
    Q_EMIT frame->mnuMeals->aboutToShow();
    QVERIFY(!frame->mnuMealEdit->isEnabled());
    QVERIFY(!frame->mnuMealDelete->isEnabled());

    view->idSelected = 40;
    Q_EMIT frame->mnuMeals->aboutToShow();
    QVERIFY(frame->mnuMealEdit->isEnabled());
    QVERIFY(frame->mnuMealDelete->isEnabled());
    QVERIFY(frame->mnuMealAdd->isEnabled());

    // Another kind of window active: no meal counts as selected.
    QMdiSubWindow *other = addChild(*frame, QStringLiteral("Notes"));
    frame->mdiArea()->setActiveSubWindow(other);
    Q_EMIT frame->mnuMeals->aboutToShow();
    QVERIFY(!frame->mnuMealEdit->isEnabled());
    QVERIFY(!frame->mnuMealDelete->isEnabled());
    QVERIFY(frame->mnuMealView->isEnabled());
    QVERIFY(frame->mnuMealReport->isEnabled());
}

void TestMainFrame::mealPopupMenu()
{
    auto frame = startFrame(fixtureDatabase());
    frmMealView *view = openMealView(*frame, 0);
    QVERIFY(view);
    QTableView *grid = view->dbgMeals;
    QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, QPoint(5, grid->viewport()->height() - 5));
    QTRY_VERIFY(frame->mnuMealPopup->isVisible());
    QVERIFY(frame->mnuMealPopupAdd->isEnabled());
    QVERIFY(!frame->mnuMealPopupEdit->isEnabled());
    QVERIFY(!frame->mnuMealPopupDelete->isEnabled());
    frame->mnuMealPopup->hide();

    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, 3)).center());
    QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, grid->visualRect(grid->model()->index(0, 3)).center());
    QTRY_VERIFY(frame->mnuMealPopup->isVisible());
    QVERIFY(frame->mnuMealPopupEdit->isEnabled());
    QVERIFY(frame->mnuMealPopupDelete->isEnabled());
    frame->mnuMealPopup->hide();
}

void TestMainFrame::deleteFromTheMenu()
{
    auto frame = startFrame(fixtureDatabase());
    frmMealView *view = openMealView(*frame, 0);
    QVERIFY(view);
    // Nothing selected: nothing is asked.
    frame->mnuMealDelete->trigger();
    QVERIFY(MessageBox::shown().isEmpty());

    QTableView *grid = view->dbgMeals;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(1, 3)).center());
    QCOMPARE(view->idSelected, 10);
    MessageBox::setNextAnswer(true);
    frame->mnuMealPopupDelete->trigger();
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().constFirst().text,
             QStringLiteral("Are you sure you want to delete the meal\r\n\"Shake\",  2 packet ?"));
    QCOMPARE(grid->model()->rowCount(), 4);
    QCOMPARE(view->idSelected, 0);
}

void TestMainFrame::reQueryAllMeals()
{
    const QString path = fixtureDatabase();
    auto frame = startFrame(path);
    frmMealView *ann = openMealView(*frame, 0);
    frmMealView *bob = openMealView(*frame, 1);
    QVERIFY(ann && bob);
    QTableView *grid = ann->dbgMeals;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(3, 3)).center());
    QCOMPARE(ann->idSelected, 40);

    QCOMPARE(TestDatabase::execute(path, {QStringLiteral("INSERT INTO Meals (Who, \"When\", Food, Amount, Units) VALUES "
                                                         "('Ann', '2002-08-13 07:00:00', 'Apple', 1, 'each'), "
                                                         "('Bob', '2002-08-13 07:00:00', 'Apple', 1, 'each')")}),
             QString());
    frame->ReQueryAllMeals();
    QCOMPARE(ann->dbgMeals->model()->rowCount(), 6);
    QCOMPARE(bob->dbgMeals->model()->rowCount(), 2);
    // Each view keeps its selected meal.
    QCOMPARE(ann->idSelected, 40);
    const QModelIndexList selected = grid->selectionModel()->selectedRows();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.constFirst().data().toLongLong(), 40);
}

void TestMainFrame::arrangementGeometry()
{
    const QRect area(0, 0, 301, 100);
    QCOMPARE(MdiArrange::stacked(3, area),
             QList<QRect>({QRect(0, 0, 301, 33), QRect(0, 33, 301, 33), QRect(0, 66, 301, 34)}));
    QCOMPARE(MdiArrange::sideBySide(3, area),
             QList<QRect>({QRect(0, 0, 100, 100), QRect(100, 0, 100, 100), QRect(200, 0, 101, 100)}));
    QVERIFY(MdiArrange::stacked(0, area).isEmpty());
    // Three icons fit on a row of 301 pixels; the fourth starts a row above.
    QCOMPARE(MdiArrange::iconRow(4, area, QSize(100, 20)),
             QList<QPoint>({QPoint(0, 80), QPoint(100, 80), QPoint(200, 80), QPoint(0, 60)}));
}

void TestMainFrame::aboutVersionText_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.2.53") << 1 << 2 << 53 << "Version 1.2.53";
    QTest::newRow("1.10.0") << 1 << 10 << 0 << "Version 1.10.0";
    QTest::newRow("0.0.7") << 0 << 0 << 7 << "Version 0.0.7";
}

void TestMainFrame::aboutVersionText()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QFETCH(QString, text);
    QCOMPARE(frmAbout::versionText(major, minor, revision), text);
}

void TestMainFrame::aboutBox()
{
    frmAbout about;
    QCOMPARE(about.windowTitle(), QStringLiteral("About Mealwright"));
    QCOMPARE(about.lblTitle->text(), QStringLiteral("Mealwright"));
    QCOMPARE(about.lblVersion->text(),
             frmAbout::versionText(BuildInfo::major, BuildInfo::minor, BuildInfo::revision));
    QCOMPARE(about.lblCopyright->text(), QString::fromUtf8(BuildInfo::legalNotice));
    QCOMPARE(about.lblTallowmere[0]->text(), QStringLiteral("Tallowmere"));
    QVERIFY(about.lblTallowmere[1]->text().contains(QLatin1Char('@')));
    for (const QLabel *paragraph : about.lblDescription)
        QVERIFY(paragraph->text().size() > 40);
    QCOMPARE(CornucopiaPicture::image().size(), QSize(194, 140));
    QVERIFY(!about.picIcon->pixmap().isNull());
    QVERIFY(about.cmdOK->isDefault());

    // Esc closes the box as OK does.
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QTest::keyClick(&about, Qt::Key_Escape);
    QVERIFY(!about.isVisible());
    about.show();
    QTest::mouseClick(about.cmdOK, Qt::LeftButton);
    QVERIFY(!about.isVisible());
}

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
