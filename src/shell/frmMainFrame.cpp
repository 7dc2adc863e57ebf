#include "frmMainFrame.h"

#include "BuildInfo.h"
#include "Catalogue.h"
#include "Clients.h"
#include "Connection.h"
#include "Clock.h"
#include "deMealwright.h"
#include "DemoData.h"
#include "EntryChecks.h"
#include "frmAbout.h"
#include "frmClients.h"
#include "frmCopyMeals.h"
#include "frmEditFood.h"
#include "frmEditMeal.h"
#include "frmFoodImport.h"
#include "frmFoodView.h"
#include "frmMealTrend.h"
#include "frmMealView.h"
#include "frmOpenServer.h"
#include "frmPrintReport.h"
#include "frmSearchOptions.h"
#include "frmSelectClient.h"
#include "frmStart.h"
#include "MdiArrange.h"
#include "MealCsv.h"
#include "MealReportCommand.h"
#include "MessageBox.h"
#include "NewDiary.h"
#include "PasswordStore.h"
#include "RecentDiaries.h"
#include "ServerAddress.h"
#include "Twips.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QStandardPaths>

namespace {

QMenu *addMenu(QWidget *owner, const char *name, const QString &caption)
{
    auto *menu = new QMenu(caption, owner);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction *addItem(QMenu *menu, const char *name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace

frmMainFrame::frmMainFrame(QWidget *parent)
    : QMainWindow(parent)
    , m_mdiArea(new QMdiArea(this))
{
    setObjectName(QStringLiteral("frmMainFrame"));
    setWindowTitle(QString::fromUtf8(BuildInfo::title));
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);

    cdlOpenFile.title = QStringLiteral("Open Database");
    cdlOpenFile.filter = QStringLiteral("Database Files (*.mdb);;All files (*)");
    cdlOpenFile.defaultSuffix = QStringLiteral("mdb");
    cdlNewFile = cdlOpenFile;
    cdlNewFile.title = QStringLiteral("New Database");
    // A new diary starts with the food catalogue unless the box is cleared; the choice holds
    // for the next File > New... of the run.
    cdlNewFile.checkBox = QStringLiteral("Start with the food &catalogue");
    cdlNewFile.checked = true;
    cdlExport.title = QStringLiteral("Export Meals");
    cdlExport.filter = QStringLiteral("CSV files (*.csv);;All files (*)");
    cdlExport.defaultSuffix = QStringLiteral("csv");
    cdlExport.checkBox = QStringLiteral("One line per &day, with the budget");

    createMenus();
    connectCommands();
    resize(twips(8964), twips(6528) + menuBar()->sizeHint().height());
}

frmMainFrame::~frmMainFrame() = default;

void frmMainFrame::createMenus()
{
    mnuFile = addMenu(this, "mnuFile", QStringLiteral("&File"));
    mnuFileNew = addItem(mnuFile, "mnuFileNew", QStringLiteral("&New..."));
    mnuFileOpen = addItem(mnuFile, "mnuFileOpen", QStringLiteral("&Open..."));
    mnuFileOpenServer = addItem(mnuFile, "mnuFileOpenServer", QStringLiteral("Open &Server..."));
    mnuFileClients = addItem(mnuFile, "mnuFileClients", QStringLiteral("&Clients..."));
    mnuFileExit = addItem(mnuFile, "mnuFileExit", QStringLiteral("E&xit"));

    mnuMeals = addMenu(this, "mnuMeals", QStringLiteral("&Meals"));
    mnuMealAdd = addItem(mnuMeals, "mnuMealAdd", QStringLiteral("&Add..."));
    mnuMealEdit = addItem(mnuMeals, "mnuMealEdit", QStringLiteral("&Edit..."));
    mnuMealDelete = addItem(mnuMeals, "mnuMealDelete", QStringLiteral("&Delete..."));
    mnuMealCopy = addItem(mnuMeals, "mnuMealCopy", QStringLiteral("&Copy To..."));
    mnuMealView = addItem(mnuMeals, "mnuMealView", QStringLiteral("&View..."));
    mnuMealReport = addItem(mnuMeals, "mnuMealReport", QStringLiteral("&Report"));
    mnuMealTrend = addItem(mnuMeals, "mnuMealTrend", QStringLiteral("&Trend..."));
    mnuMealExport = addItem(mnuMeals, "mnuMealExport", QStringLiteral("E&xport..."));

    mnuFoods = addMenu(this, "mnuFoods", QStringLiteral("&Foods"));
    mnuFoodAdd = addItem(mnuFoods, "mnuFoodAdd", QStringLiteral("&Add..."));
    mnuFoodEdit = addItem(mnuFoods, "mnuFoodEdit", QStringLiteral("&Edit..."));
    mnuFoodDelete = addItem(mnuFoods, "mnuFoodDelete", QStringLiteral("&Delete..."));
    mnuFoodFind = addItem(mnuFoods, "mnuFoodFind", QStringLiteral("&Find..."));
    mnuFoodImport = addItem(mnuFoods, "mnuFoodImport", QStringLiteral("&Import..."));
    mnuFoodView = addItem(mnuFoods, "mnuFoodView", QStringLiteral("&View..."));
    mnuFoodReport = addItem(mnuFoods, "mnuFoodReport", QStringLiteral("&Report..."));
    mnuFoodReport->setEnabled(false);

    mnuWindow = addMenu(this, "mnuWindow", QStringLiteral("&Window"));
    mnuWindowTileHorizontal = addItem(mnuWindow, "mnuWindowTileHorizontal", QStringLiteral("Tile &Horizontally"));
    mnuWindowTileVertical = addItem(mnuWindow, "mnuWindowTileVertical", QStringLiteral("Tile &Vertically"));
    mnuWindowCascade = addItem(mnuWindow, "mnuWindowCascade", QStringLiteral("&Cascade"));
    mnuWindowArrangeIcons = addItem(mnuWindow, "mnuWindowArrangeIcons", QStringLiteral("&Arrange Icons"));
    mnuWindowCloseAll = addItem(mnuWindow, "mnuWindowCloseAll", QStringLiteral("Close A&ll"));

    mnuHelp = addMenu(this, "mnuHelp", QStringLiteral("&Help"));
    mnuHelpAbout = addItem(mnuHelp, "mnuHelpAbout", QStringLiteral("&About..."));

    for (QMenu *menu : {mnuFile, mnuMeals, mnuFoods, mnuWindow, mnuHelp})
        menuBar()->addMenu(menu);

    // The context menus are never in the menu bar.
    mnuMealPopup = addMenu(this, "mnuMealPopup", QStringLiteral("Meal Popup"));
    mnuMealPopupAdd = addItem(mnuMealPopup, "mnuMealPopupAdd", QStringLiteral("&Add..."));
    mnuMealPopupEdit = addItem(mnuMealPopup, "mnuMealPopupEdit", QStringLiteral("&Edit..."));
    mnuMealPopupDelete = addItem(mnuMealPopup, "mnuMealPopupDelete", QStringLiteral("&Delete..."));
    mnuMealPopupCopy = addItem(mnuMealPopup, "mnuMealPopupCopy", QStringLiteral("&Copy To..."));

    mnuFoodPopup = addMenu(this, "mnuFoodPopup", QStringLiteral("Food Popup"));
    mnuFoodPopupAdd = addItem(mnuFoodPopup, "mnuFoodPopupAdd", QStringLiteral("&Add..."));
    mnuFoodPopupEdit = addItem(mnuFoodPopup, "mnuFoodPopupEdit", QStringLiteral("&Edit..."));
    mnuFoodPopupDelete = addItem(mnuFoodPopup, "mnuFoodPopupDelete", QStringLiteral("&Delete..."));
    mnuFoodPopupFind = addItem(mnuFoodPopup, "mnuFoodPopupFind", QStringLiteral("&Find..."));
}

void frmMainFrame::connectCommands()
{
    connect(mnuFileNew, &QAction::triggered, this, &frmMainFrame::mnuFileNew_click);
    connect(mnuFileOpen, &QAction::triggered, this, &frmMainFrame::OpenDatabase);
    connect(mnuFileOpenServer, &QAction::triggered, this, &frmMainFrame::mnuFileOpenServer_click);
    connect(mnuFile, &QMenu::aboutToShow, this, &frmMainFrame::mnuFile_aboutToShow);
    connect(mnuFileClients, &QAction::triggered, this, &frmMainFrame::mnuFileClients_click);
    // Exit ends the run at once: nothing is asked, no window is closed one by one.
    connect(mnuFileExit, &QAction::triggered, this, [] { QCoreApplication::exit(0); });

    connect(mnuMeals, &QMenu::aboutToShow, this, &frmMainFrame::mnuMeals_aboutToShow);
    connect(mnuFoods, &QMenu::aboutToShow, this, &frmMainFrame::mnuFoods_aboutToShow);
    connect(mnuWindow, &QMenu::aboutToShow, this, &frmMainFrame::mnuWindow_aboutToShow);

    connect(mnuWindowTileHorizontal, &QAction::triggered, this, [this] { MdiArrange::tileHorizontally(m_mdiArea); });
    connect(mnuWindowTileVertical, &QAction::triggered, this, [this] { MdiArrange::tileVertically(m_mdiArea); });
    connect(mnuWindowCascade, &QAction::triggered, m_mdiArea, &QMdiArea::cascadeSubWindows);
    connect(mnuWindowArrangeIcons, &QAction::triggered, this, [this] { MdiArrange::arrangeIcons(m_mdiArea); });
    connect(mnuWindowCloseAll, &QAction::triggered, this, &frmMainFrame::CloseAllChildWindows);

    for (QAction *add : {mnuMealAdd, mnuMealPopupAdd})
        connect(add, &QAction::triggered, this, &frmMainFrame::mnuMealAdd_click);
    for (QAction *edit : {mnuMealEdit, mnuMealPopupEdit})
        connect(edit, &QAction::triggered, this, &frmMainFrame::mnuMealEdit_click);
    for (QAction *add : {mnuFoodAdd, mnuFoodPopupAdd})
        connect(add, &QAction::triggered, this, &frmMainFrame::mnuFoodAdd_click);
    for (QAction *edit : {mnuFoodEdit, mnuFoodPopupEdit})
        connect(edit, &QAction::triggered, this, &frmMainFrame::mnuFoodEdit_click);
    for (QAction *remove : {mnuFoodDelete, mnuFoodPopupDelete})
        connect(remove, &QAction::triggered, this, &frmMainFrame::mnuFoodDelete_click);
    for (QAction *find : {mnuFoodFind, mnuFoodPopupFind})
        connect(find, &QAction::triggered, this, &frmMainFrame::mnuFoodFind_click);
    connect(mnuFoodView, &QAction::triggered, this, &frmMainFrame::mnuFoodView_click);
    connect(mnuFoodImport, &QAction::triggered, this, &frmMainFrame::mnuFoodImport_click);
    connect(mnuMealView, &QAction::triggered, this, &frmMainFrame::mnuMealView_click);
    connect(mnuMealReport, &QAction::triggered, this, &frmMainFrame::mnuMealReport_click);
    connect(mnuMealExport, &QAction::triggered, this, &frmMainFrame::mnuMealExport_click);
    connect(mnuMealTrend, &QAction::triggered, this, &frmMainFrame::mnuMealTrend_click);
    connect(mnuMealDelete, &QAction::triggered, this, &frmMainFrame::mnuMealDelete_click);
    connect(mnuMealPopupDelete, &QAction::triggered, this, &frmMainFrame::mnuMealDelete_click);
    for (QAction *copy : {mnuMealCopy, mnuMealPopupCopy})
        connect(copy, &QAction::triggered, this, &frmMainFrame::mnuMealCopy_click);

    connect(mnuHelpAbout, &QAction::triggered, this, &frmMainFrame::mnuHelpAbout_click);
}

void frmMainFrame::start(const QString &commandLinePath)
{
    EnableDataMenus(false);
    showDiaryName();
    if (!commandLinePath.isEmpty()) {
        openDatabaseFile(ServerAddress::isAddress(commandLinePath) ? commandLinePath
                                                                   : QFileInfo(commandLinePath).absoluteFilePath());
        return;
    }
    const QString remembered = deMealwright::rememberedPath();
    QString gone;
    if (!remembered.isEmpty() && !ServerAddress::isAddress(remembered) && !QFileInfo::exists(remembered)) {
        // Kept as the remembered diary, in case it comes back (a drive not mounted yet).
        gone = remembered;
        RecentDiaries::remove(gone);
    } else if (!remembered.isEmpty() && openDatabaseFile(remembered)) {
        return;
    }
    showStart(gone);
}

void frmMainFrame::showStart(const QString &gone)
{
    frmStart dialog(this, [this](frmStart::Choice choice, const QString &path) {
        switch (choice) {
        case frmStart::Choice::New:
            return mnuFileNew_click();
        case frmStart::Choice::Open:
            return OpenDatabase();
        case frmStart::Choice::OpenServer:
            return mnuFileOpenServer_click();
        case frmStart::Choice::Demo:
            return openDemoDiary();
        case frmStart::Choice::Recent:
            return openRecent(path);
        }
        return false;
    });
    dialog.setGoneDiary(gone);
    dialog.exec();
}

bool frmMainFrame::OpenDatabase()
{
    const QString path = FileDialog::openExistingFile(this, cdlOpenFile);
    if (path.isEmpty())
        return deMealwright::instance().isOpen(); // cancelled: nothing changes
    cdlOpenFile.selectedFile = path;
    return openDatabaseFile(path);
}

bool frmMainFrame::openRecent(const QString &path)
{
    if (!ServerAddress::isAddress(path) && !QFileInfo::exists(path)) {
        RecentDiaries::remove(path);
        MessageBox::critical(this, QStringLiteral("The diary %1 is no longer there.\n\nIt has been taken off the list of "
                                                  "recent diaries.")
                                       .arg(QDir::toNativeSeparators(path)));
        return deMealwright::instance().isOpen();
    }
    return openDatabaseFile(path);
}

bool frmMainFrame::openDemoDiary()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString path = QDir(folder).filePath(QStringLiteral("demo.mdb"));
    if (!QFileInfo::exists(path)) {
        const QString what = QStringLiteral("Mealwright could not make the demo diary\n%1").arg(QDir::toNativeSeparators(path));
        if (folder.isEmpty() || !QDir().mkpath(folder)) {
            MessageBox::failure(this, what, QStringLiteral("The folder %1 could not be made.").arg(QDir::toNativeSeparators(folder)));
            return false;
        }
        if (const Status made = DemoData::createFile(path, Clock::today()); !made) {
            MessageBox::failure(this, what, made.reason());
            return false;
        }
    }
    return openDatabaseFile(path);
}

void frmMainFrame::showDiaryName()
{
    const QString program = QString::fromUtf8(BuildInfo::title);
    const QString &path = deMealwright::instance().path();
    setWindowTitle(path.isEmpty() ? program : QStringLiteral("%1 - %2").arg(RecentDiaries::shortName(path), program));
}

void frmMainFrame::mnuFile_aboutToShow()
{
    for (QAction *action : std::as_const(mnuFileRecent) + m_recentSeparators) {
        mnuFile->removeAction(action);
        action->deleteLater();
    }
    mnuFileRecent.clear();
    m_recentSeparators.clear();
    const QStringList paths = RecentDiaries::list();
    if (paths.isEmpty())
        return;
    m_recentSeparators << mnuFile->insertSeparator(mnuFileExit);
    for (int i = 0; i < paths.size(); ++i) {
        QString name = RecentDiaries::shortName(paths[i]);
        QAction *item = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name.replace(QLatin1Char('&'), QStringLiteral("&&"))), mnuFile);
        item->setToolTip(RecentDiaries::fullName(paths[i]));
        item->setStatusTip(item->toolTip());
        connect(item, &QAction::triggered, this, [this, path = paths[i]] { openRecent(path); });
        mnuFile->insertAction(mnuFileExit, item);
        mnuFileRecent << item;
    }
    m_recentSeparators << mnuFile->insertSeparator(mnuFileExit);
}

