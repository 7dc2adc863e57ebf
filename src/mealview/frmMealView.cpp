#include "frmMealView.h"

#include "Clock.h"
#include "Controls.h"
#include "deMealwright.h"
#include "Format.h"
#include "MealGridModel.h"
#include "Meals.h"
#include "MealViewCommand.h"
#include "MealViewRules.h"
#include "MessageBox.h"
#include "RangeCalendar.h"
#include "SignPadded.h"
#include "Twips.h"

#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QStyle>
#include <QTableView>

#include <algorithm>
#include <vector>

namespace {

// Positions in the window are designed in twips (see Twips.h).
constexpr int gridTop = 3120;
constexpr int summaryLeft = 3840;
constexpr int summaryWidth = 3612;
// The designed right edges of the summary's two columns of figures.
constexpr int totalsRight = 1980;
constexpr int averagesRight = 3300;

void addLine(QWidget *parent, int top)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(twips(120), twips(top), twips(3480 - 120), 2);
}

// The per-day rows are pure green when good, pure red when not, and black while there is no data.
QColor budgetColour(bool good)
{
    return good ? QColor(0, 255, 0) : QColor(255, 0, 0);
}

const QColor noDataColour(0, 0, 0);

// The summary's figures are shown in these formats.
constexpr QStringView daysLoggedFormat = u"###0";
constexpr QStringView underEatingFormat = u"##0";
constexpr QStringView caloriesFormat = u"#,##0";
constexpr QStringView servingsFormat = u"0.0";
constexpr QStringView countFormat = u"0";
constexpr QStringView servingsPerDayFormat = u"#0.0";

// Every figure up to this one is shown whole.
constexpr double largestFigure = 9999999;

struct Figure
{
    QLabel *caption;
    QLabel *value;
    QStringView format;
};

// Right-aligns a column of figures on one edge: at designedRight, or further right where a
// caption's text and the largest figure in its format would not both fit before it. Each value
// box reaches from just after its caption's text to that edge. Measured with the boxes' fonts.
void fitFigures(const std::vector<Figure> &figures, int designedRight)
{
    const int gap = twips(120);
    const auto captionEnd = [](const QLabel *caption) {
        return caption->x() + caption->fontMetrics().horizontalAdvance(caption->text());
    };
    int right = designedRight;
    for (const Figure &figure : figures)
        right = std::max(right, captionEnd(figure.caption) + gap
                                    + figure.value->fontMetrics().horizontalAdvance(
                                        Format::number(largestFigure, figure.format)));
    for (const Figure &figure : figures) {
        const int left = captionEnd(figure.caption) + gap;
        figure.value->setGeometry(left, figure.value->y(), right - left, figure.value->height());
    }
}

void setTextColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

