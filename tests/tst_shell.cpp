#include "BuildInfo.h"
#include "frmStart.h"
#include "MdiArrange.h"
#include "ProgramOptions.h"
#include "Windows.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
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
        // The demo diary is made under here, never in a person's own data folder.
        qputenv("XDG_DATA_HOME", m_dir->filePath(QStringLiteral("data")).toLocal8Bit());
    }

    void cleanup() { deMealwright::instance().close(); }

    void startUp_data()
    {
        QTest::addColumn<QString>("remembered");  // the file in the settings at start
        QTest::addColumn<QStringList>("recent");  // the recent diaries in the settings at start
        QTest::addColumn<QString>("commandLine"); // the file named on the command line
        QTest::addColumn<QString>("choice");      // in the start dialog (and the file chosen); empty: none
        QTest::addColumn<QString>("opened");      // the file open afterwards
        QTest::addColumn<QStringList>("shown");   // what the start dialog showed, %1 the folder
        const QStringList none;
        QTest::newRow("remembered") << "diary.mdb" << none << "" << "" << "diary.mdb" << none;
        // A relative path on the command line is taken from the current folder.
        QTest::newRow("command line") << "diary.mdb" << none << "given.mdb" << "" << "given.mdb" << none;
        QTest::newRow("first start, new") << "" << none << "" << "new made.mdb" << "made.mdb" << none;
        QTest::newRow("first start, open") << "" << none << "" << "open given.mdb" << "given.mdb" << none;
        QTest::newRow("first start, demo") << "" << none << "" << "demo" << "demo.mdb" << none;
        // Settings from before the recent list offer the remembered diary.
        QTest::newRow("remembered locked") << "locked.mdb" << none << "" << "recent" << "" << QStringList{"locked.mdb (in %1)"};
        QTest::newRow("remembered gone") << "moved away.mdb" << QStringList{"given.mdb", "moved away.mdb", "diary.mdb"} << ""
                                         << "recent" << "given.mdb"
                                         << QStringList{"The diary you used last, %1/moved away.mdb, is no longer there.",
                                                        "given.mdb (in %1)", "diary.mdb (in %1)"};
    }

    void startUp()
    {
        QFETCH(QString, remembered);
        QFETCH(QStringList, recent);
        QFETCH(QString, commandLine);
        QFETCH(QString, choice);
        QFETCH(QString, opened);
        QFETCH(QStringList, shown);
        database(QStringLiteral("diary.mdb"));
        database(QStringLiteral("given.mdb"));
        const TestDatabase::LockHolder lock(database(QStringLiteral("locked.mdb")), QStringLiteral("BEGIN EXCLUSIVE"));
        if (!remembered.isEmpty())
            deMealwright::rememberPath(m_dir->filePath(remembered));
        if (!recent.isEmpty())
            QSettings(QStringLiteral("Mealwright"), QStringLiteral("Mealwright"))
                .setValue(QStringLiteral("Database/Recent"), recent.replaceInStrings(QRegularExpression(QStringLiteral("^")), m_dir->path() + '/'));
        if (choice.contains(QLatin1Char(' ')))
            FileDialog::setNextAnswer(m_dir->filePath(choice.section(QLatin1Char(' '), 1)));

        QStringList seen;
        bool asked = false;
        onStartDialog([&](frmStart *start) {
            asked = true;
            if (start->lblGone->isVisibleTo(start))
                seen << start->lblGone->text();
            for (int row = 0; row < start->lstRecent->count(); ++row)
                seen << start->lstRecent->item(row)->text();
            if (choice == "recent")
                QTest::keyClick(start->lstRecent, Qt::Key_Return); // the first, current at first
            else
                (choice.startsWith("new") ? start->cmdNew : choice.startsWith("open") ? start->cmdOpen
                                          : start->cmdDemo)->click();
        });
        const QString previous = QDir::currentPath();
        QDir::setCurrent(m_dir->path());
        auto frame = startFrame(commandLine);
        QDir::setCurrent(previous);
        QApplication::processEvents(); // when no dialog showed
        QCOMPARE(asked, !choice.isEmpty());
        QCOMPARE(seen, shown.replaceInStrings(QStringLiteral("%1"), QDir::toNativeSeparators(m_dir->path())));

        const QString path = deMealwright::instance().path();
        QCOMPARE(QFileInfo(path).fileName(), opened);
        QCOMPARE(frame->windowTitle(), opened.isEmpty() ? QStringLiteral("Mealwright") : opened + QStringLiteral(" - Mealwright"));
        QCOMPARE(dataMenus(*frame), QList<bool>(3, !opened.isEmpty()));
        // The settings keep the last file that opened; a gone one stays, in case it comes back.
        QCOMPARE(QFileInfo(deMealwright::rememberedPath()).fileName(), opened.isEmpty() ? remembered : opened);
        if (choice == "demo") {
            QVERIFY2(path.startsWith(m_dir->filePath(QStringLiteral("data/"))), qPrintable(path));
            QCOMPARE(rows(QStringLiteral("SELECT COUNT(*) FROM Clients")), QStringList("3"));
        }
        // A locked diary says why at start, and again when it is chosen in the dialog.
        QCOMPARE(messages().size(), remembered == "locked.mdb" ? 2 : 0);
    }

    // The start dialog stays open while what was chosen does not open a diary, and lists the
    // recent diaries afresh.
    void startDialogStays()
    {
        const QString junk = m_dir->filePath(QStringLiteral("notes.mdb"));
        QVERIFY(QFile(junk).open(QIODevice::WriteOnly)); // empty: not a diary
        const QString gone = m_dir->filePath(QStringLiteral("gone.mdb"));
        QSettings(QStringLiteral("Mealwright"), QStringLiteral("Mealwright")).setValue(QStringLiteral("Database/Recent"), QStringList{gone, junk});
        // The data folder is a file: the demo diary cannot be made.
        QFile(m_dir->filePath(QStringLiteral("data"))).open(QIODevice::WriteOnly);

        QList<int> seen; // the diaries listed, then whether the dialog is open, after Enter and Cancel
        onStartDialog([&](frmStart *start) {
            FileDialog::setNextAnswer(junk);
            start->cmdOpen->click();
            start->cmdNew->click(); // cancelled
            start->cmdDemo->click();
            QTest::keyClick(start->lstRecent, Qt::Key_Return);
            seen << start->lstRecent->count() << start->isVisible();
            start->cmdCancel->click();
            seen << start->isVisible();
        });
        auto frame = startFrame();
        QCOMPARE(seen, QList<int>({1, true, false}));
        // Enter on the list acts on the list alone: no file dialog follows it.
        QCOMPARE(FileDialog::requests().size(), 2);
        QCOMPARE(messages().replaceInStrings(QRegularExpression(QStringLiteral("\n\n.*")), QString()),
                 QStringList({"X Mealwright could not open the database\n" + QDir::toNativeSeparators(junk),
                              QStringLiteral("X Mealwright could not make the demo diary\n") + m_dir->filePath(QStringLiteral("data/tst_shell/demo.mdb")),
                              "X The diary " + QDir::toNativeSeparators(gone) + " is no longer there."}));
        QCOMPARE(frame->windowTitle(), QStringLiteral("Mealwright"));
    }

    // File lists the last four diaries opened, the most recent first, each once, between its
    // commands and Exit; one that is gone is taken off with a message.
    void recentDiaries()
    {
        const QStringList names{"a.mdb", "b.mdb", "c & d.mdb", "e.mdb", "f.mdb"};
        for (const QString &name : names)
            database(name);
        QDir(m_dir->path()).mkdir(QStringLiteral("sub"));
        auto frame = startFrame(m_dir->filePath(names[0]));
        for (const QString &name : names.mid(1)) {
            FileDialog::setNextAnswer(m_dir->filePath(name));
            frame->mnuFileOpen->trigger();
        }
        // The same file by another way of writing it is not listed twice.
        FileDialog::setNextAnswer(m_dir->filePath(QStringLiteral("sub/../e.mdb")));
        frame->mnuFileOpen->trigger();
        QCOMPARE(frame->windowTitle(), QStringLiteral("e.mdb - Mealwright"));

        Q_EMIT frame->mnuFile->aboutToShow(); // made afresh each time, never twice
        QCOMPARE(fileMenu(*frame), QStringList({"&New...", "&Open...", "Open &Server...", "&Clients...", "-", "&1 e.mdb", "&2 f.mdb", "&3 c && d.mdb",
                                     "&4 b.mdb", "-", "E&xit"}));
        QCOMPARE(frame->mnuFileRecent.at(2)->toolTip(), QDir::toNativeSeparators(m_dir->filePath(names[2])));

        // A gone diary is taken off; the one open stays open.
        QVERIFY(QFile::remove(m_dir->filePath(names[1])));
        frame->mnuFileRecent.at(3)->trigger();
        QCOMPARE(messages().size(), 1);
        QCOMPARE(frame->windowTitle(), QStringLiteral("e.mdb - Mealwright"));
        frame->mnuFileRecent.at(2)->trigger();
        QCOMPARE(frame->windowTitle(), QStringLiteral("c & d.mdb - Mealwright"));
        QCOMPARE(fileMenu(*frame).mid(5, 3), QStringList({"&1 c && d.mdb", "&2 e.mdb", "&3 f.mdb"}));
        QVERIFY(messages().isEmpty());
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("result"); // the diary, or the problem
        using O = ProgramOptions::Outcome;
        QTest::newRow("a file") << QStringList{"clinic.mdb"} << int(O::Run) << "clinic.mdb";
        QTest::newRow("a dash after --") << QStringList{"--", "-dash.mdb"} << int(O::Run) << "-dash.mdb";
        QTest::newRow("a dash") << QStringList{"-dash.mdb"} << int(O::UsageError) << "Unknown option 'dash.mdb'.";
        QTest::newRow("Qt's options") << QStringList{"-platform", "offscreen", "-reverse", "clinic.mdb", "-style", "fusion"}
                                      << int(O::Run) << "clinic.mdb";
        QTest::newRow("unknown") << QStringList{"--foo", "clinic.mdb"} << int(O::UsageError) << "Unknown option 'foo'.";
        QTest::newRow("two files") << QStringList{"a.mdb", "b.mdb"} << int(O::UsageError) << "one diary at a time, not 2.";
        QTest::newRow("help") << QStringList{"clinic.mdb", "-h"} << int(O::Help) << "";
        QTest::newRow("version") << QStringList{"-v"} << int(O::Version) << "";
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, outcome);
        QFETCH(QString, result);
        ProgramOptions options;
        QCOMPARE(int(options.parse(QStringList(QStringLiteral("mealwright")) + arguments)), outcome);
        QCOMPARE(outcome == int(ProgramOptions::Outcome::UsageError) ? options.problem() : options.diaryPath(), result);
    }

    // Help, the version and a mistake are answered without a display.
    void programWithoutDisplay_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QStringList>("result"); // the exit status, standard output, standard error
        const QString version = QStringLiteral("mealwright %1.%2.%3\n").arg(BuildInfo::major).arg(BuildInfo::minor).arg(BuildInfo::revision);
        QTest::newRow("version") << "--version" << QStringList{"0", version, ""};
        QTest::newRow("unknown") << "--foo" << QStringList{"2", "", "mealwright: Unknown option 'foo'. Try 'mealwright --help' for more information.\n"};
    }

    void programWithoutDisplay()
    {
        QFETCH(QString, argument);
        QFETCH(QStringList, result);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb")); // would abort with no display
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(MEALWRIGHT_PROGRAM), {argument});
        QVERIFY(program.waitForFinished(30000) && program.exitStatus() == QProcess::NormalExit);
        QCOMPARE(QStringList({QString::number(program.exitCode()), QString::fromLocal8Bit(program.readAllStandardOutput()),
                              QString::fromLocal8Bit(program.readAllStandardError())}), result);
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
        QCOMPARE(frame->windowTitle(), QStringLiteral("Mealwright"));
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
    // Acts on the start dialog when the frame's start shows it, and is gone before the next test
    // either way; a dialog the act leaves open is cancelled.
    void onStartDialog(std::function<void(frmStart *)> act)
    {
        QTimer::singleShot(0, this, [act] {
            if (auto *start = qobject_cast<frmStart *>(QApplication::activeModalWidget())) {
                act(start);
                if (start->isVisible())
                    start->reject();
            }
        });
    }

    // File's items as it opens, a separator as "-".
    static QStringList fileMenu(frmMainFrame &frame)
    {
        Q_EMIT frame.mnuFile->aboutToShow();
        QStringList items;
        for (QAction *item : frame.mnuFile->actions())
            items << (item->isSeparator() ? QStringLiteral("-") : item->text());
        return items;
    }

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
