#include "DemoData.h"

#include "Connection.h"
#include "DateSpan.h"
#include "NewDiary.h"

#include <algorithm>
#include <cstdint>
#include <random>

namespace DemoData {

namespace {

// ---------------------------------------------------------------------------------------------
// The food list.
//
// Energy per unit = kcal per 100 g (USDA SR21 ABBREV.txt) x grams of the household measure
// (WEIGHT.txt) / 100, rounded; the NDB number of each source food is given. Fruit and vegetable
// servings count cup-equivalents: a piece or a cup of fruit, a cup of juice, a cup of cooked
// vegetables or a baked potato is one serving, a cup of salad leaves half of one.

struct FoodRow
{
    const char *food;
    const char *units;
    double caloriesPerUnit;
    double vegetableServings;
    double fruitServings;
    bool entree;
    bool supplement;
};

constexpr FoodRow foodRows[] = {
    // Fruit
    {"Apple", "each", 95, 0, 1, false, false},           // 09003, medium, 182 g
    {"Apple", "g", 0.52, 0, 0.0055, false, false},       // 09003, 52 kcal/100 g; 182 g a serving
    {"Banana", "each", 105, 0, 1, false, false},         // 09040, medium, 118 g
    {"Orange", "each", 62, 0, 1, false, false},          // 09200, 131 g
    {"Strawberries", "cup", 49, 0, 1, false, false},     // 09316, halves, 152 g
    {"Grapes", "cup", 104, 0, 1, false, false},          // 09132, 151 g
    {"Orange juice", "cup", 112, 0, 1, false, false},    // 09206, 248 g
    {"Orange juice", "fl oz", 14, 0, 0.125, false, false}, // 09206, 31 g
    // Vegetables
    {"Broccoli, steamed", "cup", 55, 1, 0, false, false}, // 11091, chopped, 156 g
    {"Carrot", "each", 25, 0.5, 0, false, false},         // 11124, medium, 61 g
    {"Romaine salad", "cup", 8, 0.5, 0, false, false},    // 11251, shredded, 47 g
    {"Green beans", "cup", 38, 1, 0, false, false},       // 11061, 135 g
    {"Baked potato", "each", 161, 1, 0, false, false},    // 11674, medium, 173 g
    {"Tomato", "slice", 4, 0.1, 0, false, false},         // 11529, medium slice, 20 g
    {"Vegetable beef soup", "cup", 80, 0.5, 0, false, false}, // 06472, 241 g
    // Milk, cheese, eggs, meat, fish, nuts
    {"Milk, 2%", "cup", 122, 0, 0, false, false},          // 01079, 244 g
    {"Milk, 2%", "fl oz", 15.2, 0, 0, false, false},       // 01079, 30.5 g
    {"Fruit yogurt, low-fat", "each", 173, 0, 0, false, false}, // 01121, 6 oz container, 170 g
    {"Cheddar cheese", "oz", 114, 0, 0, false, false},     // 01009, 28.35 g
    {"Cheddar cheese", "slice", 113, 0, 0, false, false},  // 01009, 28 g
    {"Egg, hard-boiled", "each", 78, 0, 0, false, false},  // 01129, large, 50 g
    {"Chicken breast, roasted", "oz", 47, 0, 0, false, false}, // 05064, 165 kcal/100 g
    {"Salmon, baked", "oz", 58, 0, 0, false, false},       // 15237, 206 kcal/100 g
    {"Peanut butter", "tbsp", 94, 0, 0, false, false},     // 16098, 16 g
    {"Almonds", "oz", 163, 0, 0, false, false},            // 12061, 28.35 g
    {"Butter", "tsp", 34, 0, 0, false, false},             // 01001, a third of a 14.2 g tbsp
    // Bread and grains
    {"Whole wheat bread", "slice", 69, 0, 0, false, false}, // 18075, 28 g
    {"Oatmeal", "cup", 166, 0, 0, false, false},           // 08121, cooked, 234 g
    {"Raisin bran cereal", "cup", 190, 0, 0, false, false}, // 08060, 59 g
    {"Brown rice", "cup", 216, 0, 0, false, false},        // 20037, cooked, 195 g
    {"Bagel", "each", 183, 0, 0, false, false},            // 18001, 3-1/2" dia, 71 g
    {"Baker's bran muffin", "each", 305, 0, 0, false, false}, // 18283, medium, 113 g
    // Meal-plan entrees
    {"Chicken pasta entree", "each", 232, 0.5, 0, true, false}, // 22577, 297 g
    {"Lasagna entree", "each", 249, 0.25, 0, true, false},       // 22570, 215 g
    // 2 oz ground beef (23568) + 3/4 cup mashed potatoes (11381) + 1/2 cup mixed vegetables (11584)
    {"Shepherd's pie", "serving", 371, 1.25, 0, true, false},
    // Meal replacements
    {"Chocolate meal-replacement shake", "packet", 245, 0, 0, false, true}, // 16152, 8 fl oz, 253 g
    {"Meal-replacement bar", "bar", 212, 0, 0, false, true},                 // 25016, 55 g
    // Snacks and drinks
    {"Popcorn, air-popped", "cup", 31, 0, 0, false, false},  // 19034, 8 g
    {"Chocolate chip cookie", "each", 58, 0, 0, false, false}, // 18159, 12.2 g
    {"Vanilla ice cream", "cup", 273, 0, 0, false, false},   // 19095, 132 g
    {"Italian dressing", "tbsp", 43, 0, 0, false, false},    // 04114, 14.7 g
    {"Coffee, black", "cup", 2, 0, 0, false, false},         // 14209, 237 g
    {"Cola", "fl oz", 11.4, 0, 0, false, false},             // 14400, 30.7 g
};

// ---------------------------------------------------------------------------------------------
// What people eat: dishes made of courses, each course one of a few portions.

struct Portion
{
    const char *food;
    const char *units;
    std::vector<double> amounts; // the sizes people take, smallest first
};

struct Course
{
    std::vector<Portion> choices;
    double chance = 1; // how often the course is part of the dish
};

using Dish = std::vector<Course>;

Course always(std::vector<Portion> choices)
{
    return {std::move(choices), 1};
}

Course sometimes(double chance, std::vector<Portion> choices)
{
    return {std::move(choices), chance};
}

enum MealKind { Breakfast, Lunch, Snack, Dinner, LateSnack, MealKindCount };

// Two to four foods for breakfast, lunch and dinner; one or two for a snack.
const std::vector<Dish> &dishes(MealKind kind)
{
    static const std::vector<Dish> breakfast = {
        {always({{"Oatmeal", "cup", {0.75, 1, 1.5, 2}}}),
         always({{"Banana", "each", {1}}, {"Strawberries", "cup", {0.5, 1}}, {"Apple", "g", {100, 125, 150}}}),
         always({{"Milk, 2%", "cup", {0.5, 1}}, {"Coffee, black", "cup", {1, 2}}}),
         sometimes(0.3, {{"Orange juice", "fl oz", {4, 6, 8}}})},
        {always({{"Whole wheat bread", "slice", {1, 2, 3}}}),
         always({{"Peanut butter", "tbsp", {1, 2}}, {"Butter", "tsp", {1, 2}}}),
         always({{"Egg, hard-boiled", "each", {1, 2}}}),
         sometimes(0.6, {{"Orange juice", "cup", {0.5, 1}}, {"Coffee, black", "cup", {1, 2}}})},
        {always({{"Raisin bran cereal", "cup", {0.75, 1, 1.5, 2}}}),
         always({{"Milk, 2%", "cup", {0.5, 0.75, 1}}}),
         sometimes(0.5, {{"Banana", "each", {1}}, {"Strawberries", "cup", {0.5}}}),
         sometimes(0.5, {{"Coffee, black", "cup", {1, 2}}})},
        {always({{"Bagel", "each", {1}}}),
         always({{"Butter", "tsp", {1, 2}}, {"Peanut butter", "tbsp", {1, 2}}, {"Cheddar cheese", "slice", {1}}}),
         sometimes(0.8, {{"Coffee, black", "cup", {1, 2}}, {"Orange juice", "fl oz", {6, 8, 12}}})},
        {always({{"Baker's bran muffin", "each", {1}}}),
         always({{"Coffee, black", "cup", {1, 2}}, {"Milk, 2%", "fl oz", {8, 12}}}),
         sometimes(0.4, {{"Orange", "each", {1}}, {"Banana", "each", {1}}})},
        {always({{"Chocolate meal-replacement shake", "packet", {1}}}),
         always({{"Coffee, black", "cup", {1, 2}}}),
         sometimes(0.5, {{"Banana", "each", {1}}, {"Strawberries", "cup", {0.5, 1}}})},
    };
    static const std::vector<Dish> lunch = {
        {always({{"Whole wheat bread", "slice", {2}}}),
         always({{"Chicken breast, roasted", "oz", {2, 3}}, {"Cheddar cheese", "slice", {1, 2}}}),
         sometimes(0.5, {{"Tomato", "slice", {2, 3}}}),
         always({{"Apple", "each", {1}},
                 {"Orange", "each", {1}},
                 {"Carrot", "each", {1, 2}},
                 {"Grapes", "cup", {0.5, 1}}})},
        {always({{"Romaine salad", "cup", {2, 3}}}),
         always({{"Chicken breast, roasted", "oz", {3, 4}},
                 {"Salmon, baked", "oz", {3, 4}},
                 {"Egg, hard-boiled", "each", {1, 2}}}),
         always({{"Italian dressing", "tbsp", {1, 2}}}),
         sometimes(0.4, {{"Whole wheat bread", "slice", {1}}})},
        {always({{"Vegetable beef soup", "cup", {1, 1.5, 2}}}),
         always({{"Whole wheat bread", "slice", {1, 2}}}),
         sometimes(0.4, {{"Cheddar cheese", "oz", {1}}}),
         sometimes(0.5, {{"Apple", "g", {120, 150, 180}}})},
        {always({{"Chicken pasta entree", "each", {1}}, {"Lasagna entree", "each", {1}}}),
         always({{"Milk, 2%", "fl oz", {8}}, {"Coffee, black", "cup", {1}}, {"Cola", "fl oz", {12, 16}}}),
         sometimes(0.5, {{"Grapes", "cup", {0.5, 1}}, {"Apple", "each", {1}}})},
        {always({{"Meal-replacement bar", "bar", {1}}}),
         always({{"Apple", "each", {1}}, {"Orange", "each", {1}}}),
         sometimes(0.5, {{"Coffee, black", "cup", {1}}, {"Milk, 2%", "fl oz", {8, 12}}})},
        {always({{"Fruit yogurt, low-fat", "each", {1}}}),
         always({{"Bagel", "each", {1}}, {"Whole wheat bread", "slice", {2}}}),
         sometimes(0.6, {{"Banana", "each", {1}}, {"Strawberries", "cup", {1}}, {"Carrot", "each", {2}}})},
    };
    static const std::vector<Dish> dinner = {
        {always({{"Chicken breast, roasted", "oz", {4, 5, 6, 8}}}),
         always({{"Brown rice", "cup", {0.5, 0.75, 1, 1.5}}}),
         always({{"Broccoli, steamed", "cup", {1, 1.5}}, {"Green beans", "cup", {1}}}),
         sometimes(0.3, {{"Butter", "tsp", {1}}})},
        {always({{"Salmon, baked", "oz", {4, 5, 6, 8}}}),
         always({{"Baked potato", "each", {1}}}),
         always({{"Green beans", "cup", {1}}, {"Broccoli, steamed", "cup", {1}}, {"Romaine salad", "cup", {2}}}),
         sometimes(0.6, {{"Butter", "tsp", {1, 2}}})},
        {always({{"Shepherd's pie", "serving", {1, 1.5}}}),
         always({{"Romaine salad", "cup", {1.5, 2}}}),
         sometimes(0.7, {{"Italian dressing", "tbsp", {1}}}),
         sometimes(0.3, {{"Milk, 2%", "cup", {1}}, {"Cola", "fl oz", {12}}})},
        {always({{"Lasagna entree", "each", {1, 2}}, {"Chicken pasta entree", "each", {1, 2}}}),
         always({{"Romaine salad", "cup", {2}}, {"Green beans", "cup", {1}}}),
         sometimes(0.4, {{"Whole wheat bread", "slice", {1, 2}}, {"Cola", "fl oz", {12}}})},
        {always({{"Vegetable beef soup", "cup", {1.5, 2}}}),
         always({{"Whole wheat bread", "slice", {2}}}),
         always({{"Cheddar cheese", "slice", {1, 2}}}),
         sometimes(0.5, {{"Tomato", "slice", {2}}})},
    };
    static const std::vector<Dish> snack = {
        {always({{"Apple", "each", {1}},
                 {"Banana", "each", {1}},
                 {"Orange", "each", {1}},
                 {"Grapes", "cup", {1}},
                 {"Popcorn, air-popped", "cup", {2, 3}},
                 {"Almonds", "oz", {0.5, 1}},
                 {"Fruit yogurt, low-fat", "each", {1}},
                 {"Carrot", "each", {2}}}),
         sometimes(0.3, {{"Cheddar cheese", "oz", {1}},
                         {"Chocolate chip cookie", "each", {1, 2}},
                         {"Coffee, black", "cup", {1}}})},
    };
    static const std::vector<Dish> lateSnack = {
        {always({{"Vanilla ice cream", "cup", {0.5, 1}},
                 {"Chocolate chip cookie", "each", {2, 3}},
                 {"Popcorn, air-popped", "cup", {3, 4}},
                 {"Almonds", "oz", {1}},
                 {"Peanut butter", "tbsp", {1, 2}}}),
         sometimes(0.4, {{"Milk, 2%", "cup", {1}}, {"Whole wheat bread", "slice", {1}}})},
    };
    switch (kind) {
    case Breakfast:
        return breakfast;
    case Lunch:
        return lunch;
    case Dinner:
        return dinner;
    case Snack:
        return snack;
    case LateSnack:
    case MealKindCount:
        break;
    }
    return lateSnack;
}

// When each kind of meal starts. The foods of a meal are recorded one after the other within
// three minutes of its start, so every food lies between from and to.
struct Window
{
    QTime from;
    QTime to;
};

Window window(MealKind kind)
{
    switch (kind) {
    case Breakfast:
        return {QTime(6, 30), QTime(9, 0)};
    case Lunch:
        return {QTime(11, 30), QTime(13, 30)};
    case Snack:
        return {QTime(15, 0), QTime(16, 30)};
    case Dinner:
        return {QTime(17, 30), QTime(20, 0)};
    case LateSnack:
    case MealKindCount:
        break;
    }
    return {QTime(21, 0), QTime(23, 0)};
}

// ---------------------------------------------------------------------------------------------
// The clients and their habits.

struct Habits
{
    double logChanceWeekday; // how often a day is recorded at all
    double logChanceWeekend;
    double appetite;         // -1 always the smallest portion .. +1 always the largest
    double snackChance;
    double lateSnackChance;
    double treatChance;      // a day with a second helping of dessert
    double hearty;           // 0 .. 1: how much more often the side courses are taken
    bool toTheSecond;        // foods stamped as entered, else typed to the minute
    std::vector<int> dishWeights[MealKindCount]; // how often each dish is chosen
};

struct ClientRow
{
    const char *who;
    double calorieBudget;
    Habits habits;
};

const std::vector<ClientRow> &clientRows()
{
    static const std::vector<ClientRow> rows = {
        // Uses the meal replacements and records every day but a few.
        {"Maeve O'Brien", 1200, {0.95, 0.92, -0.4, 0.35, 0.15, 0.08, 0.0, true,
                                 {{2, 1, 1, 0, 1, 5}, {2, 3, 2, 1, 4, 2}, {1}, {3, 3, 2, 3, 2}, {1}}}},
        // Records nearly every day; cooks most dinners.
        {"Rosa Lindqvist", 1500, {0.93, 0.9, 0.2, 0.5, 0.3, 0.1, 0.2, true,
                                  {{3, 3, 2, 1, 1, 0}, {3, 2, 2, 2, 0, 2}, {1}, {3, 3, 2, 2, 1}, {1}}}},
        // Records on workdays mostly, and rarely at weekends: to the minute, by hand.
        {"Daniel Okafor", 1800, {0.75, 0.3, 0.9, 0.8, 0.6, 0.25, 0.8, false,
                                 {{2, 3, 2, 3, 2, 0}, {3, 1, 2, 3, 0, 1}, {1}, {2, 3, 2, 2, 2}, {1}}}},
    };
    return rows;
}

// Draws from std::mt19937 directly: its output is the same everywhere, while the standard
// distributions differ between C++ libraries.
class Dice
{
public:
    explicit Dice(std::uint32_t seed) : m_engine(seed) {}