frmMealView::frmMealView(QWidget *parent)
    : QWidget(parent)
    , m_model(new MealGridModel(this))
{
    setObjectName(QStringLiteral("frmMealView"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(designFont());
    setWindowTitle(QStringLiteral("Meals"));
    createControls();
    createSummaryPanel();
    // At least the summary panel and six grid rows stay in view.
    setMinimumSize(twips(summaryLeft + summaryWidth + 200),
                   dbgMeals->verticalHeader()->defaultSectionSize() * 6 + twips(gridTop));
}

QSize frmMealView::sizeHint() const
{
    return QSize(twips(7980), twips(7200));
}

frmMealView::~frmMealView() = default;

void frmMealView::createControls()
{
    mvwDates = new RangeCalendar(this);
    mvwDates->setObjectName(QStringLiteral("mvwDates"));
    mvwDates->setGeometry(twipRect(120, 120, 2664, 2256));

    frmDate = new QGroupBox(QStringLiteral("Interval"), this);
    frmDate->setObjectName(QStringLiteral("frmDate"));
    frmDate->setGeometry(twipRect(120, 2400, 3612, 612));
    optOneDay = new QRadioButton(QStringLiteral("One &Day"), frmDate);
    optOneDay->setObjectName(QStringLiteral("optOneDay"));
    optOneDay->setGeometry(twipRect(120, 240, 972, 252));
    optOneDay->setChecked(true);
    optOneWeek = new QRadioButton(QStringLiteral("One &Week"), frmDate);
    optOneWeek->setObjectName(QStringLiteral("optOneWeek"));
    optOneWeek->setGeometry(twipRect(1080, 240, 1092, 252));
    optSelectedDays = new QRadioButton(QStringLiteral("&Selected days"), frmDate);
    optSelectedDays->setObjectName(QStringLiteral("optSelectedDays"));
    optSelectedDays->setGeometry(twipRect(2160, 240, 1332, 252));

    dbgMeals = new QTableView(this);
    dbgMeals->setObjectName(QStringLiteral("dbgMeals"));
    dbgMeals->setGeometry(twipRect(0, gridTop, 7572, 3372));
    dbgMeals->setModel(m_model);
    // Every column is at least wide enough for its widest value, "Dec 31 12:59 PM" in "When".
    const int cellMargin = 2 * dbgMeals->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, dbgMeals) + 6;
    const int whenWidth = dbgMeals->fontMetrics().horizontalAdvance(QStringLiteral("Dec 31 12:59 PM")) + cellMargin;
    GridModel::setUpView(dbgMeals, {0, whenWidth});
    // The right button selects the meal under it, if need be, and asks for the meal menu.
    Controls::onRightClick(dbgMeals, [this] { Q_EMIT popupMenuRequested(); });

    frmDate->setFocusPolicy(Qt::NoFocus);
    setTabOrder(mvwDates, optOneDay);
    setTabOrder(optOneDay, optOneWeek);
    setTabOrder(optOneWeek, optSelectedDays);
    setTabOrder(optSelectedDays, dbgMeals);

    connect(mvwDates, &RangeCalendar::rangeChanged, this, &frmMealView::mvwDates_rangeChanged);
    for (QRadioButton *option : {optOneDay, optOneWeek, optSelectedDays})
        connect(option, &QRadioButton::toggled, this, [this, option](bool checked) {
            if (checked && m_loaded)
                setIntervalMode(option == optOneDay    ? IntervalMode::OneDay
                                : option == optOneWeek ? IntervalMode::OneWeek
                                                       : IntervalMode::SelectedDays);
        });
    connect(dbgMeals->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmMealView::dbgMeals_selectionChanged);
    connect(dbgMeals->horizontalHeader(), &QHeaderView::sectionClicked, this, &frmMealView::dbgMeals_HeadClick);
}

void frmMealView::createSummaryPanel()
{
    fraSummary = new QGroupBox(QStringLiteral("Summary"), this);
    fraSummary->setObjectName(QStringLiteral("fraSummary"));
    fraSummary->setGeometry(twipRect(summaryLeft, 0, summaryWidth, 3012));
    QWidget *panel = fraSummary;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    constexpr int rowHeight = 222;

    lblDates = Controls::label(panel, QStringLiteral("lblDates"), QString(), twipRect(120, 300, 3348, 240));
    QFont datesFont = lblDates->font();
    datesFont.setBold(true);
    lblDates->setFont(datesFont);
    addLine(panel, 540);

    struct Row
    {
        QLabel **value;
        QLabel **caption;
        const char *valueName;
        const char *captionName;
        const char *text;
        int top;
        QStringView format;
    };
    QLabel *unnamed = nullptr;
    const Row rows[] = {
        {&lblTotalDays, &unnamed, "lblTotalDays", "lblTotalDaysLabel", "Days Logged", 558, daysLoggedFormat},
        {&lblUnderEatingDays, &lblUnderEatingDaysLabel, "lblUnderEatingDays", "lblUnderEatingDaysLabel",
         "Under Eating Days", 780, underEatingFormat},
        {&lblTotalCalories, &unnamed, "lblTotalCalories", "lblTotalCaloriesLabel", "Total Calories", 1002, caloriesFormat},
        {&lblTotalFruits, &unnamed, "lblTotalFruits", "lblTotalFruitsLabel", "Total Fruits", 1224, servingsFormat},
        {&lblTotalVegetables, &unnamed, "lblTotalVegetables", "lblTotalVegetablesLabel", "Total Vegetables", 1446, servingsFormat},
        {&lblTotalSupplements, &unnamed, "lblTotalSupplements", "lblTotalSupplementsLabel", "Total Supplements", 1668, countFormat},
        {&lblTotalEntrees, &unnamed, "lblTotalEntrees", "lblTotalEntreesLabel", "Total Entrees", 1890, countFormat},
    };
    std::vector<Figure> totals;
    for (const Row &row : rows) {
        // A caption may run on under its value's place: values are right-aligned.
        *row.caption = Controls::label(panel, QString::fromLatin1(row.captionName), QString::fromLatin1(row.text),
                                       twipRect(120, row.top, totalsRight - 120, rowHeight));
        *row.value = Controls::label(panel, QString::fromLatin1(row.valueName), QString(),
                                     twipRect(totalsRight, row.top, 0, rowHeight), right);
        totals.push_back({*row.caption, *row.value, row.format});
    }
    addLine(panel, 2160);

    QFont bold = font();
    bold.setBold(true);
    QFont large = bold;
    large.setPointSizeF(12);
    lblAverageCaloriesLabel = Controls::label(panel, QStringLiteral("lblAverageCaloriesLabel"),
                                              QStringLiteral("Calories Per Day"), twipRect(120, 2280, 2040, 330));
    lblAverageCalories = Controls::label(panel, QStringLiteral("lblAverageCalories"), QString(),
                                         twipRect(averagesRight, 2280, 0, 330), right);
    lblAverageFruitsAndVegetablesLabel =
        Controls::label(panel, QStringLiteral("lblAverageFruitsAndVegetablesLabel"),
                        QStringLiteral("Fruits & Vegetables Per Day"), twipRect(120, 2640, 2400, 252));
    lblAverageFruitsAndVegetables = Controls::label(panel, QStringLiteral("lblAverageFruitsAndVegetables"), QString(),
                                                    twipRect(averagesRight, 2640, 0, 252), right);
    lblAverageCaloriesLabel->setFont(large);
    lblAverageCalories->setFont(large);
    lblAverageFruitsAndVegetablesLabel->setFont(bold);
    lblAverageFruitsAndVegetables->setFont(bold);

    fitFigures(totals, twips(totalsRight));
    fitFigures({{lblAverageCaloriesLabel, lblAverageCalories, caloriesFormat},
                {lblAverageFruitsAndVegetablesLabel, lblAverageFruitsAndVegetables, servingsPerDayFormat}},
               twips(averagesRight));
}

void frmMealView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
}

