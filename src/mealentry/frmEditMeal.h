#pragma once

#include "EntryChecks.h"
#include "Meals.h"

#include <QDateTime>
#include "FormDialog.h"
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimeEdit;
class MatchList;
class frmEditFood;

// Adds or changes one meal: who ate which food, when, how much and in which units.
//
// The caller sets idMeal (0 to add) and, for an add, szClient and dtMeal, then calls exec().
// A food that is not in the catalogue, or not in the units typed, can be defined on the spot
// in the food editor. More... saves the meal and starts the next one of the same meal with the
// same values; meals saved so far stay saved whatever ends the dialog.
//
// Nothing is locked while the dialog is open: the meal is read when it opens and written, in
// one transaction, when OK or More... is pressed.
class frmEditMeal : public FormDialog
{
    Q_OBJECT

public:
    explicit frmEditMeal(QWidget *parent = nullptr);
    ~frmEditMeal() override;

    qint64 idMeal = 0;
    QString szClient;  // the client of a new meal
    QDateTime dtMeal;  // the moment of a new meal, a wall-clock time
    bool fFoodDefined = false; // out: this showing added a food to the catalogue

    // Reads what the dialog needs for idMeal and sets it up. False when the meal cannot be
    // edited (the reason has been shown): the dialog is then not to be shown.
    bool Form_Load() override;
    void done(int result) override;

    // The food editor this dialog opens to define a food; made on first use.
    frmEditFood &foodEditor();

    QDateEdit *dtpDate;
    QTimeEdit *dtpTime;
    QPushButton *cmdStandardTime;
    QComboBox *dbcWho;
    QComboBox *dbcFood;
    MatchList *foodMatches; // the foods matching what is typed in dbcFood
    QLineEdit *txtAmount;
    QComboBox *dbcUnits;
    QListWidget *lstStandardTime;
    QPushButton *cmdOK;
    QPushButton *cmdMore;
    QPushButton *cmdCancel;
    // Indexed as designed: 1 "When", 2 "Who", 3 "Food", 4 "Amount"; 0 is unused.
    std::array<QLabel *, 5> lblFieldLabel{};

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Places the boxes of the first line so that the time and the client names fit them.
    void placeControls();
    bool LoadFoodList();
    bool LoadClientList();
    // The foods the client shown ate lately, which come first among the matches.
    void LoadRecentFoods();
    void LoadUnitsList();
    bool StartEditMeal();
    void StartAddMeal();
    void showMeal(const Meal &meal);
    void dbcFood_change();
    bool OfferFoodEditor(const QString &message);
    bool ValidateMeal();
    bool saveMeal();
    // After a save refused because another user changed the meal: says so and offers to show the
    // meal as it is now. False: nothing was saved.
    bool offerReload(Meals &meals);
    void cmdOK_click();
    void cmdMore_click();
    void cmdStandardTime_click();
    void lstStandardTime_pick();
    void lstStandardTime_leave();
    void txtAmount_validate(Qt::FocusReason reason);
    QWidget *control(EntryChecks::MealField field) const;

    std::unique_ptr<frmEditFood> m_foodEditor;
    std::optional<Meal> m_stored; // the meal being edited, as read; none when adding
    // The meal as the diary held it when it was last read here: a save requires the row to hold
    // it still. It moves on when the user keeps their changes over another user's.
    std::optional<Meal> m_read;
    QDateTime m_shownWhen;        // the date and time the pickers showed it at
    QStringList m_foods;
    QStringList m_clients;
    QStringList m_units; // the units of the food typed
    bool m_closing = false;
    bool m_checkingAmount = false;
};
