#pragma once

#include "MealRows.h"

#include <QDateTime>
#include <QWidget>

#include <memory>
#include <optional>

class MealGridModel;
class QGroupBox;
class QLabel;
class QRadioButton;
class QTableView;
class RangeCalendar;
enum class IntervalMode;

// One client's meal log: a month calendar to pick a day, a week or a range of days, the grid
// of that span's meals and a summary panel with the totals and the figures per day, coloured
// against the client's budgets. The main frame sets szClient and the two budgets before it
// shows the window, reads the span and the selected meal, and calls ReQueryMeals and
// DeleteMeal.
class frmMealView : public QWidget
{
    Q_OBJECT

public:
    explicit frmMealView(QWidget *parent = nullptr);
    ~frmMealView() override;

    // The designed size: a new view opens at it when the frame has room.
    QSize sizeHint() const override;

    QString szClient;
    float fCalorieBudget = 0;
    float fFVbudget = 0;
    QDateTime dtBegin; // start of the span shown, inclusive; a midnight
    QDateTime dtEnd;   // end of the span shown, exclusive; a midnight
    qint64 idSelected = 0; // the meal selected in the grid; 0 for none

    // Reads the span's meals again and shows them, highlighting the meal idMeal when it is
    // among them.
    void ReQueryMeals(qint64 idMeal);
    // The meals of the selected rows, in the order shown.
    QList<MealRow> selectedMeals() const;
    // Asks, then deletes the selected meal.
    void DeleteMeal();
    // The span shown, in words, as the caption gives it: "Tue, Aug 13 to Mon, Aug 19, 2002".
    QString spanText() const;

    RangeCalendar *mvwDates;
    QGroupBox *frmDate;
    QRadioButton *optOneDay;
    QRadioButton *optOneWeek;
    QRadioButton *optSelectedDays;
    QTableView *dbgMeals;
    QGroupBox *fraSummary;
    QLabel *lblDates;
    QLabel *lblTotalDays;
    QLabel *lblUnderEatingDays;
    QLabel *lblUnderEatingDaysLabel;
    QLabel *lblTotalCalories;
    QLabel *lblTotalFruits;
    QLabel *lblTotalVegetables;
    QLabel *lblTotalSupplements;
    QLabel *lblTotalEntrees;
    QLabel *lblAverageCalories;
    QLabel *lblAverageCaloriesLabel;
    QLabel *lblAverageFruitsAndVegetables;
    QLabel *lblAverageFruitsAndVegetablesLabel;

Q_SIGNALS:
    // The right mouse button was used over the grid: the meal context menu is wanted.
    void popupMenuRequested();
    // ReQueryMeals is done, whether the meals were read or not: what follows the view reads
    // its span (dtBegin, dtEnd) again.
    void mealsRequeried();

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void createControls();
    void createSummaryPanel();
    void Form_Load();
    IntervalMode intervalMode() const;
    void setIntervalMode(IntervalMode mode);
    void mvwDates_rangeChanged(QDate start, QDate end);
    void dbgMeals_selectionChanged();
    void dbgMeals_HeadClick(int column);
    void ShowSummary(qint64 idMeal);
    void ClearSummary();
    void setAverageColours(const QColor &calories, const QColor &servings);
    void selectRow(int position);

    std::optional<MealTotals> rsTotals;
    std::shared_ptr<MealRows> rsMeals;
    MealRows::Bookmark m_currentBookmark = -1; // the meal cursor: the row last selected
    QDate dtSelStart;
    QDate dtSelEnd;

    MealGridModel *m_model;
    bool m_loaded = false;
    bool m_ignoreSelection = false; // while the view itself changes the grid's rows or selection
};