void frmMealView::Form_Load()
{
    rsTotals.reset();
    rsMeals.reset();
    idSelected = 0;
    {
        const QSignalBlocker blockCalendar(mvwDates);
        const QSignalBlocker blockOption(optOneDay);
        optOneDay->setChecked(true);
        mvwDates->setRangeMode(false);
        mvwDates->setSelectedDate(Clock::today());
    }
    dtSelStart = QDate();
    dtSelEnd = QDate();
    ReQueryMeals(0);
}

IntervalMode frmMealView::intervalMode() const
{
    if (optOneDay->isChecked())
        return IntervalMode::OneDay;
    if (optOneWeek->isChecked())
        return IntervalMode::OneWeek;
    return IntervalMode::SelectedDays;
}

void frmMealView::setIntervalMode(IntervalMode mode)
{
    {
        // Changing the calendar's mode is not a new selection by the user.
        const QSignalBlocker blockCalendar(mvwDates);
        if (mode == IntervalMode::SelectedDays) {
            mvwDates->setRangeMode(true);
            mvwDates->setRange(mvwDates->selectedDate(), mvwDates->selectedDate());
        } else {
            mvwDates->setRangeMode(false);
        }
    }
    ReQueryMeals(idSelected);
}

void frmMealView::mvwDates_rangeChanged(QDate start, QDate end)
{
    if (start == dtSelStart && end == dtSelEnd)
        return;
    dtSelStart = start;
    dtSelEnd = end;
    ReQueryMeals(idSelected);
}

