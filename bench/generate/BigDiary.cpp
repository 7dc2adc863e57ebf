#include "BigDiary.h"

#include "Catalogue.h"
#include "Clients.h"
#include "Connection.h"
#include "DateSpan.h"
#include "Foods.h"
#include "Meals.h"
#include "Schema.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <optional>

namespace BigDiary {

namespace {

// SplitMix64: tiny, fast to seed, and the same numbers on every platform (the standard
// distributions are not).
class Dice
{
public:
    explicit Dice(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // A number in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    // A whole number in [0, n); 0 when n <= 0.
    int below(int n) { return n <= 0 ? 0 : static_cast<int>(unit() * n); }
    bool chance(double p) { return unit() < p; }

private:
    std::uint64_t m_state;
};

// A seed of its own for each client and day, so that one day's draws do not shift another's.
std::uint64_t seedFor(std::uint64_t seed, std::uint64_t a, std::uint64_t b)
{
    Dice dice(seed ^ (a * 0xD1B54A32D192ED03ULL) ^ (b * 0x8CB92BA72F3D8DD7ULL));
    return dice.next();
}

// ---------------------------------------------------------------------------------------------
// Eating occasions, in the order of the day.

enum Kind { Breakfast, MorningSnack, Lunch, AfternoonSnack, Dinner, EveningSnack, KindCount };

bool isMeal(Kind kind)
{
    return kind == Breakfast || kind == Lunch || kind == Dinner;
}

struct Window
{
    int fromMinute;
    int toMinute;
};

constexpr std::array<Window, KindCount> windows = {{
    {6 * 60, 9 * 60},             // breakfast
    {10 * 60, 11 * 60 + 15},      // morning snack
    {11 * 60 + 45, 13 * 60 + 45}, // lunch
    {14 * 60 + 45, 16 * 60 + 45}, // afternoon snack
    {17 * 60 + 30, 20 * 60 + 15}, // dinner
    {20 * 60 + 45, 22 * 60 + 45}, // evening snack
}};

// The food groups each course of an occasion is taken from: the first course is the main one,
// later courses are sides, drinks and desserts; a fifth food and more take the last course.
struct Course
{
    std::vector<const char *> groups;
    double fewestCalories; // the portion aimed at, in kcal
    double mostCalories;
};

const std::vector<Course> &courses(Kind kind)
{
    static const std::vector<Course> breakfast = {
        {{"0800", "1800", "0100"}, 150, 450},
        {{"0900", "0100", "1800"}, 50, 220},
        {{"1400", "0900", "0100"}, 0, 200},
        {{"0900", "0100", "1200", "0400"}, 30, 180},
    };
    static const std::vector<Course> lunch = {
        {{"0600", "2100", "0700", "2200", "1800", "0500"}, 250, 600},
        {{"1100", "0900", "2500", "1800"}, 40, 250},
        {{"1400", "0100"}, 0, 220},
        {{"0100", "1100", "1900", "0900"}, 40, 250},
    };
    static const std::vector<Course> dinner = {
        {{"0500", "1000", "1300", "1500", "1700", "2200", "1600"}, 250, 650},
        {{"1100", "2000"}, 40, 300},
        {{"1100", "2000", "1800", "0400"}, 40, 250},
        {{"1900", "1400", "0900"}, 50, 300},
    };
    static const std::vector<Course> snack = {
        {{"2500", "1900", "0900", "1200", "0100", "1800"}, 60, 300},
        {{"1400", "0900"}, 0, 200},
    };
    switch (kind) {
    case Breakfast: return breakfast;
    case Lunch: return lunch;
    case Dinner: return dinner;
    default: return snack;
    }
}

// The amounts people write down for each unit, smallest first.
const std::vector<double> &amountsFor(const QString &units)
{
    static const QHash<QString, std::vector<double>> amounts = {
        {QStringLiteral("g"), {25, 50, 75, 100, 150, 200, 250, 300}},
        {QStringLiteral("oz"), {1, 2, 3, 4, 5, 6, 8}},
        {QStringLiteral("lb"), {0.25, 0.5, 1}},
        {QStringLiteral("cup"), {0.25, 0.5, 0.75, 1, 1.25, 1.5, 2}},
        {QStringLiteral("tbsp"), {1, 2, 3, 4}},
        {QStringLiteral("tsp"), {1, 2, 3}},
        {QStringLiteral("fl oz"), {4, 6, 8, 12, 16, 20}},
        {QStringLiteral("ml"), {100, 200, 250, 330, 500}},
        {QStringLiteral("slice"), {1, 2, 3, 4}},
        {QStringLiteral("piece"), {1, 2, 3, 4, 6}},
        {QStringLiteral("serving"), {0.5, 1, 1.5, 2}},
        {QStringLiteral("each"), {0.5, 1, 2, 3}},
        {QStringLiteral("bar"), {1}},
        {QStringLiteral("small"), {1, 2}},
        {QStringLiteral("medium"), {0.5, 1, 2}},
        {QStringLiteral("large"), {0.5, 1}},
        {QStringLiteral("packet"), {1, 2}},
    };
    static const std::vector<double> one = {1};
    const auto found = amounts.constFind(units);
    return found == amounts.cend() ? one : *found;
}

// The amount whose calories come nearest to the portion aimed at.
double portion(const Food &food, double calories)
{
    const std::vector<double> &amounts = amountsFor(food.units);
    if (food.caloriesPerUnit <= 0)
        return amounts[amounts.size() / 2];
    double best = amounts.front();
    for (double amount : amounts)
        if (std::abs(amount * food.caloriesPerUnit - calories) < std::abs(best * food.caloriesPerUnit - calories))
            best = amount;
    return best;
}

// ---------------------------------------------------------------------------------------------
// The food catalogue.

// ---------------------------------------------------------------------------------------------
// The clients.

struct ClientPlan
{
    QString who;
    double calorieBudget = 0;
    double appetite = 1;         // portions are scaled by this
    double supplementChance = 0; // how often breakfast or lunch is a meal replacement
    bool toTheSecond = false;    // foods stamped as entered, else typed to the minute
    // For each food group (by its index in groups), the client's foods, favourites first.
    std::vector<std::vector<int>> favourites;
    // Rows to write on each day of the diary (0: a day not kept).
    std::vector<int> rowsOnDay;
};

struct FoodGroups
{
    QStringList groups;                  // the group codes
    std::vector<std::vector<int>> foods; // per group, indexes into foods()
    std::vector<int> supplements;
    int groupIndex(const char *code) const { return static_cast<int>(groups.indexOf(QLatin1String(code))); }
};

FoodGroups catalogueOf(const std::vector<Food> &all)
{
    FoodGroups c;
    for (int i = 0; i < static_cast<int>(all.size()); ++i) {
        const Food &food = all[static_cast<size_t>(i)];
        if (food.supplement) {
            c.supplements.push_back(i);
            continue;
        }
        qsizetype g = c.groups.indexOf(food.group);
        if (g < 0) {
            g = c.groups.size();
            c.groups << food.group;
            c.foods.emplace_back();
        }
        c.foods[static_cast<size_t>(g)].push_back(i);
    }
    return c;
}

// Splits quota rows over the days of a diary: some days are kept and get about
// rowsPerKeptDay rows each (at least two when there are enough rows), the others none.
std::vector<int> spreadOverDays(std::int64_t quota, int days, double rowsPerKeptDay, Dice &dice)
{
    std::vector<int> rows(static_cast<size_t>(days), 0);
    if (quota <= 0 || days <= 0)
        return rows;
    const int kept = static_cast<int>(std::clamp<std::int64_t>(std::llround(static_cast<double>(quota) / rowsPerKeptDay),
                                                               1, days));
    // Which days are kept: the first `kept` of a shuffle of all days.
    std::vector<int> order(static_cast<size_t>(days));
    std::iota(order.begin(), order.end(), 0);
    for (int i = 0; i < kept; ++i)
        std::swap(order[static_cast<size_t>(i)], order[static_cast<size_t>(i + dice.below(days - i))]);
    const std::int64_t base = quota / kept;
    const std::int64_t extra = quota % kept;
    for (int i = 0; i < kept; ++i)
        rows[static_cast<size_t>(order[static_cast<size_t>(i)])] = static_cast<int>(base + (i < extra ? 1 : 0));
    // Some days are fuller than others: move rows between kept days, keeping the total.
    if (base > 3) {
        for (int i = 0; i < kept; ++i) {
            int &from = rows[static_cast<size_t>(order[static_cast<size_t>(i)])];
            int &to = rows[static_cast<size_t>(order[static_cast<size_t>(dice.below(kept))])];
            const int moved = std::min(dice.below(4), from - 2);
            if (moved > 0 && &from != &to) {
                from -= moved;
                to += moved;
            }
        }
    }
    return rows;
}

struct Occasion
{
    Kind kind;
    int foods;
};

// The occasions of a day with exactly `rows` foods in all: breakfast, lunch and dinner of two
// to four foods, and up to three snacks of one or two; more only on the fullest days.
std::vector<Occasion> planDay(int rows, Dice &dice)
{
    std::vector<Occasion> day;
    int remaining = rows;
    for (Kind kind : {Dinner, Breakfast, Lunch}) {
        if (remaining >= 2) {
            day.push_back({kind, 2});
            remaining -= 2;
        }
    }
    while (remaining > 0) {
        std::vector<size_t> growable;
        for (size_t i = 0; i < day.size(); ++i)
            if (isMeal(day[i].kind) && day[i].foods < 4)
                growable.push_back(i);
        std::vector<Kind> freeSnacks;
        for (Kind kind : {MorningSnack, AfternoonSnack, EveningSnack})
            if (std::none_of(day.begin(), day.end(), [kind](const Occasion &o) { return o.kind == kind; }))
                freeSnacks.push_back(kind);
        if (!growable.empty() && (freeSnacks.empty() || dice.chance(0.6))) {
            ++day[growable[static_cast<size_t>(dice.below(static_cast<int>(growable.size())))]].foods;
            --remaining;
        } else if (!freeSnacks.empty()) {
            const int foods = std::min(remaining, 1 + dice.below(2));
            day.push_back({freeSnacks[static_cast<size_t>(dice.below(static_cast<int>(freeSnacks.size())))], foods});
            remaining -= foods;
        } else {
            ++day[static_cast<size_t>(dice.below(static_cast<int>(day.size())))].foods;
            --remaining;
        }
    }
    std::sort(day.begin(), day.end(), [](const Occasion &a, const Occasion &b) { return a.kind < b.kind; });
    return day;
}

constexpr std::array<const char *, 50> firstNames = {
    "Abigail", "Ahmed",  "Alice",  "Amara",   "Andrew",  "Anya",    "Benedict", "Bianca", "Carlos", "Chloe",
    "Daniel",  "Dora",   "Elena",  "Emeka",   "Fatima",  "Felix",   "Grace",    "Gustav", "Hana",   "Hugo",
    "Ines",    "Isaac",  "Jonas",  "Julia",   "Kenji",   "Kirsten", "Laila",    "Liam",   "Maeve",  "Marco",
    "Nadia",   "Nils",   "Olga",   "Oscar",   "Priya",   "Pablo",   "Quentin",  "Rosa",   "Rahul",  "Sofia",
    "Stefan",  "Tamsin", "Tomas",  "Ursula",  "Viktor",  "Wanda",   "Xavier",   "Yara",   "Yusuf",  "Zoe",
};
constexpr std::array<const char *, 50> lastNames = {
    "Abernathy", "Bakker",  "Castillo", "Dubois",   "Eriksen",  "Fischer",  "Gallagher", "Haddad",   "Ibarra",
    "Jansen",    "Kowalski", "Lindqvist", "Moreau",  "Nakamura", "O'Brien",  "Petrov",    "Quinn",    "Rossi",
    "Schmidt",   "Tanaka",  "Uddin",    "Varga",    "Wagner",   "Xu",       "Yilmaz",    "Zimmerman", "Adeyemi",
    "Brennan",   "Cohen",   "Dimitrov", "Esposito", "Fontaine", "Gupta",    "Horvath",   "Iversen",  "Jovanovic",
    "Kim",       "Larsen",  "Mendes",   "Novak",    "Okafor",   "Park",     "Reyes",     "Silva",    "Torres",
    "Ueda",      "Vogel",   "Walsh",    "Young",    "Zielinski",
};

} // namespace

const std::vector<Food> &foods()
{
    static const std::vector<Food> none;
    const Result<std::vector<Food>> &catalogue = Catalogue::entries();
    return catalogue ? catalogue.value() : none;
}

std::vector<FoodEntry> storeBrands(int entries, std::uint64_t seed)
{
    const std::vector<Food> &real = foods();
    std::vector<FoodEntry> brands;
    if (real.empty() || entries <= static_cast<int>(real.size()))
        return brands;
    const size_t wanted = static_cast<size_t>(entries) - real.size();
    brands.reserve(wanted);
    // Food and units as the unique index compares them, without regard to case.
    const auto key = [](const QString &food, const QString &units) {
        return food.toCaseFolded() + QLatin1Char('\t') + units.toCaseFolded();
    };
    QSet<QString> taken;
    for (const Food &food : real)
        taken.insert(key(food.food, food.units));
    // Brand 1 of every entry, then brand 2 of every entry, and so on: each food comes in all
    // its units under each brand.
    for (int brand = 1; brands.size() < wanted; ++brand) {
        const size_t before = brands.size();
        for (size_t i = 0; i < real.size() && brands.size() < wanted; ++i) {
            FoodEntry entry = real[i];
            entry.food = QStringLiteral("%1, store brand %2").arg(real[i].food, QString::number(brand));
            const QString entryKey = key(entry.food, entry.units);
            if (taken.contains(entryKey))
                continue;
            taken.insert(entryKey);
            Dice dice(seedFor(seed ^ 0xB4A2D5ULL, i + 1, static_cast<std::uint64_t>(brand)));
            entry.caloriesPerUnit = std::round(entry.caloriesPerUnit * (0.9 + 0.2 * dice.unit()) * 100) / 100;
            brands.push_back(std::move(entry));
        }
        if (brands.size() == before)
            break; // cannot happen: every brand number gives new names
    }
    return brands;
}

QString clientName(int index)
{
    // first = index % 50 and last = (index / 50 + 7 * index) % 50 differ for any two indexes
    // below 2,500; past that a number keeps the names apart.
    const int first = index % 50;
    const int last = (index / 50 + 7 * index) % 50;
    QString name = QString::fromUtf8(firstNames[static_cast<size_t>(first)]) + QLatin1Char(' ')
                   + QString::fromUtf8(lastNames[static_cast<size_t>(last)]);
    if (index >= 2500)
        name += QStringLiteral(" %1").arg(index / 2500 + 1);
    return name;
}

QDate firstDay(const Options &options)
{
    return options.lastDay.addYears(-options.years).addDays(1);
}

std::vector<Dish> dishes()
{
    const std::vector<Food> &catalogue = foods();
    const FoodGroups groups = catalogueOf(catalogue);
    std::vector<Dish> all;
    for (int kind = 0; kind < KindCount; ++kind) {
        const std::vector<Course> &plan = courses(static_cast<Kind>(kind));
        for (int c = 0; c < static_cast<int>(plan.size()); ++c) {
            const Course &course = plan[static_cast<size_t>(c)];
            const double calories = (course.fewestCalories + course.mostCalories) / 2;
            for (const char *code : course.groups) {
                const int g = groups.groupIndex(code);
                if (g < 0)
                    continue;
                for (int food : groups.foods[static_cast<size_t>(g)])
                    all.push_back({kind, c, food, portion(catalogue[static_cast<size_t>(food)], calories)});
            }
        }
    }
    return all;
}

std::vector<OccasionPlan> occasions()
{
    std::vector<OccasionPlan> all;
    for (int kind = 0; kind < KindCount; ++kind)
        all.push_back({windows[static_cast<size_t>(kind)].fromMinute, windows[static_cast<size_t>(kind)].toMinute,
                       static_cast<int>(courses(static_cast<Kind>(kind)).size())});
    return all;
}

QString generate(const QString &path, const Options &options, Summary *summary)
{
    QElapsedTimer timer;
    timer.start();
    if (options.meals < 0 || options.clients < 1 || options.years < 1 || !options.lastDay.isValid())
        return QStringLiteral("meals must be 0 or more, clients and years 1 or more");
    if (QFileInfo::exists(path))
        return QStringLiteral("%1 already exists; remove it or choose another name").arg(path);
    const std::vector<Food> &catalogue = foods();
    if (catalogue.empty())
        return Catalogue::entries().reason();
    const FoodGroups groups = catalogueOf(catalogue);
    const std::vector<FoodEntry> brands = storeBrands(options.catalogue, options.seed);

    // Plan every client's diary before writing anything.
    const QDate first = firstDay(options);
    const int days = static_cast<int>(first.daysTo(options.lastDay)) + 1;
    Dice planner(seedFor(options.seed, 0x5EED, 0));
    std::vector<ClientPlan> clients(static_cast<size_t>(options.clients));
    for (int c = 0; c < options.clients; ++c) {
        ClientPlan &client = clients[static_cast<size_t>(c)];
        client.who = clientName(c);
        client.calorieBudget = 1200 + 50 * planner.below(27);
        client.appetite = 0.75 + 0.5 * planner.unit();
        client.supplementChance = planner.chance(0.2) ? 0.25 + 0.4 * planner.unit() : 0;
        client.toTheSecond = planner.chance(0.5);
        client.favourites = groups.foods;
        for (std::vector<int> &list : client.favourites)
            for (int i = static_cast<int>(list.size()) - 1; i > 0; --i)
                std::swap(list[static_cast<size_t>(i)], list[static_cast<size_t>(planner.below(i + 1))]);
        const std::int64_t quota = options.meals / options.clients + (c < options.meals % options.clients ? 1 : 0);
        const double rowsPerKeptDay = 9 + 4 * planner.unit();
        client.rowsOnDay = spreadOverDays(quota, days, rowsPerKeptDay, planner);
    }

    QString error;
    std::int64_t written = 0;
    {
        Connection connection(QStringLiteral("mealwright-bench-generate"));
        Status status = connection.openNew(path);
        const auto run = [&](const char *sql) {
            if (!status)
                return;
            Connection::Statement statement = connection.statement(QString::fromLatin1(sql));
            statement.exec();
            status = statement.status();
        };
        // Speed over safety while the file is built: a failure removes the file anyway.
        run("PRAGMA journal_mode = OFF");
        run("PRAGMA synchronous = OFF");
        run("PRAGMA locking_mode = EXCLUSIVE");
        run("PRAGMA cache_size = -262144"); // 256 MiB: all the indexes stay in memory
        if (status)
            status = Schema::create(connection);
        std::optional<Connection::Transaction> transaction;
        if (status) {
            transaction.emplace(connection);
            status = transaction->status();
        }
        for (const ClientPlan &client : clients) {
            if (!status)
                break;
            status = Clients(connection).add({client.who, client.calorieBudget});
        }
        if (status)
            status = Catalogue::fill(connection);
        Foods foodTable(connection);
        for (const FoodEntry &entry : brands) {
            if (!status)
                break;
            status = foodTable.insert(entry).status();
        }

        // Day by day and client by client, as diaries are typed in.
        Meals mealTable(connection);
        for (int d = 0; d < days && status; ++d) {
            const QDate date = first.addDays(d);
            for (int c = 0; c < options.clients && status; ++c) {
                const ClientPlan &client = clients[static_cast<size_t>(c)];
                const int rows = client.rowsOnDay[static_cast<size_t>(d)];
                if (rows == 0)
                    continue;
                Dice dice(seedFor(options.seed, static_cast<std::uint64_t>(c) + 1, static_cast<std::uint64_t>(d) + 1));
                for (const Occasion &occasion : planDay(rows, dice)) {
                    const Window w = windows[occasion.kind];
                    int second = (w.fromMinute + dice.below(w.toMinute - w.fromMinute)) * 60;
                    if (client.toTheSecond)
                        second += dice.below(60);
                    const std::vector<Course> &plan = courses(occasion.kind);
                    std::vector<int> eaten;
                    for (int i = 0; i < occasion.foods && status; ++i) {
                        const Course &course = plan[static_cast<size_t>(std::min(i, static_cast<int>(plan.size()) - 1))];
                        int food = -1;
                        if (i == 0 && (occasion.kind == Breakfast || occasion.kind == Lunch)
                            && !groups.supplements.empty() && dice.chance(client.supplementChance)) {
                            food = groups.supplements[static_cast<size_t>(dice.below(static_cast<int>(groups.supplements.size())))];
                        }
                        // A food already in the meal is drawn again, a few times at most.
                        for (int attempt = 0; attempt < 4 && (food < 0 || std::find(eaten.begin(), eaten.end(), food) != eaten.end());
                             ++attempt) {
                            const int g = groups.groupIndex(course.groups[static_cast<size_t>(dice.below(static_cast<int>(course.groups.size())))]);
                            if (g < 0)
                                continue;
                            const std::vector<int> &liked = client.favourites[static_cast<size_t>(g)];
                            // Favourites come up far more often than the rest.
                            const double u = dice.unit();
                            food = liked[static_cast<size_t>(u * u * u * static_cast<double>(liked.size()))];
                        }
                        if (food < 0)
                            food = dice.below(static_cast<int>(catalogue.size()));
                        eaten.push_back(food);
                        const Food &entry = catalogue[static_cast<size_t>(food)];
                        const double calories = client.appetite
                                                * (course.fewestCalories + dice.unit() * (course.mostCalories - course.fewestCalories));
                        const QTime time = QTime(0, 0).addSecs(std::min(second, 24 * 3600 - 1));
                        status = mealTable.insert({0, client.who, wallClock(date, time), entry.food,
                                                   portion(entry, calories), entry.units, {}}).status();
                        if (status)
                            ++written;
                        if (client.toTheSecond)
                            second += 8 + dice.below(33);
                    }
                }
            }
        }
        if (status && transaction)
            status = transaction->commit();
        transaction.reset();
        run("ANALYZE");
        run("PRAGMA journal_mode = DELETE");
        if (status) {
            const Result<qint64> counted = connection.statement(QStringLiteral("SELECT count(*) FROM Meals")).wholeNumber();
            if (!counted || *counted != options.meals || written != options.meals)
                status = Status::failure(QStringLiteral("wrote %1 meals and the file holds %2, not the %3 asked for")
                                             .arg(written)
                                             .arg(counted ? *counted : -1)
                                             .arg(options.meals));
        }
        error = status.reason();
    }
    if (!error.isEmpty()) {
        QFile::remove(path);
        return error;
    }
    if (summary) {
        summary->meals = written;
        summary->clients = options.clients;
        summary->foods = static_cast<int>(catalogue.size() + brands.size());
        summary->firstDay = first;
        summary->lastDay = options.lastDay;
        summary->seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    }
    return {};
}

} // namespace BigDiary
