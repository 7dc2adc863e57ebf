// The trend chart of a meal view on a large database, for the 365 days of the query case:
// drawn (the window made for its view, the meal report read, the charts built and rendered to
// an image of the window's default size) and redrawn (the chart reads the report again after a
// re-query of its view and is rendered again). The view's own re-query is timed apart, with
// the chart following it, so that the two can be told apart.
//
//   MEALWRIGHT_BENCH_DB=/tmp/mealwright-1m.mdb bench_trend
// Without MEALWRIGHT_BENCH_DB a database of 100,000 meals is generated in a temporary folder.

#include "BenchSupport.h"
#include "BenchViews.h"

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
    auto view = BenchViews::openMealView(g_case, 1800, "bench_trend");
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

// The chart of the view at its default size.
std::unique_ptr<frmMealTrend> newTrend(frmMealView *view)
{
    auto trend = std::make_unique<frmMealTrend>(view);
    trend->setAttribute(Qt::WA_DeleteOnClose, false);
    trend->resize(trend->sizeHint());
    return trend;
}

void BM_Draw(benchmark::State &state)
{
    auto view = openView();
    for (auto _ : state) {
        auto trend = newTrend(view.get());
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

// A re-query with the chart open, rendered again afterwards: the chart's own part (the report
// read again, the values replaced), or the whole of it as the user meets it, the view's own
// query and panel first.
void BM_Redraw(benchmark::State &state, bool throughView)
{
    auto view = openView();
    auto trend = newTrend(view.get());
    QImage image(trend->size(), QImage::Format_ARGB32_Premultiplied);
    render(*trend, image);
    for (auto _ : state) {
        if (throughView)
            view->ReQueryMeals(0);
        else
            trend->ReQueryTrend();
        render(*trend, image);
        benchmark::DoNotOptimize(image.constBits());
    }
    count(state, *trend);
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

    BenchSupport::medians(benchmark::RegisterBenchmark("TrendDraw/365days", &BM_Draw));
    BenchSupport::medians(benchmark::RegisterBenchmark("TrendRedraw/365days", &BM_Redraw, false));
    BenchSupport::medians(benchmark::RegisterBenchmark("ViewReQueryWithTrend/365days", &BM_Redraw, true));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    deMealwright::instance().close();
    return 0;
}
