#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>

class FoodRows;
class GridModel;
class QTableView;
class frmSearchOptions;

// The whole food catalogue in a grid, one row per entry, sorted by name; a click on a column's
// header sorts by it, ascending then descending. Selecting exactly one entry publishes its ID
// in idSelected and names it in the caption. The main frame routes the food commands here:
// ReQueryFoods after the food editor, DeleteFood, FindFood.
class frmFoodView : public QWidget
{
    Q_OBJECT

public:
    explicit frmFoodView(QWidget *parent = nullptr);
    ~frmFoodView() override;

    // The designed size: the window opens at it when the frame has room.
    QSize sizeHint() const override;

    qint64 idSelected = 0; // the entry selected in the grid; 0 for none

    // Reads the catalogue again, in name order, and selects the entry idFood when it is there;
    // for 0 the first row becomes the current row and nothing is selected.
    void ReQueryFoods(qint64 idFood);
    // Asks how to search, then moves the current row to the next matching entry. The selection
    // stays as it was.
    void FindFood();
    // Asks, then deletes the selected entry, unless meals use it.
    void DeleteFood();

    // The search dialog FindFood shows. The frame gives the one that keeps its history for the
    // whole run; without one the view makes its own.
    void setSearchOptions(frmSearchOptions *dialog);

    // The row the view's cursor stands on, in the grid's order; -1 when the grid is empty.
    int currentRow() const;

    QTableView *dbgFoods;

Q_SIGNALS:
    // The right mouse button was used over the grid: the food context menu is wanted.
    void popupMenuRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Form_Load();
    void dbgFoods_selectionChanged();
    void dbgFoods_HeadClick(int column);
    void moveTo(int row);
    frmSearchOptions &searchOptions();
    void showInUse(const QString &food, const QString &units, qint64 meals);

    std::shared_ptr<FoodRows> rsFoods;
    GridModel *m_model;
    QPointer<frmSearchOptions> m_searchOptions;
    std::unique_ptr<frmSearchOptions> m_ownSearchOptions;
    bool m_loaded = false;
};
