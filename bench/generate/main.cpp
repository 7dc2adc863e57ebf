// mealwright-bench-generate FILE [--meals N] [--clients N] [--years N] [--seed N] [--last-day DATE]
//                           [--catalogue N]
// Writes a large Mealwright database for the benchmarks (see bench/README.md).

#include "BigDiary.h"
#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

using CommandLine::readNumber;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mealwright-bench-generate"));

    const BigDiary::Options defaults;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes a large Mealwright database for the benchmarks."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The database file to create; it must not exist."));
    parser.addOption({QStringLiteral("meals"), QStringLiteral("Rows of the Meals table (default %1).").arg(defaults.meals),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("clients"), QStringLiteral("Clients (default %1).").arg(defaults.clients), QStringLiteral("N")});
    parser.addOption({QStringLiteral("years"), QStringLiteral("Years of diary (default %1).").arg(defaults.years), QStringLiteral("N")});
    parser.addOption({QStringLiteral("seed"), QStringLiteral("Seed of the random choices (default %1).").arg(defaults.seed),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("last-day"),
                      QStringLiteral("The last day of the diaries, yyyy-MM-dd (default %1).")
                          .arg(defaults.lastDay.toString(Qt::ISODate)),
                      QStringLiteral("DATE")});
    parser.addOption({QStringLiteral("catalogue"),
                      QStringLiteral("Entries of the food catalogue: the real one (%1 entries) padded with store brands"
                                     " to N (default: the real one as it is).")
                          .arg(BigDiary::foods().size()),
                      QStringLiteral("N")});
    parser.process(app);

    const QStringList files = parser.positionalArguments();
    if (files.size() != 1) {
        std::fprintf(stderr, "%s", qPrintable(parser.helpText()));
        return 2;
    }

    BigDiary::Options options;
    qint64 meals = options.meals;
    qint64 clients = options.clients;
    qint64 years = options.years;
    qint64 seed = static_cast<qint64>(options.seed);
    qint64 catalogue = options.catalogue;
    if (!readNumber(parser, QStringLiteral("meals"), 0, meals) || !readNumber(parser, QStringLiteral("clients"), 1, clients)
        || !readNumber(parser, QStringLiteral("years"), 1, years) || !readNumber(parser, QStringLiteral("seed"), 0, seed)
        || !readNumber(parser, QStringLiteral("catalogue"), 1, catalogue))
        return 2;
    if (clients > 100000 || years > 100 || catalogue > 10000000) {
        std::fprintf(stderr, "at most 100000 clients, 100 years and 10000000 catalogue entries\n");
        return 2;
    }
    if (parser.isSet(QStringLiteral("catalogue")) && catalogue < static_cast<qint64>(BigDiary::foods().size()))
        std::fprintf(stderr, "--catalogue %lld is less than the real catalogue: it stays as it is\n",
                     static_cast<long long>(catalogue));
    options.meals = meals;
    options.clients = static_cast<int>(clients);
    options.years = static_cast<int>(years);
    options.seed = static_cast<std::uint64_t>(seed);
    options.catalogue = static_cast<int>(catalogue);
    if (parser.isSet(QStringLiteral("last-day"))) {
        options.lastDay = QDate::fromString(parser.value(QStringLiteral("last-day")), Qt::ISODate);
        if (!options.lastDay.isValid()) {
            std::fprintf(stderr, "--last-day must be a date written yyyy-MM-dd\n");
            return 2;
        }
    }

    BigDiary::Summary summary;
    const QString error = BigDiary::generate(files.first(), options, &summary);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "mealwright-bench-generate: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s: %lld meals, %d clients, %d foods, %s to %s, %.2f s, %.1f MB\n", qPrintable(files.first()),
                static_cast<long long>(summary.meals), summary.clients, summary.foods,
                qPrintable(summary.firstDay.toString(Qt::ISODate)), qPrintable(summary.lastDay.toString(Qt::ISODate)),
                summary.seconds, static_cast<double>(QFileInfo(files.first()).size()) / 1e6);
    return 0;
}