bool frmMainFrame::openDatabaseFile(const QString &path)
{
    if (ServerAddress::isAddress(path))
        return openServerAddress(path);
    CloseDatabase();
    const OpenResult result = deMealwright::instance().open(path);
    if (!result.ok()) {
        MessageBox::failure(this, QStringLiteral("Mealwright could not open the database\n%1").arg(QDir::toNativeSeparators(path)),
                            result.reason());
        return false;
    }
    diaryOpened(path);
    return true;
}

void frmMainFrame::diaryOpened(const QString &name)
{
    deMealwright::rememberPath(name);
    RecentDiaries::add(name);
    EnableDataMenus(true);
    showDiaryName();
}

bool frmMainFrame::openServerAddress(const QString &address)
{
    const Result<QString> kept = PasswordStore::read(address);
    CloseDatabase();
    const OpenResult result = deMealwright::instance().open(address, kept ? *kept : QString());
    if (result.failure == OpenFailure::PasswordNeeded || result.failure == OpenFailure::WrongPassword)
        return askForServer(address, result.reason());
    if (!result.ok()) {
        MessageBox::failure(this, QStringLiteral("Mealwright could not open the database\n%1").arg(address), result.reason());
        return false;
    }
    diaryOpened(address);
    return true;
}

bool frmMainFrame::mnuFileOpenServer_click()
{
    const QString &open = deMealwright::instance().path();
    QString last = ServerAddress::isAddress(open) ? open : QString();
    for (const QString &recent : RecentDiaries::list())
        if (last.isEmpty() && ServerAddress::isAddress(recent))
            last = recent;
    return askForServer(last);
}

