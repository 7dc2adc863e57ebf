#pragma once

#include "Catalogue.h"
#include "Foods.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <vector>

// A large Mealwright database for the benchmarks: the food catalogue a new diary starts with
// (about 16,000 entries of the USDA tables, see Catalogue), clients with budgets of 1,200 to 2,500
// and years of diaries. Clients keep their diary on some days and not on others; a kept day
// has breakfast, lunch and dinner of two to four foods each and a few snacks of one or two.
// How many days are kept follows from the number of meals asked for, so that the Meals table
// holds exactly that many rows. A larger catalogue can be asked for: it is padded with store
// brands of the real foods, which the diaries do not use. The same options always give the
// same file.
namespace BigDiary {

struct Options
{
    std::int64_t meals = 1'000'000; // rows of the Meals table
    int clients = 50;
    int years = 10;
    std::uint64_t seed = 1;
    QDate lastDay = QDate(2026, 6, 30); // the diaries end on this day
    // Entries of the Foods table: when more than the real catalogue has, it is padded with
    // store brands ("<food>, store brand <n>", the same units, calories a little off) to
    // exactly this many. 0, or no more than the real catalogue, leaves it as it is.
    int catalogue = 0;
};

struct Summary
{
    std::int64_t meals = 0;
    int clients = 0;
    int foods = 0; // entries of the Foods table
    QDate firstDay;
    QDate lastDay;
    double seconds = 0; // wall-clock time of the whole generation
};

// An entry of the catalogue and its USDA food group code, e.g. "0900" for fruits.
using Food = CatalogueFood;

// The built-in food catalogue (Catalogue::entries()); empty when it cannot be read.
const std::vector<Food> &foods();

// The store brands that pad the real catalogue to `entries` entries (none when it has that
// many already), for a seed. Unique by food and units, among themselves and with foods().
std::vector<FoodEntry> storeBrands(int entries, std::uint64_t seed);

// The name of client number index (0-based); every index below 2,500 gives a different name.
QString clientName(int index);

// The first day of the diaries: lastDay less the years, plus one day.
QDate firstDay(const Options &options);

// What a course of an eating occasion is drawn from, for a generator that draws the diaries on a
// database server: every catalogue entry of the course's food groups (supplements left out), in
// the portion nearest the middle of the course's calories. Occasions are numbered in the order
// of the day: 0 breakfast, 1 morning snack, 2 lunch, 3 afternoon snack, 4 dinner, 5 evening snack.
struct Dish
{
    int occasion = 0;
    int course = 0; // the first is the main one; a meal's later foods take the later courses
    int food = 0;   // index into foods()
    double amount = 0;
};
std::vector<Dish> dishes();

// When in the day an occasion is eaten, in minutes after midnight [from, to), and its courses.
struct OccasionPlan
{
    int fromMinute = 0;
    int toMinute = 0;
    int courses = 0;
};
std::vector<OccasionPlan> occasions();

// Creates the database file at path, which must not exist yet. Returns the empty text on
// success, otherwise what went wrong; then no file is left behind.
QString generate(const QString &path, const Options &options, Summary *summary = nullptr);

} // namespace BigDiary
