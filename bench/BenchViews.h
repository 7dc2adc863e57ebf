#pragma once

// A meal view for the benchmarks that open windows (they link mealwright_ui and Qt Test; the
// rest of the bench support needs neither).

#include "BenchSupport.h"
#include "frmMealView.h"

#include <QTest>

#include <cstdio>
#include <memory>

namespace BenchViews {

// A meal view of the query case's client with this calorie budget, shown and exposed; the
// program's name goes in the message when it never is.
inline std::unique_ptr<frmMealView> openMealView(const BenchSupport::QueryCase &queryCase, float calorieBudget,
                                                 const char *program)
{
    auto view = std::make_unique<frmMealView>();
    view->setAttribute(Qt::WA_DeleteOnClose, false);
    view->szClient = queryCase.client;
    view->fCalorieBudget = calorieBudget;
    view->fFVbudget = 5;
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get()))
        std::fprintf(stderr, "%s: the view was never shown\n", program);
    return view;
}

} // namespace BenchViews