bool frmMainFrame::askForServer(const QString &address, const QString &reason)
{
    frmOpenServer dialog(this, [this](const ServerAddress &where, const QString &password, bool remember) {
        return openServerDiary(where.uri(), password, remember);
    });
    if (const Result<ServerAddress> given = ServerAddress::fromUri(address)) {
        dialog.setAddress(*given);
        if (const Result<QString> kept = PasswordStore::read(address))
            dialog.setKeptPassword(*kept);
    }
    dialog.setReason(reason);
    dialog.exec();
    return deMealwright::instance().isOpen();
}

OpenResult frmMainFrame::openServerDiary(const QString &address, const QString &password, bool remember)
{
    if (deMealwright::instance().isOpen())
        if (OpenResult trial = deMealwright::tryOpen(address, password); !trial.ok())
            return trial;
    CloseDatabase();
    const OpenResult opened = deMealwright::instance().open(address, password);
    if (!opened.ok())
        return opened;
    diaryOpened(address);
    remember = remember && !password.isEmpty();
    const Status kept = remember ? PasswordStore::write(address, password) : PasswordStore::remove(address);
    if (!kept && remember)
        MessageBox::note(this, QStringLiteral("The diary is open, but the password could not be kept in the desktop's key "
                                              "store, so Mealwright will ask for it next time.\n\n%1")
                                   .arg(kept.reason()));
    return opened;
}

