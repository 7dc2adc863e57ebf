#pragma once

#include "GridModel.h"

// The meal grid's designed columns over a span's meals (MealRows).
class MealGridModel : public GridModel
{
    Q_OBJECT

public:
    explicit MealGridModel(QObject *parent = nullptr);
};
