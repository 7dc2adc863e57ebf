#pragma once

#include "Status.h"
#include "TrendSeries.h"

#include <QPointer>
#include <QWidget>

#include <vector>

class frmMealView;
class QAction;
class QBarCategoryAxis;
class QBarSet;
class QCategoryAxis;
class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QMenu;
class QMouseEvent;
class QStackedBarSeries;
class QValueAxis;

// The trend of one meal view's client and span: calories per day as bars (green at or under the
// calorie budget, red over it) with the budget and the 7-day moving average as lines, and below
// it the fruit and vegetable servings per day with the servings budget. Days without meals are
// gaps. It follows its view: every re-query of the view redraws it from the meal report's days,
// and it closes with the view.
class frmMealTrend : public QWidget
{
    Q_OBJECT

public:
    explicit frmMealTrend(frmMealView *view, QWidget *parent = nullptr);
    ~frmMealTrend() override;

    QSize sizeHint() const override;

    // The view it follows; null once the view is gone.
    frmMealView *mealView() const { return m_view; }

    // Reads the view's client and span again and redraws; a failed read shows its reason
    // instead of the figures.
    void ReQueryTrend();

    // The days drawn, first to last; empty after a failed read.
    const std::vector<TrendDay> &days() const { return m_days; }
    // The tooltip of the day at index of days().
    QString dayTip(int index) const;

    // The two charts as one picture, at the window's size.
    QImage picture() const;
    // Writes the picture as PNG, or the charts as one PDF page; says why when it could not.
    Status savePng(const QString &path) const;
    Status savePdf(const QString &path) const;

    QChartView *chvCalories;
    QChartView *chvServings;
    QLabel *lblMessage; // why there are no figures: a failed read, or no meals in the span
    QBarSet *barUnder;  // calories of the days at or under the budget
    QBarSet *barOver;   // calories of the days over it
    QBarSet *barFruits;
    QBarSet *barVegetables;
    QLineSeries *linBudget;
    QLineSeries *linAverage;
    QLineSeries *linServingsBudget;
    QMenu *mnuTrendPopup;
    QAction *mnuTrendCopy;
    QAction *mnuTrendSavePng;
    QAction *mnuTrendSavePdf;

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createCharts();
    void createMenu();
    void draw();
    void applyPalette();
    void showTip(QChartView *view, const QMouseEvent &mouse);
    void alignPlots();
    void labelAxes();
    static int ticksFor(const QChartView *chart);
    void saveAs(const QString &title, const QString &filter, const QString &suffix,
                Status (frmMealTrend::*write)(const QString &) const);

    QPointer<frmMealView> m_view;
    std::vector<TrendDay> m_days;
    double m_budget = 0;
    double m_servingsBudget = 0;
    int m_labelledWidth = -1; // the plot width the date labels were chosen for
    int m_calorieTicks = 0;   // and the values up the side, for the charts' heights
    int m_servingTicks = 0;

    QWidget *m_charts;
    QChart *m_caloriesChart;
    QChart *m_servingsChart;
    QStackedBarSeries *m_calorieBars;
    QStackedBarSeries *m_servingBars;
    QBarCategoryAxis *m_calorieDays;
    QBarCategoryAxis *m_servingDays;
    QCategoryAxis *m_calorieDates;
    QCategoryAxis *m_servingDates;
    QValueAxis *m_calorieAxis;
    QValueAxis *m_servingAxis;
};