void frmMealView::ReQueryMeals(qint64 idMeal)
{
    const auto announce = qScopeGuard([this] { Q_EMIT mealsRequeried(); });
    const IntervalMode mode = intervalMode();
    const DateSpan span = spanFor(mode, mvwDates->selectedDate(), mvwDates->rangeStart(), mvwDates->rangeEnd());
    dtBegin = span.begin;
    dtEnd = span.end;
    // The calendar's selection is what this query acts on: a later report of the same
    // selection is nothing new, whatever mode changes came in between.
    dtSelStart = mvwDates->rangeStart();
    dtSelEnd = mvwDates->rangeEnd();
    lblDates->setText(::spanText(mode, span));
    setWindowTitle(mealViewCaption(szClient, lblDates->text()));

    rsMeals.reset();
    rsTotals.reset();

    MealViewResult result = MealViewCommand::execute(deMealwright::instance().cnMealwright(), szClient, span);
    if (result.failed()) {
        // Nothing is shown as if it were the span's meals: the panel says they were not read.
        ClearSummary();
        lblDates->setText(QStringLiteral("Meals not read"));
        MessageBox::failure(this, QStringLiteral("The meals of %1 could not be read from the database.").arg(szClient),
                            result.status.reason());
        return;
    }

    rsTotals = result.totals;
    if (rsTotals->TotalMeals == 0) {
        ClearSummary();
        return;
    }
    rsMeals = std::move(result.qryMealView);
    ShowSummary(idMeal);
}

QString frmMealView::spanText() const
{
    return ::spanText(intervalMode(), DateSpan{dtBegin, dtEnd});
}

void frmMealView::ClearSummary()
{
    for (QLabel *label : {lblTotalCalories, lblTotalFruits, lblTotalVegetables, lblTotalSupplements, lblTotalEntrees,
                          lblUnderEatingDays, lblTotalDays, lblAverageCalories, lblAverageFruitsAndVegetables})
        label->clear();
    {
        const QScopedValueRollback ignoring(m_ignoreSelection, true);
        m_model->setRows(nullptr);
    }
    lblDates->setText(QStringLiteral("No Data"));
    setAverageColours(noDataColour, noDataColour);
    rsMeals.reset();
    rsTotals.reset();
    m_currentBookmark = -1;
}

void frmMealView::ShowSummary(qint64 idMeal)
{
    const MealTotals &totals = *rsTotals;
    lblTotalCalories->setText(Format::number(totals.TotalCalories, caloriesFormat));
    lblTotalFruits->setText(Format::number(totals.TotalFruits, servingsFormat));
    lblTotalVegetables->setText(Format::number(totals.TotalVegetables, servingsFormat));
    lblTotalSupplements->setText(Format::number(totals.TotalSupplements, countFormat));
    lblTotalEntrees->setText(Format::number(totals.TotalEntrees, countFormat));

    // Every re-query shows the meals in time order again, whatever column was sorted before.
    rsMeals->sort(fieldName(MealField::When) + QStringLiteral(" ASC"));
    {
        const QScopedValueRollback ignoring(m_ignoreSelection, true);
        m_model->setRows(rsMeals);
    }

    const MealSummary summary = summarize(totals, *rsMeals, fCalorieBudget, fFVbudget);
    lblTotalDays->setText(Format::number(summary.daysLogged, daysLoggedFormat));
    lblAverageCalories->setText(Format::number(summary.caloriesPerDay, caloriesFormat));
    lblAverageFruitsAndVegetables->setText(Format::number(summary.servingsPerDay, servingsPerDayFormat));
    lblUnderEatingDays->setText(Format::number(summary.underEatingDays, underEatingFormat));
    setAverageColours(budgetColour(summary.caloriesWithinBudget), budgetColour(summary.servingsMeetBudget));

    m_currentBookmark = rsMeals->bookmarkAt(0);
    if (idMeal != 0) {
        const int position = rsMeals->find(idMeal);
        if (position >= 0)
            selectRow(position);
    }
}