bool frmMainFrame::mnuFileNew_click()
{
    // Asks until a new diary is made or the user cancels: an existing file is never replaced.
    for (;;) {
        bool withCatalogue = cdlNewFile.checked;
        const QString path = FileDialog::newFile(this, cdlNewFile, &withCatalogue);
        if (path.isEmpty())
            return deMealwright::instance().isOpen();
        cdlNewFile.selectedFile = path;
        cdlNewFile.checked = withCatalogue;
        const QString shown = QDir::toNativeSeparators(path);
        if (QFileInfo::exists(path)) {
            MessageBox::exclamation(this, QStringLiteral("%1 already exists.\n\nMealwright never replaces a file with a "
                                                         "new diary: choose another name.")
                                              .arg(shown));
            continue;
        }
        const Status made = withCatalogue ? NewDiary::create(path, Catalogue::fill) : NewDiary::create(path);
        if (!made) {
            MessageBox::failure(this, QStringLiteral("Mealwright could not create the database\n%1").arg(shown), made.reason());
            continue;
        }
        return openDatabaseFile(path);
    }
}

void frmMainFrame::mnuFileClients_click()
{
    if (!m_clients) {
        m_clients = std::make_unique<frmClients>(this);
        connect(m_clients.get(), &frmClients::clientChanged, this, &frmMainFrame::clientChanged);
        connect(m_clients.get(), &frmClients::clientRemoved, this, &frmMainFrame::clientRemoved);
    }
    m_clients->exec();
}

