#include "Messages.h"
#include "Modal.h"
#include "TestDatabase.h"
#include "deMealwright.h"
#include "frmMainFrame.h"
#include "frmSelectClient.h"
#include "FileDialog.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

namespace {

// Meals, Foods and File > Clients..., which need a database.
QList<bool> dataMenus(const frmMainFrame &frame)
{
    return {frame.mnuMeals->menuAction()->isEnabled(), frame.mnuFoods->menuAction()->isEnabled(),
            frame.mnuFileClients->isEnabled()};
}

} // namespace

// The main frame's start-up, File menu and Window menu, and the client picker.
class TestShell : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_closes = 0;
        QSettings(QStringLiteral("Mealwright"), QStringLiteral("Mealwright")).clear();
        MessageBox::setTestMode(true);
        FileDialog::setTestMode(true);
    }

    void cleanup()
    {
        deMealwright::instance().close();
        m_dir.reset();
    }

    void startUp_data()
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

    void startUp()
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
        const QString openedPath = opened.isEmpty() ? QString() : m_dir->filePath(opened);
        QCOMPARE(deMealwright::instance().path(), openedPath);
        QCOMPARE(dataMenus(*frame), QList<bool>(3, !opened.isEmpty()));
        // The settings keep the last file that opened.
        QCOMPARE(deMealwright::rememberedPath(),
                 opened.isEmpty() ? (remembered.isEmpty() ? QString() : m_dir->filePath(remembered)) : openedPath);
        QVERIFY(frame->mdiArea()->subWindowList().isEmpty());
        const QStringList shown = messages();
        QCOMPARE(shown.size(), message.isEmpty() ? 0 : 1);
        QVERIFY(message.isEmpty() || shown[0].contains(message));
        // Nothing appears on disk: no settings entry for a cancelled start, no file for a gone one.
        if (opened.isEmpty())
            QCOMPARE(TestDatabase::snapshot(m_dir->path()), before);
    }

    void openDuringASession()
    {
        const QString good = database();
        QDir(m_dir->path()).mkdir(QStringLiteral("other files"));
        const QString bad = m_dir->filePath(QStringLiteral("other files/bad.mdb"));
        QVERIFY(QFile::copy(good, bad));
        auto lock = std::make_unique<TestDatabase::LockHolder>(bad, QStringLiteral("BEGIN EXCLUSIVE"));
        auto frame = startFrame(good);
        addChild(*frame, QStringLiteral("one"));
        addChild(*frame, QStringLiteral("two"));

        // Cancel changes nothing.
        frame->mnuFileOpen->trigger();
        QCOMPARE(deMealwright::instance().path(), good);
        QCOMPARE(frame->mdiArea()->subWindowList().size(), 2);

        // A file that cannot open closes what was open, says why, and changes nothing on disk; the
        // settings keep the last good file.
        const auto before = TestDatabase::snapshot(m_dir->path());
        FileDialog::setNextAnswer(bad);
        frame->mnuFileOpen->trigger();
        const QStringList shown = messages();
        const QString opening = "X Mealwright could not open the database\n" + QDir::toNativeSeparators(bad);
        QVERIFY2(shown.size() == 1 && shown[0].startsWith(opening) && shown[0].contains(QStringLiteral("locked")),
                 qPrintable(shown.join('/')));
        QTRY_COMPARE(m_closes, 2);
        QVERIFY(!deMealwright::instance().isOpen());
        QCOMPARE(dataMenus(*frame), QList<bool>(3, false));
        QCOMPARE(deMealwright::rememberedPath(), good);
        QCOMPARE(TestDatabase::snapshot(m_dir->path()), before);

        // Choosing a file, even the one that is open, closes every window and opens it anew; the
        // dialog offers the last chosen file again.
        lock.reset();
        for (int time = 0; time < 2; ++time) {
            addChild(*frame, QStringLiteral("three"));
            FileDialog::setNextAnswer(bad);
            frame->mnuFileOpen->trigger();
            QTRY_COMPARE(m_closes, 3 + time);
            QCOMPARE(deMealwright::rememberedPath(), bad);
            QCOMPARE(dataMenus(*frame), QList<bool>(3, true));
        }
        QCOMPARE(FileDialog::requests().at(0).selectedFile, QString());
        QCOMPARE(FileDialog::requests().at(3).selectedFile, bad);
    }

    void newDiary()
    {
        const QString existing = database();
        auto frame = startFrame(existing);

        // An existing file is refused and the dialog asks again; Cancel there changes nothing.
        FileDialog::setNextAnswer(existing);
        frame->mnuFileNew->trigger();
        QCOMPARE(FileDialog::requests().size(), 2);
        QCOMPARE(FileDialog::requests().constLast().selectedFile, existing);
        QVERIFY(messages().value(0).contains(QStringLiteral("already exists")));
        QCOMPARE(deMealwright::instance().path(), existing);

        // A new name: the empty diary is made, opened and remembered.
        const QString made = m_dir->filePath(QStringLiteral("new diary.mdb"));
        FileDialog::setNextAnswer(made);
        frame->mnuFileNew->trigger();
        QCOMPARE(deMealwright::instance().path(), made);
        QCOMPARE(deMealwright::rememberedPath(), made);
        QCOMPARE(dataMenus(*frame), QList<bool>(3, true));

        // With no client yet, viewing or adding meals points to File > Clients... instead.
        for (QAction *command : {frame->mnuMealView, frame->mnuMealAdd}) {
            command->trigger();
            QVERIFY(!QApplication::activeModalWidget());
        }
        QCOMPARE(messages(), QStringList(2, "! This diary has no clients yet.\n\nAdd one with File > Clients..."));
    }

    void windowCommands()
    {
        auto frame = startFrame(database());
        QMdiArea *area = frame->mdiArea();
        QMdiSubWindow *a = addChild(*frame, QStringLiteral("Meals for Ann"));
        QMdiSubWindow *b = addChild(*frame, QStringLiteral("Fish && Chips"));
        QMdiSubWindow *c = addChild(*frame, QStringLiteral("c"));
        QMdiSubWindow *d = addChild(*frame, QStringLiteral("d"));
        d->showMinimized();
        const QRect viewport = area->viewport()->rect();

        // One above the other, filling the area; the minimised window stays an icon.
        frame->mnuWindowTileHorizontal->trigger();
        for (QMdiSubWindow *window : {a, b, c})
            QCOMPARE(window->width(), viewport.width());
        QCOMPARE(QList<int>({a->y(), b->y(), c->geometry().bottom()}),
                 QList<int>({0, a->geometry().bottom() + 1, viewport.bottom()}));

        // Side by side, a maximised window included.
        b->showMaximized();
        frame->mnuWindowTileVertical->trigger();
        QVERIFY(!b->isMaximized());
        QCOMPARE(QList<int>({a->x(), b->x(), c->geometry().right(), c->height()}),
                 QList<int>({0, a->geometry().right() + 1, viewport.right(), viewport.height()}));

        // Icons line up along the bottom edge, left to right.
        a->showMinimized();
        frame->mnuWindowArrangeIcons->trigger();
        QCOMPARE(a->geometry().bottomLeft(), viewport.bottomLeft());
        QCOMPARE(d->geometry().bottomLeft(), QPoint(a->width(), viewport.bottom()));

        // The Window menu lists each window once, however often it opens, with its ampersands shown.
        frame->mdiArea()->setActiveSubWindow(b);
        Q_EMIT frame->mnuWindow->aboutToShow();
        Q_EMIT frame->mnuWindow->aboutToShow();
        QStringList listed;
        for (QAction *item : frame->mnuWindow->actions().mid(5))
            listed << item->text() + (item->isChecked() ? QStringLiteral(" *") : QString());
        QCOMPARE(listed, QStringList({"", "&1 Meals for Ann", "&2 Fish &&&& Chips *", "&3 c", "&4 d"}));
        frame->mnuWindow->actions().at(6)->trigger();
        QCOMPARE(area->currentSubWindow(), a);
        QVERIFY(!a->isMinimized());

        // Close All closes every child; the database stays open.
        frame->mnuWindowCloseAll->trigger();
        QTRY_COMPARE(m_closes, 4);
        QVERIFY(deMealwright::instance().isOpen());
        QCOMPARE(dataMenus(*frame), QList<bool>(3, true));
    }

    // The client picker: the list read afresh at each showing with nothing selected; OK, Enter
    // or a double-click picks, with the budgets; Cancel, Esc and the close box clear the choice.
    void selectClient()
    {
        QCOMPARE(TestDatabase::execute(database(), {"UPDATE Clients SET CalorieBudget = 1500.5 WHERE Who = 'Bob'"}), QString());
        QVERIFY(deMealwright::instance().open(database()).ok());
        frmSelectClient dialog;
        QListWidget *list = dialog.dblClients;
        const auto chosen = [&dialog] {
            return QStringLiteral("%1 %2 %3").arg(dialog.szClient).arg(dialog.fCalorieBudget).arg(dialog.fFVbudget);
        };
        for (int way = 0; way < 5; ++way) {
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            QCOMPARE(QList<bool>({list->selectedItems().isEmpty(), dialog.cmdOK->isEnabled()}), QList<bool>({true, false}));
            list->setCurrentRow(way % 3);
            QVERIFY(dialog.cmdOK->isEnabled());
            const QStringList picked{"Ann 1500 5", "Bob 1500.5 5", "Maeve O'Brien 1200 5"};
            QCOMPARE(chosen(), picked[way % 3]);
            const QPoint name = list->visualItemRect(list->currentItem()).center();
            switch (way) {
            case 0: dialog.cmdCancel->click(); break;
            case 1: QTest::keyClick(&dialog, Qt::Key_Escape); break;
            case 2: dialog.close(); break;
            case 3: list->setFocus(); QTest::keyClick(list, Qt::Key_Return); break;
            case 4:
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, name);
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, name);
                break;
            }
            QVERIFY(!dialog.isVisible());
            QCOMPARE(chosen(), way < 3 ? QStringLiteral(" 0 0") : picked[way % 3]);
        }
    }

private:
    // The meal fixture, made once per test under this name.
    QString database(const QString &name = QStringLiteral("diary.mdb"));
    std::unique_ptr<frmMainFrame> startFrame(const QString &commandLinePath = QString());
    // A plain child window, standing in for any document window; closed ones are counted.
    QMdiSubWindow *addChild(frmMainFrame &frame, const QString &title);

    std::unique_ptr<QTemporaryDir> m_dir;
    int m_closes = 0;
};

QString TestShell::database(const QString &name)
{
    const QString path = m_dir->filePath(name);
    if (!QFile::exists(path))
        TestDatabase::createMealFixture(path);
    return path;
}

std::unique_ptr<frmMainFrame> TestShell::startFrame(const QString &commandLinePath)
{
    auto frame = std::make_unique<frmMainFrame>();
    frame->start(commandLinePath);
    frame->show();
    return frame;
}

QMdiSubWindow *TestShell::addChild(frmMainFrame &frame, const QString &title)
{
    auto *child = new QWidget;
    child->setWindowTitle(title);
    connect(child, &QObject::destroyed, this, [this] { ++m_closes; });
    QMdiSubWindow *window = frame.mdiArea()->addSubWindow(child);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->resize(200, 150);
    window->show();
    return window;
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
