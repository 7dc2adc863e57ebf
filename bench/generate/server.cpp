// mealwright-bench-server-generate URI [--meals N] [--clients N] [--seed N] [--last-day DATE]
// Fills an empty database on a PostgreSQL server with a large Mealwright diary for the
// benchmarks (see bench/README.md), or says that it is filled already and does nothing.

#include "BigDiary.h"
#include "CommandLine.h"

#include "Catalogue.h"
#include "Clients.h"
#include "Connection.h"
#include "Dialect.h"
#include "NewDiary.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

using CommandLine::readNumber;

namespace {

constexpr const char *program = "mealwright-bench-server-generate";

struct Plan
{
    qint64 meals = 10'000'000;
    int clients = 500;
    qint64 seed = 1;
    QDate lastDay = BigDiary::Options().lastDay;
};

// Runs one statement with its values bound in order.
Status run(Connection &connection, const QString &sql, const QVariantList &values = {})
{
    Connection::Statement statement = connection.statement(sql);
    for (const QVariant &value : values)
        statement.bind(value);
    statement.exec();
    return statement.status();
}

// A number the server hashes from its arguments, the same on every run: the generator's dice.
QString dice(const QString &key, int salt)
{
    return QStringLiteral("hashint8extended(%1, (?::bigint) + %2)").arg(key).arg(salt);
}

// The generator's tables, gone with the session: what each course of each occasion is drawn
// from (bench_menu, numbered 0.. within a course), the occasions and the clients.
Status fillWorkTables(Connection &connection, const Plan &plan)
{
    const char *tables[] = {
        "CREATE TEMP TABLE bench_menu (occasion int, course int, n int, food text, units text, amount float8,"
        " PRIMARY KEY (occasion, course, n)) ON COMMIT DROP",
        "CREATE TEMP TABLE bench_occasion (occasion int PRIMARY KEY, from_minute int, to_minute int, courses int)"
        " ON COMMIT DROP",
        "CREATE TEMP TABLE bench_client (c int PRIMARY KEY, who text, quota bigint, to_second boolean) ON COMMIT DROP",
    };
    for (const char *sql : tables)
        if (Status made = run(connection, QString::fromLatin1(sql)); !made)
            return made;

    const std::vector<BigDiary::Food> &foods = BigDiary::foods();
    constexpr int batch = 400;
    const std::vector<BigDiary::Dish> dishes = BigDiary::dishes();
    std::vector<int> numbered(64, 0);
    for (size_t from = 0; from < dishes.size(); from += batch) {
        const size_t to = std::min(dishes.size(), from + batch);
        QStringList rows;
        QVariantList values;
        for (size_t i = from; i < to; ++i) {
            const BigDiary::Dish &dish = dishes[i];
            const BigDiary::Food &food = foods[static_cast<size_t>(dish.food)];
            rows << QStringLiteral("(?::int, ?::int, ?::int, ?, ?, ?::float8)");
            values << dish.occasion << dish.course << numbered[static_cast<size_t>(dish.occasion * 8 + dish.course)]++
                   << food.food << food.units << dish.amount;
        }
        if (Status added = run(connection, QStringLiteral("INSERT INTO bench_menu VALUES ") + rows.join(u','), values);
            !added)
            return added;
    }
    const std::vector<BigDiary::OccasionPlan> occasions = BigDiary::occasions();
    for (int o = 0; o < static_cast<int>(occasions.size()); ++o) {
        const BigDiary::OccasionPlan &occasion = occasions[static_cast<size_t>(o)];
        if (Status added = run(connection, QStringLiteral("INSERT INTO bench_occasion VALUES (?::int, ?::int, ?::int, ?::int)"),
                               {o, occasion.fromMinute, occasion.toMinute, occasion.courses});
            !added)
            return added;
    }

    Clients clients(connection);
    for (int c = 0; c < plan.clients; ++c) {
        const QString who = BigDiary::clientName(c);
        // Budgets of 1,200 to 2,500 in steps of 50, as the file generator gives them.
        const double budget = 1200 + 50 * ((static_cast<quint64>(c) * 0x9E3779B97F4A7C15ULL >> 40) % 27);
        if (Status added = clients.add({who, budget}); !added)
            return added;
        const qint64 quota = plan.meals / plan.clients + (c < plan.meals % plan.clients ? 1 : 0);
        if (Status added = run(connection, QStringLiteral("INSERT INTO bench_client VALUES (?::int, ?, ?::bigint, ?::boolean)"),
                               {c, who, quota, c % 2 == 1});
            !added)
            return added;
    }
    // The number of foods each course is drawn from, and statistics of the new tables, so that
    // the server joins them to the millions of rows by hashing.
    if (Status made = run(connection, QStringLiteral("CREATE TEMP TABLE bench_size ON COMMIT DROP AS SELECT occasion, course,"
                                                     " count(*) AS dishes FROM bench_menu GROUP BY occasion, course"));
        !made)
        return made;
    // Each food of each occasion: its course and how many foods that course is drawn from.
    if (Status made = run(connection,
                          QStringLiteral("CREATE TEMP TABLE bench_slot ON COMMIT DROP AS SELECT o.occasion, p.pos, z.course,"
                                         " z.dishes, o.from_minute, o.to_minute FROM bench_occasion o"
                                         " CROSS JOIN generate_series(0, 3) AS p(pos) JOIN bench_size z"
                                         " ON z.occasion = o.occasion AND z.course = least(p.pos, o.courses - 1)"));
        !made)
        return made;
    if (Status made = run(connection, QStringLiteral("CREATE TEMP TABLE bench_day (c int, d int, who text, to_second boolean,"
                                                     " f0 int, f1 int, f2 int, f3 int, f4 int, f5 int, room bigint)"
                                                     " ON COMMIT DROP"));
        !made)
        return made;
    return run(connection, QStringLiteral("ANALYZE bench_menu, bench_occasion, bench_client, bench_size, bench_slot"));
}

// The diaries, drawn on the server. Each client keeps the diary on about half of the days,
// going back from the last day until the client has their share of the meals (about ten
// years). A kept day has breakfast, lunch and dinner of two to four foods and up to three
// snacks of none to two. bench_day holds the days kept, with the foods of each occasion (f0 to
// f5) and how many rows the client still has room for on that day (room).
QString daysSql()
{
    const QString snack = QStringLiteral("CASE WHEN (h >> %1) & 255 < 154 THEN 0 WHEN (h >> %1) & 255 < 218 THEN 1 ELSE 2 END");
    const QString meal = QStringLiteral("(2 + ((h >> %1) & 255) % 3)::int");
    return QStringLiteral(
               "INSERT INTO bench_day"
               " WITH diary_day AS ("
               "  SELECT c.c, c.who, c.quota, c.to_second, g.d, %1 AS h"
               "  FROM bench_client c CROSS JOIN generate_series(0, (?::int) - 1) AS g(d)),"
               " planned AS ("
               "  SELECT diary_day.*, ((h >> 48) & 255) < 128 AS kept, %2 AS f0, %3 AS f1, %4 AS f2, %5 AS f3, %6 AS f4, %7 AS f5"
               "  FROM diary_day),"
               " counted AS ("
               "  SELECT planned.*, CASE WHEN kept THEN f0 + f1 + f2 + f3 + f4 + f5 ELSE 0 END AS today FROM planned),"
               " running AS ("
               "  SELECT counted.*, sum(today) OVER (PARTITION BY c ORDER BY d) - today AS earlier FROM counted)"
               " SELECT c, d, who, to_second, f0, f1, f2, f3, f4, f5, quota - earlier"
               " FROM running WHERE today > 0 AND earlier < quota")
        .arg(dice(QStringLiteral("c.c::bigint * 100000 + g.d"), 0), meal.arg(0), snack.arg(8), meal.arg(16), snack.arg(24),
             meal.arg(32), snack.arg(40));
}

// The meals of those days, in one INSERT ... SELECT: the foods of each occasion at the times
// of the day people eat it, all at one minute (or, for half of the clients, stamped a few
// seconds apart as entered). Each food is drawn from its course with a skew to each client's
// own favourites. Rows go in day by day and client by client, as diaries are typed in.
QString mealsSql()
{
    return QStringLiteral(
               "INSERT INTO Meals (Who, \"When\", Food, Amount, Units)"
               " SELECT t.who,"
               "  (?::date - t.d) + make_interval(secs => 60 * (s.from_minute + abs(r.tm) % (s.to_minute - s.from_minute))"
               "   + CASE WHEN t.to_second THEN abs(r.tm >> 8) % 60 + s.pos * (8 + abs(r.k >> 40) % 33) ELSE 0 END),"
               "  m.food, m.amount, m.units"
               " FROM bench_day t"
               " JOIN bench_slot s"
               "  ON s.pos < CASE s.occasion WHEN 0 THEN t.f0 WHEN 1 THEN t.f1 WHEN 2 THEN t.f2"
               "                  WHEN 3 THEN t.f3 WHEN 4 THEN t.f4 ELSE t.f5 END"
               "  AND s.pos + CASE s.occasion WHEN 0 THEN 0 WHEN 1 THEN t.f0 WHEN 2 THEN t.f0 + t.f1"
               "                  WHEN 3 THEN t.f0 + t.f1 + t.f2 WHEN 4 THEN t.f0 + t.f1 + t.f2 + t.f3"
               "                  ELSE t.f0 + t.f1 + t.f2 + t.f3 + t.f4 END < t.room"
               " CROSS JOIN LATERAL (SELECT %1 AS k, %2 AS tm) r"
               " JOIN bench_menu m ON m.occasion = s.occasion AND m.course = s.course"
               "  AND m.n = (abs(%3) + floor(s.dishes * power(((r.k >> 11) & 1048575)::float8 / 1048576, 3))::bigint) % s.dishes"
               " ORDER BY t.d DESC, t.c, s.occasion, s.pos")
        .arg(dice(QStringLiteral("((t.c::bigint * 100000 + t.d) * 8 + s.occasion) * 8 + s.pos"), 1),
             dice(QStringLiteral("(t.c::bigint * 100000 + t.d) * 8 + s.occasion"), 2),
             dice(QStringLiteral("t.c::bigint * 64 + s.occasion * 8 + s.course"), 3));
}

bool isMealsIndex(const QString &statement)
{
    return statement.startsWith(QLatin1String("CREATE INDEX")) && statement.contains(QLatin1String(" ON Meals "));
}

// The whole diary in the new database's transaction: the catalogue, the clients, the meals
// (their indexes dropped while the rows go in and made again after), and the statistics.
Status fill(Connection &connection, const Plan &plan)
{
    QElapsedTimer timer;
    timer.start();
    const auto said = [&](const char *what) {
        std::fprintf(stderr, "%s: %s (%.0f s)\n", program, what, static_cast<double>(timer.elapsed()) / 1000);
    };
    if (Status filled = Catalogue::fill(connection); !filled)
        return filled;
    if (Status made = fillWorkTables(connection, plan); !made)
        return made;
    said("catalogue, clients and menus in");
    QStringList indexes;
    for (const QString &statement : Dialect::createStatements(Engine::Server))
        if (isMealsIndex(statement))
            indexes << statement;
    for (const QString &index : indexes)
        if (Status dropped = run(connection, QStringLiteral("DROP INDEX ") + index.section(u' ', 2, 2)); !dropped)
            return dropped;
    if (Status settings = run(connection, QStringLiteral("SET LOCAL work_mem = '1GB'")); !settings)
        return settings;
    if (Status settings = run(connection, QStringLiteral("SET LOCAL maintenance_work_mem = '1GB'")); !settings)
        return settings;
    // Time enough for a few years' days more than the meals need.
    const qint64 share = plan.meals / plan.clients + 1;
    const int days = static_cast<int>(std::min<qint64>(share / 2 + 3 * 366, 100 * 366));
    const QString last = plan.lastDay.toString(Qt::ISODate);
    if (Status planned = run(connection, daysSql(), {plan.seed, days}); !planned)
        return planned;
    if (Status analysed = run(connection, QStringLiteral("ANALYZE bench_day")); !analysed)
        return analysed;
    said("days planned");
    if (Status inserted = run(connection, mealsSql(), {last, plan.seed, plan.seed, plan.seed}); !inserted)
        return inserted;
    said("meals in");
    for (const QString &index : indexes)
        if (Status made = run(connection, index); !made)
            return made;
    said("indexes made");
    if (Status analysed = run(connection, QStringLiteral("ANALYZE")); !analysed)
        return analysed;
    return {};
}


// The counts the diary on the server should hold; the empty text when it holds them.
QString mismatch(Connection &connection, const Plan &plan)
{
    const Result<qint64> meals = connection.statement(QStringLiteral("SELECT count(*) FROM Meals")).wholeNumber();
    const Result<qint64> clients = connection.statement(QStringLiteral("SELECT count(*) FROM Clients")).wholeNumber();
    if (!meals || !clients)
        return meals ? clients.reason() : meals.reason();
    if (*meals == plan.meals && *clients == plan.clients)
        return {};
    return QStringLiteral("it holds %1 meals and %2 clients, not %3 and %4")
        .arg(*meals)
        .arg(*clients)
        .arg(plan.meals)
        .arg(plan.clients);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(program));