QList<frmMealView *> frmMainFrame::mealViewsOf(const QString &client) const
{
    QList<frmMealView *> views;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList())
        if (auto *view = qobject_cast<frmMealView *>(window->widget()); view && EntryChecks::sameName(view->szClient, client))
            views << view;
    return views;
}

void frmMainFrame::clientChanged(const QString &oldName, const QString &newName, double calorieBudget)
{
    if (oldName.isEmpty())
        return; // a new client has no window yet
    for (frmMealView *view : mealViewsOf(oldName)) {
        view->szClient = newName;
        view->fCalorieBudget = static_cast<float>(calorieBudget);
        view->ReQueryMeals(view->idSelected);
    }
}

void frmMainFrame::clientRemoved(const QString &name)
{
    for (frmMealView *view : mealViewsOf(name))
        view->parentWidget()->close();
}

void frmMainFrame::CloseDatabase()
{
    deMealwright::instance().close();
    CloseAllChildWindows();
    EnableDataMenus(false);
    showDiaryName();
}

void frmMainFrame::EnableDataMenus(bool enabled)
{
    mnuMeals->menuAction()->setEnabled(enabled);
    mnuFoods->menuAction()->setEnabled(enabled);
    mnuFileClients->setEnabled(enabled);
}

void frmMainFrame::CloseAllChildWindows()
{
    for (QMdiSubWindow *window : m_mdiArea->subWindowList())
        window->close();
}

