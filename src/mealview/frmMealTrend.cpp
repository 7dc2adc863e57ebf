#include "frmMealTrend.h"

#include "deMealwright.h"
#include "FileDialog.h"
#include "Format.h"
#include "frmMealView.h"
#include "MealReportCommand.h"
#include "MessageBox.h"
#include "OutputFile.h"

#include <QAction>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QLineSeries>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QStackedBarSeries>
#include <QToolTip>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Colours that read on a light and on a dark background alike.
const QColor underColour(0x3a, 0x9a, 0x4f);
const QColor overColour(0xd9, 0x45, 0x3c);
const QColor averageColour(0x3c, 0x8d, 0xdc);
const QColor fruitColour(0xe8, 0x91, 0x2d);
const QColor vegetableColour(0x6b, 0xb3, 0x3c);

// The labels under the days: every day, week or other week, or the first of every month or
// every few months, as many as fit in width pixels without crowding, from one day to a year.
void labelDates(QCategoryAxis *axis, const std::vector<TrendDay> &days, int width)
{
    for (const QString &label : axis->categoriesLabels())
        axis->remove(label);
    const int count = static_cast<int>(days.size());
    axis->setRange(-0.5, std::max(count, 1) - 0.5);
    axis->setStartValue(-0.5);
    const int fitting = std::max(1, width / 56);
    // Days between labels; 30 stands for the first of every month, or of every few months.
    int step = 30;
    for (int days : {1, 2, 7, 14})
        if (count <= fitting * days) {
            step = days;
            break;
        }
    const int months = std::clamp((count / 30 + fitting - 1) / fitting, 1, 6);
    for (int i = 0; i < count; ++i) {
        const QDate date = days[static_cast<size_t>(i)].date;
        QString label;
        if (step < 30 && i % step == 0)
            label = Format::date(date, u"mmm d");
        else if (step == 30 && date.day() == 1 && (date.month() - 1) % months == 0)
            label = Format::date(date, date.month() == 1 ? u"yyyy" : u"mmm"); // the year at its January
        if (label.isEmpty())
            continue;
        if (axis->categoriesLabels().contains(label)) // the same month a year on
            label = Format::date(date, u"mmm yyyy");
        axis->append(label, i);
    }
}

// One category per day for the bars; their names are never shown.
void countDays(QBarCategoryAxis *axis, int count)
{
    if (axis->count() == count)
        return;
    QStringList categories;
    categories.reserve(count);
    for (int i = 0; i < count; ++i)
        categories << QString::number(i);
    axis->clear();
    axis->append(categories);
}

void setValues(QBarSet *set, const QList<qreal> &values)
{
    if (set->count() == values.size()) {
        for (int i = 0; i < values.size(); ++i)
            if (set->at(i) != values[i])
                set->replace(i, values[i]);
        return;
    }
    set->remove(0, set->count());
    set->append(values);
}

// A level line across every day.
QList<QPointF> level(double value, size_t days)
{
    return {QPointF(-0.5, value), QPointF(std::max<double>(static_cast<double>(days), 1) - 0.5, value)};
}

// The top of a value axis: above the highest value, on a round number.
void fitAxis(QValueAxis *axis, double highest, int ticks)
{
    axis->setTickCount(ticks);
    axis->setRange(0, highest > 0 ? highest * 1.08 : 1);
    axis->applyNiceNumbers();
}

QChart *newChart()
{
    auto *chart = new QChart;
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->legend()->setAlignment(Qt::AlignTop);
    chart->setAnimationOptions(QChart::NoAnimation);
    return chart;
}

QBarSet *newSet(const QString &name, const QColor &colour)
{
    auto *set = new QBarSet(name);
    set->setColor(colour);
    set->setBorderColor(colour);
    return set;
}

QLineSeries *newLine(const QString &name, const QColor &colour, Qt::PenStyle style)
{
    auto *line = new QLineSeries;
    line->setName(name);
    line->setPen(QPen(colour, 2, style));
    return line;
}

} // namespace

