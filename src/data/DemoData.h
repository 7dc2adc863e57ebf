#pragma once

#include "Clients.h"
#include "Foods.h"
#include "Meals.h"
#include "Status.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <vector>

class Connection;

// The demo diary: three clients, a food list of everyday foods and eight weeks of meals.
// The foods' figures come from the USDA National Nutrient Database (SR21), worked out per
// household measure. The meals are made by a fixed-seed generator, so the same last day always
// gives the same diary.
namespace DemoData {

// The meals cover this many calendar days, the last day included.
inline constexpr int days = 56;

const std::vector<Client> &clients();
const std::vector<FoodEntry> &foods();

// The meals of the days lastDay - days + 1 to lastDay, day by day and client by client, each
// client's in time order. Every Food + Units pair is one of foods().
std::vector<Meal> meals(QDate lastDay);

// Writes the clients, the foods and meals(lastDay) into the database open on connection, which
// holds the Mealwright tables (Schema::create) and no clients, foods or meals yet, in one
// transaction: all of it, or nothing.
Status write(Connection &connection, QDate lastDay);

// Creates a new diary file at path holding the demo diary ending on lastDay, as
// NewDiary::create creates an empty one: an existing file is never touched, and a failure
// leaves nothing behind.
Status createFile(const QString &path, QDate lastDay);

} // namespace DemoData