QWidget *frmMainFrame::activeChild() const
{
    const QMdiSubWindow *window = m_mdiArea->currentSubWindow();
    return window ? window->widget() : nullptr;
}

frmMealView *frmMainFrame::activeMealView() const
{
    return qobject_cast<frmMealView *>(activeChild());
}

frmFoodView *frmMainFrame::activeFoodView() const
{
    return qobject_cast<frmFoodView *>(activeChild());
}

bool frmMainFrame::IsMealViewActive() const
{
    return activeMealView() != nullptr;
}

bool frmMainFrame::IsFoodViewActive() const
{
    return activeFoodView() != nullptr;
}

void frmMainFrame::mnuMeals_aboutToShow()
{
    const bool mealSelected = IsMealViewActive() && activeMealView()->idSelected != 0;
    mnuMealEdit->setEnabled(mealSelected);
    mnuMealDelete->setEnabled(mealSelected);
    mnuMealCopy->setEnabled(IsMealViewActive() && !activeMealView()->selectedMeals().isEmpty());
    mnuMealTrend->setEnabled(IsMealViewActive());
    mnuMealExport->setEnabled(IsMealViewActive());
}

void frmMainFrame::mnuFoods_aboutToShow()
{
    const bool foodSelected = IsFoodViewActive() && activeFoodView()->idSelected != 0;
    mnuFoodEdit->setEnabled(foodSelected);
    mnuFoodDelete->setEnabled(foodSelected);
    mnuFoodFind->setEnabled(IsFoodViewActive());
    mnuFoodAdd->setEnabled(true);
    mnuFoodImport->setEnabled(true);
    mnuFoodView->setEnabled(true);
    mnuFoodReport->setEnabled(false);
}

void frmMainFrame::mnuWindow_aboutToShow()
{
    for (QAction *action : std::as_const(m_windowListActions)) {
        mnuWindow->removeAction(action);
        action->deleteLater();
    }
    m_windowListActions.clear();

    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    m_windowListActions.append(mnuWindow->addSeparator());
    const QMdiSubWindow *current = m_mdiArea->currentSubWindow();
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow *window = windows[i];
        const QString number = i < 9 ? QStringLiteral("&%1 ").arg(i + 1) : QStringLiteral("%1 ").arg(i + 1);
        QString title = window->windowTitle();
        QAction *item = mnuWindow->addAction(number + title.replace(QLatin1Char('&'), QStringLiteral("&&")));
        item->setCheckable(true);
        item->setChecked(window == current);
        connect(item, &QAction::triggered, m_mdiArea, [this, window = QPointer<QMdiSubWindow>(window)] {
            if (!window)
                return;
            if (window->isMinimized())
                window->showNormal();
            m_mdiArea->setActiveSubWindow(window);
        });
        m_windowListActions.append(item);
    }
}

void frmMainFrame::ReQueryAllMeals()
{
    for (QMdiSubWindow *window : m_mdiArea->subWindowList())
        if (auto *view = qobject_cast<frmMealView *>(window->widget()))
            view->ReQueryMeals(view->idSelected);
}

void frmMainFrame::PopupMealMenu()
{
    if (!IsMealViewActive())
        return;
    const bool mealSelected = activeMealView()->idSelected != 0;
    mnuMealPopupEdit->setEnabled(mealSelected);
    mnuMealPopupDelete->setEnabled(mealSelected);
    mnuMealPopupCopy->setEnabled(!activeMealView()->selectedMeals().isEmpty());
    mnuMealPopup->popup(QCursor::pos());
}

void frmMainFrame::PopupFoodMenu()
{
    if (!IsFoodViewActive())
        return;
    const bool foodSelected = activeFoodView()->idSelected != 0;
    mnuFoodPopupEdit->setEnabled(foodSelected);
    mnuFoodPopupDelete->setEnabled(foodSelected);
    mnuFoodPopupAdd->setEnabled(true);
    mnuFoodPopupFind->setEnabled(true);
    mnuFoodPopup->popup(QCursor::pos());
}

void frmMainFrame::showChild(QWidget *view)
{
    QMdiSubWindow *window = m_mdiArea->addSubWindow(view);
    // The window area gives a new child a size of its own: the view's designed size replaces it,
    // less what the area cannot show.
    window->resize(window->sizeHint().boundedTo(m_mdiArea->viewport()->size()));
    window->show();
}

bool frmMainFrame::hasClients()
{
    const Result<QStringList> names = Clients(deMealwright::instance().cnMealwright()).names();
    // A list that cannot be read is for the dialogs to report, with the reason.
    if (!names || !names->isEmpty())
        return true;
    MessageBox::exclamation(this, QStringLiteral("This diary has no clients yet.\n\nAdd one with File > Clients..."));
    return false;
}