void frmMealView::setAverageColours(const QColor &calories, const QColor &servings)
{
    setTextColour(lblAverageCalories, calories);
    setTextColour(lblAverageCaloriesLabel, calories);
    setTextColour(lblAverageFruitsAndVegetables, servings);
    setTextColour(lblAverageFruitsAndVegetablesLabel, servings);
}

void frmMealView::selectRow(int position)
{
    const QScopedValueRollback ignoring(m_ignoreSelection, true);
    const QModelIndex index = m_model->index(position, 1);
    dbgMeals->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    dbgMeals->scrollTo(index);
    m_currentBookmark = rsMeals->bookmarkAt(position);
}

void frmMealView::dbgMeals_selectionChanged()
{
    if (m_ignoreSelection || !rsMeals)
        return;
    QList<int> rows;
    for (const QModelIndex &index : dbgMeals->selectionModel()->selectedIndexes())
        if (!rows.contains(index.row()))
            rows.append(index.row());
    if (rows.size() != 1) {
        // No row, or more than one: no meal counts as selected. Several rows stay selected, for
        // copying; editing and deleting take one meal.
        idSelected = 0;
        return;
    }
    m_currentBookmark = rsMeals->bookmarkAt(rows.constFirst());
    idSelected = rsMeals->atBookmark(m_currentBookmark).ID;
}

QList<MealRow> frmMealView::selectedMeals() const
{
    QList<MealRow> meals;
    if (!rsMeals)
        return meals;
    QList<int> rows;
    for (const QModelIndex &index : dbgMeals->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    for (const int row : rows)
        meals.append(rsMeals->at(row));
    return meals;
}

void frmMealView::dbgMeals_HeadClick(int column)
{
    if (!rsMeals)
        return;
    const QScopedValueRollback ignoring(m_ignoreSelection, true);
    m_model->sortByColumn(column);
}

void frmMealView::DeleteMeal()
{
    if (idSelected == 0 || !rsMeals)
        return;
    const int from = m_currentBookmark >= 0 ? rsMeals->positionOf(m_currentBookmark) : 0;
    int position = rsMeals->find(idSelected, from);
    if (position < 0)
        position = rsMeals->find(idSelected);
    if (position < 0)
        return; // the selected meal is not among the meals shown
    const MealRow &meal = rsMeals->at(position);

    const QString prompt = QStringLiteral("Are you sure you want to delete the meal\r\n\"%1\", %2 %3 ?")
                               .arg(meal.Food, signPadded(meal.Amount), meal.Units);
    if (!MessageBox::question(this, prompt))
        return;

    const Status deleted = Meals(deMealwright::instance().cnMealwright()).remove(idSelected);
    if (!deleted) {
        // Nothing was deleted. The rows are read again all the same, in case another program
        // changed them; the meal stays selected while it is there.
        MessageBox::failure(this, QStringLiteral("The meal could not be deleted."), deleted.reason());
        ReQueryMeals(idSelected);
        return;
    }
    idSelected = 0;
    ReQueryMeals(0);
}

void frmMealView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const auto *frame = qobject_cast<const QMdiSubWindow *>(parentWidget());
    if ((frame && frame->isMinimized()) || width() <= 0)
        return;
    GridModel::place(dbgMeals, QRect(0, twips(gridTop), width(), height() - twips(gridTop)));
}

bool frmMealView::event(QEvent *event)
{
    // Alt+W is both One Week's access key and the Window menu's. While the focus is in the view it
    // chooses One Week, as Alt+D and Alt+S choose their options: taken here, it never reaches the
    // shortcuts, which would only alternate between the two.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->keyCombination() == QKeyCombination(Qt::AltModifier, Qt::Key_W)) {
            if (event->type() == QEvent::KeyPress) {
                optOneWeek->setFocus(Qt::ShortcutFocusReason);
                optOneWeek->click();
            }
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}