frmMealTrend::frmMealTrend(frmMealView *view, QWidget *parent) : QWidget(parent), m_view(view)
{
    setObjectName(QStringLiteral("frmMealTrend"));
    setAttribute(Qt::WA_DeleteOnClose);
    createCharts();
    createMenu();
    connect(view, &frmMealView::mealsRequeried, this, &frmMealTrend::ReQueryTrend);
    // The chart has nothing to show without its view.
    connect(view, &QObject::destroyed, this, [this] {
        if (auto *window = qobject_cast<QMdiSubWindow *>(parentWidget()))
            window->close();
        else
            close();
    });
    ReQueryTrend();
}

frmMealTrend::~frmMealTrend() = default;

QSize frmMealTrend::sizeHint() const
{
    return {760, 540};
}

void frmMealTrend::createCharts()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    lblMessage = new QLabel(this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setTextFormat(Qt::PlainText);
    lblMessage->setWordWrap(true);
    lblMessage->setMargin(6);
    lblMessage->hide();
    layout->addWidget(lblMessage);

    m_charts = new QWidget(this);
    auto *charts = new QVBoxLayout(m_charts);
    charts->setContentsMargins(0, 0, 0, 0);
    charts->setSpacing(0);
    layout->addWidget(m_charts, 1);

    m_caloriesChart = newChart();
    barUnder = newSet(QStringLiteral("At or under budget"), underColour);
    barOver = newSet(QStringLiteral("Over budget"), overColour);
    m_calorieBars = new QStackedBarSeries;
    m_calorieBars->setBarWidth(0.8);
    m_calorieBars->append(barUnder);
    m_calorieBars->append(barOver);
    linBudget = newLine(QStringLiteral("Budget"), Qt::black, Qt::DashLine);
    linAverage = newLine(QStringLiteral("7-day average"), averageColour, Qt::SolidLine);
    m_caloriesChart->addSeries(m_calorieBars);
    m_caloriesChart->addSeries(linBudget);
    m_caloriesChart->addSeries(linAverage);

    m_servingsChart = newChart();
    barFruits = newSet(QStringLiteral("Fruits"), fruitColour);
    barVegetables = newSet(QStringLiteral("Vegetables"), vegetableColour);
    m_servingBars = new QStackedBarSeries;
    m_servingBars->setBarWidth(0.8);
    m_servingBars->append(barFruits);
    m_servingBars->append(barVegetables);
    linServingsBudget = newLine(QStringLiteral("Servings goal"), Qt::black, Qt::DashLine);
    m_servingsChart->addSeries(m_servingBars);
    m_servingsChart->addSeries(linServingsBudget);

    // The bars stand on a hidden axis of one category per day; the lines and the date labels
    // on a value axis over the same positions (day i at i).
    const auto attach = [](QChart *chart, QStackedBarSeries *bars, const QList<QLineSeries *> &lines,
                           QBarCategoryAxis *&days, QCategoryAxis *&dates, QValueAxis *&values) {
        days = new QBarCategoryAxis;
        days->setVisible(false);
        dates = new QCategoryAxis;
        dates->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        dates->setGridLineVisible(false);
        values = new QValueAxis;
        values->setLabelFormat(QStringLiteral("%.0f"));
        chart->addAxis(days, Qt::AlignBottom);
        chart->addAxis(dates, Qt::AlignBottom);
        chart->addAxis(values, Qt::AlignLeft);
        bars->attachAxis(days);
        bars->attachAxis(values);
        for (QLineSeries *line : lines) {
            line->attachAxis(dates);
            line->attachAxis(values);
        }
    };
    attach(m_caloriesChart, m_calorieBars, {linBudget, linAverage}, m_calorieDays, m_calorieDates, m_calorieAxis);
    attach(m_servingsChart, m_servingBars, {linServingsBudget}, m_servingDays, m_servingDates, m_servingAxis);
    m_servingAxis->setLabelFormat(QStringLiteral("%.1f"));

    chvCalories = new QChartView(m_caloriesChart, m_charts);
    chvCalories->setObjectName(QStringLiteral("chvCalories"));
    chvServings = new QChartView(m_servingsChart, m_charts);
    chvServings->setObjectName(QStringLiteral("chvServings"));
    for (QChartView *chart : {chvCalories, chvServings}) {
        chart->setRenderHint(QPainter::Antialiasing);
        chart->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(chart, &QWidget::customContextMenuRequested, this, [this] { mnuTrendPopup->popup(QCursor::pos()); });
    }
    chvCalories->installEventFilter(this);
    chvServings->installEventFilter(this);
    // Pointing at a day shows its figures, over its bars or above them, in an active window or not.
    chvCalories->viewport()->installEventFilter(this);
    chvServings->viewport()->installEventFilter(this);
    charts->addWidget(chvCalories, 2);
    charts->addWidget(chvServings, 1);

    applyPalette();
}