void frmMainFrame::mnuMealView_click()
{
    if (!hasClients())
        return;
    if (!m_selectClient)
        m_selectClient = std::make_unique<frmSelectClient>(this);
    m_selectClient->exec();
    if (m_selectClient->szClient.isEmpty())
        return;

    auto *view = new frmMealView;
    view->szClient = m_selectClient->szClient;
    view->fCalorieBudget = m_selectClient->fCalorieBudget;
    view->fFVbudget = m_selectClient->fFVbudget;
    connect(view, &frmMealView::popupMenuRequested, this, &frmMainFrame::PopupMealMenu);
    showChild(view);
}

void frmMainFrame::mnuFoodView_click()
{
    // A window that was closed is on its way out even before it is gone.
    if (m_foodView && !m_foodView->parentWidget()->isHidden()) {
        auto *window = qobject_cast<QMdiSubWindow *>(m_foodView->parentWidget());
        if (window->isMinimized())
            window->showNormal();
        m_mdiArea->setActiveSubWindow(window);
        return;
    }
    if (!m_searchOptions)
        m_searchOptions = std::make_unique<frmSearchOptions>(this);
    m_foodView = new frmFoodView;
    m_foodView->setSearchOptions(m_searchOptions.get());
    connect(m_foodView, &frmFoodView::popupMenuRequested, this, &frmMainFrame::PopupFoodMenu);
    showChild(m_foodView);
}

void frmMainFrame::reQueryFoodView(qint64 idFood)
{
    if (m_foodView)
        m_foodView->ReQueryFoods(idFood != 0 ? idFood : m_foodView->idSelected);
}

frmEditMeal &frmMainFrame::editMeal()
{
    if (!m_editMeal)
        m_editMeal = std::make_unique<frmEditMeal>(this);
    return *m_editMeal;
}

frmEditFood &frmMainFrame::editFood()
{
    if (!m_editFood)
        m_editFood = std::make_unique<frmEditFood>(this);
    return *m_editFood;
}

void frmMainFrame::mnuMealCopy_click()
{
    if (!IsMealViewActive())
        return;
    frmMealView *view = activeMealView();
    const QList<MealRow> meals = view->selectedMeals();
    if (meals.isEmpty())
        return;
    frmCopyMeals copy(this);
    QDate latest;
    for (const MealRow &meal : meals) {
        copy.idMeals.append(meal.ID);
        if (meal.When.isValid() && (!latest.isValid() || meal.When.date() > latest))
            latest = meal.When.date();
    }
    copy.szClient = view->szClient;
    // The day after the meals: yesterday's breakfast is copied to today, a day to the next.
    copy.dtDay = latest.isValid() ? latest.addDays(1) : Clock::today();
    if (copy.exec() == QDialog::Accepted)
        ReQueryAllMeals();
}

void frmMainFrame::mnuMealAdd_click()
{
    if (!hasClients())
        return;
    frmEditMeal &editor = editMeal();
    editor.idMeal = 0;
    if (IsMealViewActive()) {
        editor.szClient = activeMealView()->szClient;
        editor.dtMeal = activeMealView()->dtBegin;
    } else {
        editor.szClient.clear();
        editor.dtMeal = Clock::now();
    }
    editor.exec();
    ReQueryAllMeals(); // saved or cancelled: meals saved by More... show either way
    if (editor.fFoodDefined)
        reQueryFoodView(0);
}

void frmMainFrame::mnuMealEdit_click()
{
    if (!IsMealViewActive())
        return;
    frmEditMeal &editor = editMeal();
    editor.idMeal = activeMealView()->idSelected;
    editor.exec();
    ReQueryAllMeals();
    if (editor.fFoodDefined)
        reQueryFoodView(0);
}

void frmMainFrame::mnuFoodAdd_click()
{
    frmEditFood &editor = editFood();
    editor.idFood = 0;
    editor.szFood.clear();
    editor.szUnits.clear();
    editor.exec();
    // Entries saved by More... stay saved whatever ended the dialog.
    if (!editor.fEntriesSaved)
        return;
    reQueryFoodView(editor.idFood);
    // Meals that named this food in these units had no entry to count until now.
    ReQueryAllMeals();
}