    // A number in [0, 1).
    double unit() { return m_engine() / 4294967296.0; }
    // A whole number in [0, n).
    int below(int n) { return static_cast<int>(unit() * n); }
    bool chance(double p) { return unit() < p; }
    int pick(const std::vector<int> &weights)
    {
        int total = 0;
        for (int w : weights)
            total += w;
        int r = below(total);
        for (int i = 0; i < static_cast<int>(weights.size()); ++i) {
            if (r < weights[i])
                return i;
            r -= weights[i];
        }
        return 0;
    }

private:
    std::mt19937 m_engine;
};

constexpr std::uint32_t seed = 20080815;

double amountFor(const Portion &portion, double appetite, Dice &dice)
{
    const int n = static_cast<int>(portion.amounts.size());
    const double r = std::clamp(dice.unit() + appetite * 0.35, 0.0, 0.999);
    return portion.amounts[static_cast<size_t>(r * n)];
}

void addMeal(std::vector<Meal> &out, const ClientRow &client, QDate date, MealKind kind, bool treat, Dice &dice)
{
    const Habits &habits = client.habits;
    const std::vector<Dish> &choices = dishes(kind);
    Q_ASSERT(habits.dishWeights[kind].size() == choices.size());
    const Dish &dish = choices[static_cast<size_t>(dice.pick(habits.dishWeights[kind]))];
    const double appetite = treat ? 1.0 : habits.appetite;

    const Window w = window(kind);
    const int span = w.from.secsTo(w.to) - 3 * 60;
    QTime at = w.from.addSecs(dice.below(span));
    if (!habits.toTheSecond)
        at = QTime(at.hour(), at.minute());

    const QString who = QString::fromUtf8(client.who);
    std::vector<const Portion *> eaten;
    for (const Course &course : dish) {
        if (course.chance < 1 && !dice.chance(course.chance + (1 - course.chance) * habits.hearty))
            continue;
        // A portion of a food already in the meal is taken as the next choice instead.
        const int n = static_cast<int>(course.choices.size());
        const int first = dice.below(n);
        for (int i = 0; i < n; ++i) {
            const Portion &portion = course.choices[static_cast<size_t>((first + i) % n)];
            const bool again = std::any_of(eaten.begin(), eaten.end(), [&](const Portion *p) {
                return qstrcmp(p->food, portion.food) == 0;
            });
            if (again)
                continue;
            eaten.push_back(&portion);
            out.push_back({0, who, wallClock(date, at), QString::fromUtf8(portion.food),
                           amountFor(portion, appetite, dice), QString::fromUtf8(portion.units), {}});
            if (habits.toTheSecond)
                at = at.addSecs(8 + dice.below(33));
            break;
        }
    }
}

} // namespace

const std::vector<Client> &clients()
{
    static const std::vector<Client> all = [] {
        std::vector<Client> list;
        for (const ClientRow &row : clientRows())
            list.push_back({QString::fromUtf8(row.who), row.calorieBudget});
        return list;
    }();
    return all;
}

const std::vector<FoodEntry> &foods()
{
    static const std::vector<FoodEntry> all = [] {
        std::vector<FoodEntry> list;
        for (const FoodRow &row : foodRows)
            list.push_back({0, QString::fromUtf8(row.food), QString::fromUtf8(row.units), row.caloriesPerUnit,
                            row.vegetableServings, row.fruitServings, row.entree, row.supplement});
        return list;
    }();
    return all;
}

std::vector<Meal> meals(QDate lastDay)
{
    std::vector<Meal> out;
    Dice dice(seed);
    const QDate firstDay = lastDay.addDays(1 - days);
    const std::vector<ClientRow> &rows = clientRows();
    for (int d = 0; d < days; ++d) {
        const QDate date = firstDay.addDays(d);
        const bool weekend = date.dayOfWeek() >= 6;
        for (size_t c = 0; c < rows.size(); ++c) {
            const Habits &habits = rows[c].habits;
            // Every client draws the same number of times each day, whether the day is recorded
            // or not, so that one client's habits do not shift another's meals.
            const bool logged = dice.chance(weekend ? habits.logChanceWeekend : habits.logChanceWeekday);
            const bool snack = dice.chance(habits.snackChance);
            const bool treat = dice.chance(habits.treatChance);
            const bool lateSnack = treat || dice.chance(habits.lateSnackChance);
            Dice day(seed ^ static_cast<std::uint32_t>(date.toJulianDay() * 7 + static_cast<qint64>(c)));
            // The first client's diary runs from the first day to the last.
            if (!logged && !(c == 0 && (d == 0 || d == days - 1)))
                continue;
            addMeal(out, rows[c], date, Breakfast, false, day);
            addMeal(out, rows[c], date, Lunch, false, day);
            if (snack)
                addMeal(out, rows[c], date, Snack, false, day);
            addMeal(out, rows[c], date, Dinner, false, day);
            if (lateSnack)
                addMeal(out, rows[c], date, LateSnack, treat, day);
        }
    }
    return out;
}

Status write(Connection &connection, QDate lastDay)
{
    Connection::Transaction transaction(connection);
    if (!transaction.status())
        return transaction.status();
    Clients clientTable(connection);
    for (const Client &client : clients())
        if (const Status added = clientTable.add(client); !added)
            return added;
    Foods foodTable(connection);
    for (const FoodEntry &food : foods())
        if (const Result<qint64> added = foodTable.insert(food); !added)
            return added.status();
    Meals mealTable(connection);
    for (const Meal &meal : meals(lastDay))
        if (const Result<qint64> added = mealTable.insert(meal); !added)
            return added.status();
    return transaction.commit();
}

Status createFile(const QString &path, QDate lastDay)
{
    if (!lastDay.isValid())
        return Status::failure(QStringLiteral("The demo diary needs a valid last day."));
    return NewDiary::create(path, [lastDay](Connection &connection) { return write(connection, lastDay); });
}

} // namespace DemoData
