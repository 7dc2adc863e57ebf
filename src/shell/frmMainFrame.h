#pragma once

#include "FileDialog.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class QAction;
class QMdiArea;
class QMenu;
class frmAbout;
class frmClients;
class frmEditFood;
class frmEditMeal;
class frmFoodView;
class frmFoodImport;
class frmSearchOptions;
class frmPrintReport;
class frmMealView;
class frmSelectClient;
struct OpenResult;

// The main window: a multiple-document frame with the menus, the two context menus and the
// database open. Commands on a selected meal or food go to the active child window.
class frmMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmMainFrame(QWidget *parent = nullptr);
    ~frmMainFrame() override;

    // Start-up, before the frame is first shown: the data menus are disabled, then the database
    // given on the command line opens, or else the remembered one; when none is remembered, or
    // it is gone or does not open, the start dialog asks which diary to work in.
    void start(const QString &commandLinePath = QString());

    QMdiArea *mdiArea() const { return m_mdiArea; }

    // Every open meal view reads its meals again and keeps its selected meal.
    void ReQueryAllMeals();
    // The meal context menu at the mouse, for the active meal view.
    void PopupMealMenu();
    // The food context menu at the mouse, for the active food list window.
    void PopupFoodMenu();

    // The meal and food editors, made on first use and kept between showings.
    frmEditMeal &editMeal();
    frmEditFood &editFood();

    // The file-open dialog of the database open; it offers the last chosen file again.
    FileDialog::Request cdlOpenFile;
    // The file dialog of File > New...; it offers the last file made again.
    FileDialog::Request cdlNewFile;
    // The file dialog of Meals > Export...: it offers the last folder and the last choice of
    // one line per meal or per day again.
    FileDialog::Request cdlExport;

    QMenu *mnuFile;
    QAction *mnuFileNew;
    QAction *mnuFileOpen;
    QAction *mnuFileOpenServer;
    QAction *mnuFileClients;
    QAction *mnuFileExit;
    // The recent diaries between File's commands and Exit, "&1 clinic.mdb" first; made afresh
    // each time File opens.
    QList<QAction *> mnuFileRecent;
    QMenu *mnuMeals;
    QAction *mnuMealAdd;
    QAction *mnuMealEdit;
    QAction *mnuMealDelete;
    QAction *mnuMealCopy;
    QAction *mnuMealView;
    QAction *mnuMealReport;
    QAction *mnuMealTrend;
    QAction *mnuMealExport;
    QMenu *mnuFoods;
    QAction *mnuFoodAdd;
    QAction *mnuFoodEdit;
    QAction *mnuFoodDelete;
    QAction *mnuFoodFind;
    QAction *mnuFoodImport;
    QAction *mnuFoodView;
    QAction *mnuFoodReport;
    QMenu *mnuWindow;
    QAction *mnuWindowTileHorizontal;
    QAction *mnuWindowTileVertical;
    QAction *mnuWindowCascade;
    QAction *mnuWindowArrangeIcons;
    QAction *mnuWindowCloseAll;
    QMenu *mnuHelp;
    QAction *mnuHelpAbout;
    QMenu *mnuMealPopup;
    QAction *mnuMealPopupAdd;
    QAction *mnuMealPopupEdit;
    QAction *mnuMealPopupDelete;
    QAction *mnuMealPopupCopy;
    QMenu *mnuFoodPopup;
    QAction *mnuFoodPopupAdd;
    QAction *mnuFoodPopupEdit;
    QAction *mnuFoodPopupDelete;
    QAction *mnuFoodPopupFind;

private:
    void createMenus();
    void connectCommands();

    // File > Open...: true when a diary is open afterwards.
    bool OpenDatabase();
    void CloseDatabase();
    // Closes what is open, opens path, remembers it and enables the data menus; on failure
    // says why and leaves no database open. True when the database opened.
    bool openDatabaseFile(const QString &path);
    // A diary on a server, with the password the key store keeps for it or else none (libpq then
    // looks in PGPASSWORD and ~/.pgpass). When the server wants a password, the Open Server dialog
    // asks for it; any other failure is said. True when the diary opened.
    bool openServerAddress(const QString &address);
    // The Open Server dialog, filled from address when one is given, saying reason when there is
    // one. True when a diary is open afterwards.
    bool askForServer(const QString &address, const QString &reason = QString());
    // Opens the server diary the dialog names; an open diary stays open unless this one opens.
    // The password is kept in the key store, or taken out of it, as remember says.
    OpenResult openServerDiary(const QString &address, const QString &password, bool remember);
    // File > Open Server..., filled from the open server diary or the last one opened.
    bool mnuFileOpenServer_click();
    // A diary opened: it is remembered, heads the recent list and the caption names it.
    void diaryOpened(const QString &name);
    // A diary of the recent list; one that is gone is taken off the list, with a message.
    bool openRecent(const QString &path);
    // The demo diary in the user's data folder, made on first use.
    bool openDemoDiary();
    // The start dialog; gone is the remembered diary when it is no longer there.
    void showStart(const QString &gone);
    // The caption names the open diary: "clinic.mdb - Mealwright", "clinic on db.example - Mealwright".
    void showDiaryName();
    void mnuFile_aboutToShow();
    void EnableDataMenus(bool enabled);
    void CloseAllChildWindows();
    bool IsMealViewActive() const;
    bool IsFoodViewActive() const;
    QWidget *activeChild() const;
    frmMealView *activeMealView() const;
    frmFoodView *activeFoodView() const;
    // Shows a new child window at its designed size, less what the window area cannot show.
    void showChild(QWidget *view);
    // The food list window reads the catalogue again, selecting idFood when above 0 and
    // otherwise keeping its selection; nothing when it is not open.
    void reQueryFoodView(qint64 idFood);

    // File > New...: true when a new diary was made and opened.
    bool mnuFileNew_click();
    void mnuFileClients_click();
    // The meal views of a client follow a change of name or budget, and close with the client.
    void clientChanged(const QString &oldName, const QString &newName, double calorieBudget);
    void clientRemoved(const QString &name);
    QList<frmMealView *> mealViewsOf(const QString &client) const;
    // True when the diary has a client; otherwise says where clients are added.
    bool hasClients();
    void mnuMealAdd_click();
    void mnuMealEdit_click();
    void mnuMealView_click();
    void mnuMealDelete_click();
    void mnuMealCopy_click();
    void mnuFoodAdd_click();
    void mnuFoodEdit_click();
    void mnuFoodDelete_click();
    void mnuFoodFind_click();
    void mnuFoodImport_click();
    void mnuFoodView_click();
    void mnuMealReport_click();
    void mnuMealExport_click();
    // The trend chart of the active meal view: a second request shows the one already open.
    void mnuMealTrend_click();

    void mnuMeals_aboutToShow();
    void mnuFoods_aboutToShow();
    void mnuWindow_aboutToShow();
    void mnuHelpAbout_click();

    QMdiArea *m_mdiArea;
    QList<QAction *> m_windowListActions;
    QList<QAction *> m_recentSeparators;
    std::unique_ptr<frmAbout> m_about;
    std::unique_ptr<frmSelectClient> m_selectClient;
    std::unique_ptr<frmClients> m_clients;
    std::unique_ptr<frmEditMeal> m_editMeal;
    std::unique_ptr<frmEditFood> m_editFood;
    std::unique_ptr<frmPrintReport> m_printReport;
    std::unique_ptr<frmSearchOptions> m_searchOptions; // keeps its history for the whole run
    std::unique_ptr<frmFoodImport> m_foodImport; // offers the last file imported again
    QPointer<frmFoodView> m_foodView; // the one food list window, while it is open
};