void frmMealTrend::createMenu()
{
    mnuTrendPopup = new QMenu(this);
    mnuTrendPopup->setObjectName(QStringLiteral("mnuTrendPopup"));
    const auto add = [this](const char *name, const QString &text) {
        QAction *action = mnuTrendPopup->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    mnuTrendCopy = add("mnuTrendCopy", QStringLiteral("&Copy Chart"));
    mnuTrendSavePng = add("mnuTrendSavePng", QStringLiteral("Save as &PNG..."));
    mnuTrendSavePdf = add("mnuTrendSavePdf", QStringLiteral("Save as P&DF..."));
    connect(mnuTrendCopy, &QAction::triggered, this, [this] { QApplication::clipboard()->setImage(picture()); });
    connect(mnuTrendSavePng, &QAction::triggered, this, [this] {
        saveAs(QStringLiteral("Save Chart as PNG"), QStringLiteral("PNG pictures (*.png)"), QStringLiteral("png"),
               &frmMealTrend::savePng);
    });
    connect(mnuTrendSavePdf, &QAction::triggered, this, [this] {
        saveAs(QStringLiteral("Save Chart as PDF"), QStringLiteral("PDF files (*.pdf)"), QStringLiteral("pdf"),
               &frmMealTrend::savePdf);
    });
}

void frmMealTrend::ReQueryTrend()
{
    if (!m_view)
        return;
    const DateSpan span{m_view->dtBegin, m_view->dtEnd};
    setWindowTitle(TrendSeries::caption(m_view->szClient, m_view->spanText()));
    m_budget = m_view->fCalorieBudget;
    m_servingsBudget = m_view->fFVbudget;

    const Result<ReportRow> report = MealReportCommand::execute(deMealwright::instance().cnMealwright(), m_view->szClient, span);
    if (!report) {
        // Nothing stale stays on screen: the figures go, the reason shows.
        m_days.clear();
        draw();
        m_charts->hide();
        lblMessage->setText(QStringLiteral("The meals of %1 could not be read from the database.\n\n%2")
                                .arg(m_view->szClient, report.reason()));
        lblMessage->show();
        return;
    }
    m_days = TrendSeries::daily(*report, span);
    draw();
    m_charts->show();
    const bool anyMeals = std::any_of(m_days.begin(), m_days.end(), [](const TrendDay &day) { return day.hasMeals; });
    lblMessage->setText(anyMeals ? QString() : QStringLiteral("No meals recorded for %1 in this span.").arg(m_view->szClient));
    lblMessage->setVisible(!anyMeals);
}

void frmMealTrend::draw()
{
    const int count = static_cast<int>(m_days.size());
    QList<qreal> under, over, fruits, vegetables;
    QList<QPointF> average;
    double highestCalories = m_budget;
    double highestServings = m_servingsBudget;
    for (int i = 0; i < count; ++i) {
        const TrendDay &day = m_days[static_cast<size_t>(i)];
        const bool isOver = TrendSeries::overBudget(day, m_budget);
        under << (day.hasMeals && !isOver ? day.calories : 0);
        over << (isOver ? day.calories : 0);
        fruits << day.fruits;
        vegetables << day.vegetables;
        if (day.movingAverage)
            average << QPointF(i, *day.movingAverage);
        highestCalories = std::max({highestCalories, day.calories, day.movingAverage.value_or(0)});
        highestServings = std::max(highestServings, day.fruits + day.vegetables);
    }
    // A few days do not fill the chart with bars; single points of the average still show.
    const qreal barWidth = 0.8 * std::min(1.0, std::max(count, 1) / 7.0);
    m_calorieBars->setBarWidth(barWidth);
    m_servingBars->setBarWidth(barWidth);
    linAverage->setPointsVisible(count <= 31);
    countDays(m_calorieDays, count);
    countDays(m_servingDays, count);
    setValues(barUnder, under);
    setValues(barOver, over);
    setValues(barFruits, fruits);
    setValues(barVegetables, vegetables);
    linAverage->replace(average);
    linBudget->replace(count > 0 ? level(m_budget, m_days.size()) : QList<QPointF>());
    linServingsBudget->replace(count > 0 ? level(m_servingsBudget, m_days.size()) : QList<QPointF>());
    labelAxes();
    m_calorieTicks = ticksFor(chvCalories);
    m_servingTicks = ticksFor(chvServings);
    fitAxis(m_calorieAxis, highestCalories, m_calorieTicks);
    fitAxis(m_servingAxis, highestServings, m_servingTicks);
    alignPlots();
}

void frmMealTrend::alignPlots()
{
    // The value axes' labels differ in width ("2000", "6.0"): the chart with the narrower ones
    // gets the difference as margin, so that a day's bars stand one above the other.
    const auto labelWidth = [](const QValueAxis *axis) {
        const QFontMetrics metrics(axis->labelsFont());
        const QByteArray format = axis->labelFormat().toLatin1();
        int widest = 0;
        for (int i = 0; i < axis->tickCount(); ++i) {
            const double value = axis->min() + i * (axis->max() - axis->min()) / std::max(axis->tickCount() - 1, 1);
            widest = std::max(widest, metrics.horizontalAdvance(QString::asprintf(format.constData(), value)));
        }
        return widest;
    };
    const int calories = labelWidth(m_calorieAxis);
    const int servings = labelWidth(m_servingAxis);
    m_caloriesChart->setMargins(QMargins(2 + std::max(0, servings - calories), 2, 2, 2));
    m_servingsChart->setMargins(QMargins(2 + std::max(0, calories - servings), 2, 2, 2));
}

QString frmMealTrend::dayTip(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_days.size()))
        return {};
    return TrendSeries::describe(m_days[static_cast<size_t>(index)], m_budget);
}