void frmMainFrame::mnuFoodEdit_click()
{
    if (!IsFoodViewActive())
        return;
    frmEditFood &editor = editFood();
    editor.idFood = activeFoodView()->idSelected;
    editor.exec();
    // After Cancel the entry that was selected stays selected.
    reQueryFoodView(editor.idFood);
    ReQueryAllMeals();
}

void frmMainFrame::mnuFoodDelete_click()
{
    if (IsFoodViewActive())
        activeFoodView()->DeleteFood();
}

void frmMainFrame::mnuFoodFind_click()
{
    if (IsFoodViewActive())
        activeFoodView()->FindFood();
}

void frmMainFrame::mnuFoodImport_click()
{
    if (!m_foodImport)
        m_foodImport = std::make_unique<frmFoodImport>(this);
    if (!m_foodImport->exec())
        return;
    reQueryFoodView(0);
    // Meals that named the new entries' foods and units had nothing to count until now.
    ReQueryAllMeals();
}

void frmMainFrame::mnuMealReport_click()
{
    if (!m_printReport)
        m_printReport = std::make_unique<frmPrintReport>(this);
    frmPrintReport &dialog = *m_printReport;
    if (IsMealViewActive()) {
        const frmMealView *view = activeMealView();
        dialog.szClient = view->szClient;
        dialog.dtBegin = view->dtBegin;
        dialog.dtEnd = view->dtEnd;
    } else {
        dialog.szClient.clear(); // nothing preset
    }
    dialog.exec();
}

void frmMainFrame::mnuMealExport_click()
{
    if (!IsMealViewActive())
        return;
    const frmMealView *view = activeMealView();
    const QString client = view->szClient;
    const DateSpan span{view->dtBegin, view->dtEnd};
    Connection &connection = deMealwright::instance().cnMealwright();
    const QString notExported = QStringLiteral("The meals of %1 could not be exported.").arg(client);
    const Result<std::optional<Client>> found = Clients(connection).find(client);
    if (!found) {
        MessageBox::failure(this, notExported, found.reason());
        return;
    }
    const Result<ReportRow> report = MealReportCommand::execute(connection, client, span);
    if (!report) {
        MessageBox::failure(this, notExported, report.reason());
        return;
    }
    if (report->value(QStringLiteral("DayCount")).toLongLong() == 0) {
        MessageBox::exclamation(this, QStringLiteral("No data recorded for the selected dates"));
        return;
    }

    // Offered in the folder of the last export (at first the documents folder, or home): the
    // client and the days, in characters every file system takes.
    QString name = client;
    for (QChar &c : name)
        if (c.category() == QChar::Other_Control || QStringView(u"/\\:*?\"<>|").contains(c))
            c = u'_';
    const QString first = span.firstDay().toString(Qt::ISODate);
    const QString last = span.lastDay().toString(Qt::ISODate);
    name += first == last ? QStringLiteral(" %1.csv").arg(first) : QStringLiteral(" %1 to %2.csv").arg(first, last);
    QString folder = QFileInfo(cdlExport.selectedFile).absolutePath();
    if (cdlExport.selectedFile.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!QFileInfo(folder).isDir())
            folder = QDir::homePath();
    }
    cdlExport.selectedFile = QDir(folder).filePath(name);

    bool daily = cdlExport.checked;
    const QString path = FileDialog::saveFile(this, cdlExport, &daily);
    if (path.isEmpty())
        return;
    cdlExport.selectedFile = path;
    cdlExport.checked = daily;
    const Status written = MealCsv::write(path, *report, daily ? MealCsv::Lines::PerDay : MealCsv::Lines::PerMeal,
                                          found.value() ? found.value()->calorieBudget : std::nullopt);
    if (!written)
        MessageBox::failure(this, notExported, written.reason());
}

void frmMainFrame::mnuMealTrend_click()
{
    frmMealView *view = activeMealView();
    if (!view)
        return;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList()) {
        const auto *trend = qobject_cast<frmMealTrend *>(window->widget());
        // A chart that was closed is on its way out even before it is gone.
        if (!trend || trend->mealView() != view || window->isHidden())
            continue;
        if (window->isMinimized())
            window->showNormal();
        m_mdiArea->setActiveSubWindow(window);
        return;
    }
    showChild(new frmMealTrend(view));
}

void frmMainFrame::mnuMealDelete_click()
{
    if (IsMealViewActive())
        activeMealView()->DeleteMeal();
}

void frmMainFrame::mnuHelpAbout_click()
{
    if (!m_about)
        m_about = std::make_unique<frmAbout>(this);
    m_about->exec();
}
