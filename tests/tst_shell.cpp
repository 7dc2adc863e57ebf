#include "MdiArrange.h"
#include "Windows.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QSettings>

// The main frame's start-up and its File and Window menus.
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

    void cleanup() { deMealwright::instance().close(); }

    void startUp_data()
    {
        QTest::addColumn<QString>("remembered");  // the file in the settings at start
        QTest::addColumn<QString>("commandLine"); // the file named on the command line
        QTest::addColumn<QString>("chosen");      // the answer to the file dialog; empty: Cancel
        QTest::addColumn<QString>("opened");      // "asked" first when the dialog asked
        QTest::addColumn<QString>("message");
        QTest::newRow("first start") << "" << "" << "diary.mdb" << "asked diary.mdb" << "";
        QTest::newRow("first start, cancelled") << "" << "" << "" << "asked " << "";
        QTest::newRow("remembered") << "diary.mdb" << "" << "" << "diary.mdb" << "";
        // A relative path on the command line is taken from the current folder.
        QTest::newRow("command line") << "diary.mdb" << "given.mdb" << "" << "given.mdb" << "";
        QTest::newRow("remembered file gone") << "moved away.mdb" << "" << "" << "" << "does not exist";
    }

    void startUp()
    {
        QFETCH(QString, remembered);
        QFETCH(QString, commandLine);
        QFETCH(QString, chosen);
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

        const QString file = opened.mid(opened.startsWith(QLatin1String("asked ")) ? 6 : 0);
        const QString asked = FileDialog::requests().isEmpty() ? QString() : QStringLiteral("asked ");
        QCOMPARE(asked + QFileInfo(deMealwright::instance().path()).fileName(), opened);
        QCOMPARE(dataMenus(*frame), QList<bool>(3, !file.isEmpty()));
        // The settings keep the last file that opened.
        QCOMPARE(QFileInfo(deMealwright::rememberedPath()).fileName(), file.isEmpty() ? remembered : file);
        QVERIFY(frame->mdiArea()->subWindowList().isEmpty());
        const QStringList shown = messages();
        QVERIFY2(shown.size() == (message.isEmpty() ? 0 : 1) && shown.value(0).contains(message), qPrintable(shown.join('/')));
        // Nothing appears on disk: no settings entry for a cancelled start, no file for a gone one.
        if (file.isEmpty())
            QCOMPARE(TestDatabase::snapshot(m_dir->path()), before);
    }

    // A name in a message is shown as it is: markup in it is not obeyed.
    void messagesArePlainText()
    {
        MessageBox::setTestMode(false);
        Qt::TextFormat format = Qt::AutoText;
        whenShown<QMessageBox>([&](QMessageBox *box) { format = box->textFormat(); box->accept(); });
        MessageBox::note(nullptr, QStringLiteral("<b>Al</b><br><font size=6>ALL 3 CLIENTS</font>"));
        MessageBox::setTestMode(true);
        QCOMPARE(format, Qt::PlainText);
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

        // A file that cannot open closes what was open, says why, and changes nothing on disk;
        // the settings keep the last good file.
        const auto before = TestDatabase::snapshot(m_dir->path());
        FileDialog::setNextAnswer(bad);
        frame->mnuFileOpen->trigger();
        const QStringList shown = messages();
        const QString opening = "X Mealwright could not open the database\n" + QDir::toNativeSeparators(bad);
        QVERIFY2(shown.size() == 1 && shown[0].startsWith(opening) && shown[0].contains(QStringLiteral("locked")),
                 qPrintable(shown.join('/')));
        QTRY_COMPARE(m_closes, 2);
        QCOMPARE(dataMenus(*frame), QList<bool>(3, false));
        QCOMPARE(deMealwright::rememberedPath(), good);
        QCOMPARE(TestDatabase::snapshot(m_dir->path()), before);

        // The file, once free, opens; choosing it again, while it is open, closes every window and
        // opens it anew. The dialog offers the last chosen file again.
        lock.reset();
        for (int time = 0; time < 2; ++time) {
            addChild(*frame, QStringLiteral("three"));
            FileDialog::setNextAnswer(bad);
            frame->mnuFileOpen->trigger();
            QTRY_COMPARE(m_closes, 3 + time);
        }
        QCOMPARE(QStringList({deMealwright::rememberedPath(), FileDialog::requests().at(3).selectedFile}), QStringList(2, bad));
        QCOMPARE(dataMenus(*frame), QList<bool>(3, true));
    }

    void newDiary()
    {
        const QString existing = database();
        auto frame = startFrame(existing);
        // An existing file is refused and the dialog asks again; Cancel there changes nothing.
        FileDialog::setNextAnswer(existing);
        frame->mnuFileNew->trigger();
        QCOMPARE(FileDialog::requests().size(), 2);
        QVERIFY(messages().value(0).contains(QStringLiteral("already exists")));
        QCOMPARE(deMealwright::instance().path(), existing);

        // A new name: the empty diary is made, opened and remembered.
        const QString made = m_dir->filePath(QStringLiteral("new diary.mdb"));
        FileDialog::setNextAnswer(made);
        frame->mnuFileNew->trigger();
        QCOMPARE(QStringList({deMealwright::instance().path(), deMealwright::rememberedPath()}), QStringList(2, made));
        QCOMPARE(dataMenus(*frame), QList<bool>(3, true));

        // With no client yet, viewing or adding meals points to File > Clients... instead.
        for (QAction *command : {frame->mnuMealView, frame->mnuMealAdd})
            command->trigger();
        QCOMPARE(messages(), QStringList(2, "! This diary has no clients yet.\n\nAdd one with File > Clients..."));
    }

    void windowCommands()
    {
        // The arrangements: left-over pixels go to the last window; icons fill rows from the
        // bottom-left corner up.
        QCOMPARE(MdiArrange::stacked(3, {10, 20, 100, 50}), QList<QRect>({{10, 20, 100, 16}, {10, 36, 100, 16}, {10, 52, 100, 18}}));
        QCOMPARE(MdiArrange::sideBySide(2, {0, 0, 101, 40}), QList<QRect>({{0, 0, 50, 40}, {50, 0, 51, 40}}));
        QCOMPARE(MdiArrange::iconRow(3, {0, 0, 100, 100}, {40, 10}), QList<QPoint>({{0, 90}, {40, 90}, {0, 80}}));

        auto frame = startFrame(database());
        QMdiSubWindow *a = addChild(*frame, QStringLiteral("Meals for Ann"));
        QMdiSubWindow *b = addChild(*frame, QStringLiteral("Fish && Chips"));
        a->showMinimized();
        frame->mdiArea()->setActiveSubWindow(b);
        // The Window menu lists each window once, however often it opens, ampersands shown; its
        // items restore and activate their window.
        Q_EMIT frame->mnuWindow->aboutToShow();
        Q_EMIT frame->mnuWindow->aboutToShow();
        QStringList listed;
        for (QAction *item : frame->mnuWindow->actions().mid(5))
            listed << item->text() + (item->isChecked() ? QStringLiteral(" *") : QString());
        QCOMPARE(listed, QStringList({"", "&1 Meals for Ann", "&2 Fish &&&& Chips *"}));
        frame->mnuWindow->actions().at(6)->trigger();
        QCOMPARE(QList<bool>({frame->mdiArea()->currentSubWindow() == a, a->isMinimized()}), QList<bool>({true, false}));
        // Close All closes every child; the database stays open.
        frame->mnuWindowCloseAll->trigger();
        QTRY_COMPARE(m_closes, 2);
        QCOMPARE(dataMenus(*frame), QList<bool>(3, true));
    }

private:
    // Meals, Foods and File > Clients..., which need a database.
    static QList<bool> dataMenus(const frmMainFrame &frame)
    {
        return {frame.mnuMeals->menuAction()->isEnabled(), frame.mnuFoods->menuAction()->isEnabled(),
                frame.mnuFileClients->isEnabled()};
    }

    // The meal fixture, made once per test under this name.
    QString database(const QString &name = QStringLiteral("diary.mdb"))
    {
        const QString path = m_dir->filePath(name);
        if (!QFile::exists(path))
            TestDatabase::createMealFixture(path);
        return path;
    }

    // A plain child window, standing in for any document window; closed ones are counted.
    QMdiSubWindow *addChild(frmMainFrame &frame, const QString &title)
    {
        auto *child = new QWidget;
        child->setWindowTitle(title);
        connect(child, &QObject::destroyed, this, [this] { ++m_closes; });
        QMdiSubWindow *window = frame.mdiArea()->addSubWindow(child);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        return window;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    int m_closes = 0;
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