void frmMealTrend::showTip(QChartView *view, const QMouseEvent &mouse)
{
    QChart *chart = view->chart();
    const QPointF point = chart->mapFromScene(view->mapToScene(mouse.position().toPoint()));
    const int index = qRound(chart->mapToValue(point, chart == m_caloriesChart ? linBudget : linServingsBudget).x());
    const QString tip = chart->plotArea().contains(point) ? dayTip(index) : QString();
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(mouse.globalPosition().toPoint(), tip, view);
}

int frmMealTrend::ticksFor(const QChartView *chart)
{
    return std::clamp((chart->height() - 40) / 32, 3, 5);
}

void frmMealTrend::labelAxes()
{
    // The plot is the chart less the value axis and the margins.
    m_labelledWidth = chvCalories->width() - 70;
    labelDates(m_calorieDates, m_days, m_labelledWidth);
    labelDates(m_servingDates, m_days, m_labelledWidth);
}

void frmMealTrend::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // A short window keeps its room for the bars: the legends go first.
    const bool roomy = height() >= 380;
    m_caloriesChart->legend()->setVisible(roomy);
    m_servingsChart->legend()->setVisible(roomy);
}

bool frmMealTrend::eventFilter(QObject *watched, QEvent *event)
{
    // The chart's width, once the layout has given it, sets how many dates fit under it.
    if (watched == chvCalories && event->type() == QEvent::Resize && chvCalories->width() - 70 != m_labelledWidth)
        labelAxes();
    // A low chart has room for fewer values up its side.
    if (event->type() == QEvent::Resize && (watched == chvCalories || watched == chvServings)
        && (ticksFor(chvCalories) != m_calorieTicks || ticksFor(chvServings) != m_servingTicks))
        draw();
    if (event->type() == QEvent::MouseMove)
        for (QChartView *view : {chvCalories, chvServings})
            if (watched == view->viewport())
                showTip(view, static_cast<const QMouseEvent &>(*event));
    return QWidget::eventFilter(watched, event);
}

