// The trend chart of a meal view on a large database, for the 365 days of the query case:
// drawn (the window made for its view, the meal report read, the charts built and rendered to
// an image of the window's default size) and redrawn (the chart reads the report again after a
// re-query of its view and is rendered again). The view's own re-query is timed apart, with
// the chart following it, so that the two can be told apart.
//
//   MEALWRIGHT_BENCH_DB=/tmp/mealwright-1m.mdb bench_trend
// Without MEALWRIGHT_BENCH_DB a database of 100,000 meals is generated in a temporary folder.

#include "BenchSupport.h"

#include "deMealwright.h"
#include "frmMealTrend.h"
#include "frmMealView.h"
#include "RangeCalendar.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QRadioButton>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

BenchSupport::QueryCase g_case;

// A view of the query case's client over its 365 days, shown.
std::unique_ptr<frmMealView> openView()
{
    auto view = std::make_unique<frmMealView>();
    view->setAttribute(Qt::WA_DeleteOnClose, false);
    view->szClient = g_case.client;
    view->fCalorieBudget = 1800;
    view->fFVbudget = 5;
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get()))
        std::fprintf(stderr, "bench_trend: the view was never shown\n");
    view->optSelectedDays->click();
    view->mvwDates->setRange(g_case.year.firstDay(), g_case.year.lastDay());
    return view;
}

void render(frmMealTrend &trend, QImage &image)
{
    QPainter painter(&image);
    trend.render(&painter);
}

void count(benchmark::State &state, const frmMealTrend &trend)
{
    state.counters["days"] = static_cast<double>(trend.days().size());
    state.counters["days_with_meals"] = static_cast<double>(
        std::count_if(trend.days().begin(), trend.days().end(), [](const TrendDay &day) { return day.hasMeals; }));
}

void BM_Draw(benchmark::State &state)
{
    auto view = openView();
    std::unique_ptr<frmMealTrend> trend;
    for (auto _ : state) {
        trend = std::make_unique<frmMealTrend>(view.get());
        trend->setAttribute(Qt::WA_DeleteOnClose, false);
        trend->resize(trend->sizeHint());
        QImage image(trend->size(), QImage::Format_ARGB32_Premultiplied);
        render(*trend, image);
        benchmark::DoNotOptimize(image.constBits());
        state.PauseTiming();
        // To look at what is measured: MEALWRIGHT_BENCH_TREND_IMAGE=/tmp/trend.png
        if (const QString path = qEnvironmentVariable("MEALWRIGHT_BENCH_TREND_IMAGE"); !path.isEmpty())
            image.save(path);
        count(state, *trend);
        trend.reset();
        state.ResumeTiming();
    }
}

// The chart's own part of a re-query of its view: the report read again, the values replaced
// and the image rendered again.
void BM_Redraw(benchmark::State &state)
{
    auto view = openView();
    frmMealTrend trend(view.get());
    trend.setAttribute(Qt::WA_DeleteOnClose, false);
    trend.resize(trend.sizeHint());
    QImage image(trend.size(), QImage::Format_ARGB32_Premultiplied);
    render(trend, image);
    for (auto _ : state) {
        trend.ReQueryTrend();
        render(trend, image);
        benchmark::DoNotOptimize(image.constBits());
    }
    count(state, trend);
}

// The whole of a re-query of the view with its chart open: the view's own query and panel,
// then the chart redrawn.
void BM_ViewReQueryWithChart(benchmark::State &state)
{
    auto view = openView();
    frmMealTrend trend(view.get());
    trend.setAttribute(Qt::WA_DeleteOnClose, false);
    trend.resize(trend.sizeHint());
    QImage image(trend.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        view->ReQueryMeals(0);
        render(trend, image);
        benchmark::DoNotOptimize(image.constBits());
    }
    count(state, trend);
}

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::prepareEnvironment();
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);

    g_case = BenchSupport::openQueryCase("bench_trend", 100'000);
    if (!g_case.errorText.isEmpty())
        return 1;

    for (const auto &[name, function] : {std::pair{"TrendDraw/365days", &BM_Draw}, {"TrendRedraw/365days", &BM_Redraw},
                                         {"ViewReQueryWithTrend/365days", &BM_ViewReQueryWithChart}})
        BenchSupport::medians(benchmark::RegisterBenchmark(name, function));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    deMealwright::instance().close();
    return 0;
}
