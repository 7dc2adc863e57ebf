// The meal view window's re-query on a large database: ReQueryMeals for one week and for a
// 365-day range, as the window does it when the user picks dates (query, row list, grid,
// summary panel), alone and with the window painted afterwards. Each case reports the
// process's peak resident memory with its view open.
//
//   MEALWRIGHT_BENCH_DB=/tmp/mealwright-1m.mdb bench_mealview
// Without MEALWRIGHT_BENCH_DB a database of 100,000 meals is generated in a temporary folder.

#include "BenchSupport.h"
#include "BenchViews.h"

#include "deMealwright.h"
#include "frmMealView.h"
#include "RangeCalendar.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

BenchSupport::QueryCase g_case;

std::unique_ptr<frmMealView> openView()
{
    return BenchViews::openMealView(g_case, 1500, "bench_mealview");
}

// ReQueryMeals alone, or with the window painted afterwards as the event loop would (the
// labels, the grid and the calendar all repaint).
void requery(benchmark::State &state, frmMealView &view, bool paint)
{
    for (auto _ : state) {
        view.ReQueryMeals(view.idSelected);
        if (!paint)
            state.PauseTiming();
        QCoreApplication::processEvents();
        if (!paint)
            state.ResumeTiming();
    }
    state.counters["rows"] = view.dbgMeals->model()->rowCount();
    state.counters["peak_rss_KiB"] = static_cast<double>(BenchSupport::peakResidentKiB());
}

void BM_ReQueryMealsWeek(benchmark::State &state, bool paint)
{
    auto view = openView();
    view->optOneWeek->click();
    view->mvwDates->setSelectedDate(g_case.week.firstDay());
    requery(state, *view, paint);
}

void BM_ReQueryMeals365Days(benchmark::State &state, bool paint)
{
    auto view = openView();
    view->optSelectedDays->click();
    view->mvwDates->setRange(g_case.year.firstDay(), g_case.year.lastDay());
    requery(state, *view, paint);
}

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::prepareEnvironment();
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);

    g_case = BenchSupport::openQueryCase("bench_mealview", 100'000);
    if (!g_case.errorText.isEmpty())
        return 1;

    using Case = void (*)(benchmark::State &, bool);
    const std::pair<const char *, Case> cases[] = {{"week", &BM_ReQueryMealsWeek}, {"365days", &BM_ReQueryMeals365Days}};
    for (bool paint : {false, true})
        for (const auto &[span, function] : cases)
            benchmark::RegisterBenchmark((std::string(paint ? "ReQueryMealsAndPaint/" : "ReQueryMeals/") + span).c_str(),
                                         function, paint)
            ->Repetitions(10)
            ->ReportAggregatesOnly(true)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    deMealwright::instance().close();
    return 0;
}