void frmMealTrend::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        applyPalette();
}

void frmMealTrend::applyPalette()
{
    const QPalette colours = palette();
    const QColor text = colours.color(QPalette::WindowText);
    QColor grid = colours.color(QPalette::Mid);
    for (QChart *chart : {m_caloriesChart, m_servingsChart}) {
        chart->setBackgroundBrush(colours.color(QPalette::Base));
        chart->setBackgroundPen(Qt::NoPen);
        chart->setTitleBrush(text);
        chart->legend()->setLabelColor(text);
        for (QAbstractAxis *axis : chart->axes()) {
            axis->setLabelsColor(text);
            axis->setTitleBrush(text);
            axis->setLinePenColor(grid);
            axis->setGridLineColor(grid);
        }
    }
    for (QLineSeries *line : {linBudget, linServingsBudget}) {
        QPen pen = line->pen();
        pen.setColor(text);
        line->setPen(pen);
    }
}

QImage frmMealTrend::picture() const
{
    return m_charts->grab().toImage();
}

Status frmMealTrend::savePng(const QString &path) const
{
    const QImage image = picture();
    return OutputFile::write(path, [&image](QIODevice &device) {
        QImageWriter writer(&device, "png");
        if (!writer.write(image))
            return Status::failure(writer.errorString());
        return Status();
    });
}

Status frmMealTrend::savePdf(const QString &path) const
{
    return OutputFile::write(path, [this](QIODevice &device) {
        QPdfWriter pdf(&device);
        pdf.setCreator(QStringLiteral("Mealwright"));
        pdf.setTitle(windowTitle());
        pdf.setResolution(96);
        const QSizeF points = QSizeF(m_charts->size()) * 72.0 / 96.0;
        pdf.setPageSize(QPageSize(points, QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (!painter.begin(&pdf))
            return Status::failure(QStringLiteral("The PDF could not be started."));
        // The scenes themselves, not the widgets: the text is laid out as on the screen.
        painter.fillRect(m_charts->rect(), palette().window());
        for (QChartView *chart : {chvCalories, chvServings})
            chart->render(&painter, QRectF(chart->geometry()), chart->viewport()->rect());
        if (!painter.end())
            return Status::failure(QStringLiteral("The PDF could not be finished."));
        return Status();
    });
}

void frmMealTrend::saveAs(const QString &title, const QString &filter, const QString &suffix,
                          Status (frmMealTrend::*write)(const QString &) const)
{
    const QString name = windowTitle().remove(QLatin1Char('/')).remove(QLatin1Char(':'));
    const QString path = FileDialog::saveFile(this, {title, filter, suffix, name + QLatin1Char('.') + suffix});
    if (path.isEmpty())
        return;
    if (const Status written = (this->*write)(path); !written)
        MessageBox::failure(this, QStringLiteral("The chart could not be saved."), written.reason());
}
