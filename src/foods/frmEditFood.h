#pragma once

#include "EntryChecks.h"
#include "Foods.h"

#include "FormDialog.h"
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class MatchList;
class QPushButton;

// Adds or changes one entry of the food catalogue: a food in one unit, with its calories and
// servings per unit and the two meal-plan flags.
//
// The caller sets idFood (0 to add) and, for an add, szFood and szUnits to start with, then
// calls exec(). Afterwards idFood is the ID of the saved entry and szFood and szUnits its name
// and units; after Cancel or Esc idFood is 0 and both texts are empty; closing by the window
// frame leaves all three as the caller gave them. More... saves the entry and starts an empty
// one; entries saved so far stay saved whatever ends the dialog.
//
// Nothing is locked while the dialog is open: the entry is read when it opens and written,
// in one transaction, when OK or More... is pressed.
class frmEditFood : public FormDialog
{
    Q_OBJECT

public:
    explicit frmEditFood(QWidget *parent = nullptr);

    qint64 idFood = 0;
    QString szFood;
    QString szUnits;
    // Whether any entry was saved while the dialog was open (by OK or More...), whatever ended it.
    bool fEntriesSaved = false;

    // Reads what the dialog needs for idFood and sets it up. False when the entry cannot be
    // edited (the reason has been shown): the dialog is then not to be shown.
    bool Form_Load() override;
    void reject() override;

    QComboBox *dbcFood;
    MatchList *foodMatches; // the foods matching what is typed in dbcFood
    QLineEdit *txtCalories;
    QComboBox *dbcUnits;
    QLineEdit *txtVegetables;
    QLineEdit *txtFruits;
    QCheckBox *chkEntree;
    QCheckBox *chkSupplement;
    QPushButton *cmdOK;
    QPushButton *cmdMore;
    QPushButton *cmdCancel;
    // Indexed as designed: 3 "Food", 4 "Calories per Unit", 5 "Units", 0 "Vegetable Servings",
    // 1 "Fruit Servings"; 2 is unused.
    std::array<QLabel *, 6> lblFieldLabel{};

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool FillUnitsCombo();
    bool FillFoodCombo();
    // Whether rows can be written to the catalogue, as an add or (idFood set) an edit needs;
    // otherwise says why not.
    bool foodsWritable();
    bool StartEditFood();
    void StartAddFood();
    void showEntry(const FoodEntry &entry);
    void clearEntry();
    bool ValidateFood();
    // Writes the entry shown; gives its ID in the catalogue.
    Result<qint64> write();
    // Says why a write failed. An entry that no longer exists ends the dialog as Cancel does;
    // otherwise it stays open with everything typed.
    void reportWriteFailure(const Status &failure);
    // After a save refused because another user changed the entry: says so and offers to show
    // the entry as it is now.
    void offerReload();
    void cmdOK_click();
    void cmdMore_click();
    void cmdCancel_click();
    QWidget *control(EntryChecks::FoodField field) const;

    std::optional<FoodEntry> m_stored; // the entry being edited, as read; none when adding
    // The entry as the diary held it when it was last read here: a save requires the row to
    // hold it still. It moves on when the user keeps their changes over another user's.
    std::optional<FoodEntry> m_read;
    QStringList m_units;
    bool m_closingByFrame = false;
};