    Plan plan;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Fills an empty database on a PostgreSQL server with a large Mealwright diary for the benchmarks; does nothing "
        "when it is filled already. The password comes from PGPASSWORD or ~/.pgpass."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("URI"), QStringLiteral("postgresql://USER@HOST[:PORT]/DATABASE"));
    parser.addOption({QStringLiteral("meals"), QStringLiteral("Rows of the Meals table (default %1).").arg(plan.meals),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("clients"), QStringLiteral("Clients (default %1).").arg(plan.clients), QStringLiteral("N")});
    parser.addOption({QStringLiteral("seed"), QStringLiteral("Seed of the random choices (default %1).").arg(plan.seed),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("last-day"),
                      QStringLiteral("The last day of the diaries, yyyy-MM-dd (default %1).").arg(plan.lastDay.toString(Qt::ISODate)),
                      QStringLiteral("DATE")});
    parser.process(app);
    const QStringList uris = parser.positionalArguments();
    if (uris.size() != 1) {
        std::fprintf(stderr, "%s", qPrintable(parser.helpText()));
        return 2;
    }
    qint64 clients = plan.clients;
    if (!readNumber(parser, QStringLiteral("meals"), 1, plan.meals) || !readNumber(parser, QStringLiteral("clients"), 1, clients)
        || !readNumber(parser, QStringLiteral("seed"), 0, plan.seed))
        return 2;
    if (clients > 2500) {
        std::fprintf(stderr, "at most 2500 clients\n");
        return 2;
    }
    plan.clients = static_cast<int>(clients);
    if (parser.isSet(QStringLiteral("last-day"))) {
        plan.lastDay = QDate::fromString(parser.value(QStringLiteral("last-day")), Qt::ISODate);
        if (!plan.lastDay.isValid()) {
            std::fprintf(stderr, "--last-day must be a date written yyyy-MM-dd\n");
            return 2;
        }
    }
    const QString uri = uris.first();

    {
        Connection connection(QStringLiteral("look"));
        if (Status opened = connection.openAsIs(uri); !opened) {
            std::fprintf(stderr, "%s: %s\n", program, qPrintable(opened.reason()));
            return 1;
        }
        const Result<qint64> tables = connection.statement(Dialect::tableCount(Engine::Server)).wholeNumber();
        if (!tables) {
            std::fprintf(stderr, "%s: %s\n", program, qPrintable(tables.reason()));
            return 1;
        }
        if (*tables > 0) {
            const QString differs = mismatch(connection, plan);
            if (differs.isEmpty()) {
                std::printf("%s holds the diary already: %lld meals, %d clients\n", qPrintable(uri),
                            static_cast<long long>(plan.meals), plan.clients);
                return 0;
            }
            std::fprintf(stderr, "%s: the database already holds tables, and %s: drop it and create it again\n", program,
                         qPrintable(differs));
            return 1;
        }
    }

    QElapsedTimer timer;
    timer.start();
    const Status made =
        NewDiary::createOnServer(uri, QString(), [&](Connection &connection) { return fill(connection, plan); });
    if (!made) {
        std::fprintf(stderr, "%s: %s\n", program, qPrintable(made.reason()));
        return 1;
    }
    Connection connection(QStringLiteral("check"));
    if (Status opened = connection.openAsIs(uri); !opened) {
        std::fprintf(stderr, "%s: %s\n", program, qPrintable(opened.reason()));
        return 1;
    }
    // The visibility map, as the server's own vacuum would set it on a table in use.
    if (Status vacuumed = run(connection, QStringLiteral("VACUUM ANALYZE Meals")); !vacuumed) {
        std::fprintf(stderr, "%s: %s\n", program, qPrintable(vacuumed.reason()));
        return 1;
    }
    if (const QString differs = mismatch(connection, plan); !differs.isEmpty()) {
        std::fprintf(stderr, "%s: the diary was made, but %s\n", program, qPrintable(differs));
        return 1;
    }
    const Result<QStringList> span =
        connection.statement(QStringLiteral("SELECT to_char(min(\"When\"), 'YYYY-MM-DD') || ' to ' || to_char(max(\"When\"), "
                                            "'YYYY-MM-DD') || ', ' || pg_size_pretty(pg_database_size(current_database()))"
                                            " FROM Meals"))
            .texts();
    const Result<qint64> foods = connection.statement(QStringLiteral("SELECT count(*) FROM Foods")).wholeNumber();
    std::printf("%s: %lld meals, %d clients, %lld foods, %s, %.0f s\n", qPrintable(uri), static_cast<long long>(plan.meals),
                plan.clients, static_cast<long long>(foods ? *foods : -1), qPrintable(span ? span->value(0) : span.reason()),
                static_cast<double>(timer.elapsed()) / 1000);
    return 0;
}
