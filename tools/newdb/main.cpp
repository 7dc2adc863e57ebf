// mealwright-newdb FILE [--catalogue | --demo]: creates a new Mealwright database file: empty,
// with the food catalogue, or holding the demo diary (which has a small catalogue of its own).
// mealwright-newdb --server URL [--catalogue | --demo | --from FILE]: makes the diary in an empty
// database on a PostgreSQL server instead, or copies a whole diary file there. Exit status 0 on
// success, 1 when the diary could not be made, 2 on a usage error.

#include "BuildInfo.h"
#include "Catalogue.h"
#include "Clock.h"
#include "DemoData.h"
#include "DiaryCopy.h"
#include "NewDiary.h"
#include "Schema.h"
#include "ServerAddress.h"
#include "ToolOutput.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSet>

namespace {

int usageError(const QString &problem)
{
    return ToolOutput::usageError(
        problem, QStringLiteral("FILE [--catalogue | --demo] | --server URL [--catalogue | --demo | --from FILE]"));
}

// Copies the diary file into the empty server database, telling how far it has come on a big one.
int copyToServer(const QString &from, const QString &url, const QString &where)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    constexpr qint64 step = 100000;
    qint64 nextNote = step;
    const Result<DiaryCopy::Copied> copied =
        DiaryCopy::toServer(from, url, QString(), [&](const QString &table, qint64 done, qint64 total) {
            if (table != u"Meals" || done < nextNote)
                return;
            ToolOutput::printLine(stderr, QStringLiteral("Copied %1 of %2 meals")
                                              .arg(english.toString(done), english.toString(total)));
            nextNote = (done / step + 1) * step;
        });
    if (!copied) {
        ToolOutput::printLine(stderr, QStringLiteral("The diary could not be copied to %1: %2").arg(where, copied.reason()));
        return 1;
    }
    ToolOutput::printLine(stdout, QStringLiteral("Copied %1 to %2: %3 clients, %4 foods, %5 units and %6 meals.")
                                      .arg(QDir::toNativeSeparators(from), where, english.toString(copied->clients),
                                           english.toString(copied->foods), english.toString(copied->units),
                                           english.toString(copied->meals)));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mealwright-newdb"));
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(BuildInfo::major).arg(BuildInfo::minor).arg(BuildInfo::revision));
    if (const int refused = ToolOutput::refuseNamesNotUtf8(argc, argv))
        return refused;

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Creates a new Mealwright database file holding the four tables and the standard units.\n"
                       "It never overwrites an existing file. With --server it makes the diary in an empty database "
                       "on a PostgreSQL server instead, taking the password from PGPASSWORD or ~/.pgpass."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption demoOption(
        QStringLiteral("demo"),
        QStringLiteral("Fill the new database with a demo diary: %1 clients, a list of %2 foods and %3 days of "
                       "meals ending today.")
            .arg(DemoData::clients().size())
            .arg(DemoData::foods().size())
            .arg(DemoData::days));
    parser.addOption(demoOption);
    const QCommandLineOption catalogueOption(
        QStringLiteral("catalogue"),
        QStringLiteral("Start the new database with the food catalogue: generic foods of the USDA National Nutrient "
                       "Database in grams, ounces and household measures."));
    parser.addOption(catalogueOption);
    const QCommandLineOption serverOption(
        QStringLiteral("server"),
        QStringLiteral("Make the diary in the empty database at URL, postgresql://USER@HOST[:PORT]/DATABASE"
                       "[?sslmode=MODE], on a PostgreSQL server instead of in a file."),
        QStringLiteral("URL"));
    parser.addOption(serverOption);
    const QCommandLineOption fromOption(
        QStringLiteral("from"),
        QStringLiteral("With --server: copy the whole diary file FILE there, every row with its ID, in one "
                       "transaction, and check the rows of each table against the file."),
        QStringLiteral("FILE"));
    parser.addOption(fromOption);
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("The database file to create, by convention ending in .mdb."));

    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(helpOption) || parser.isSet(QStringLiteral("help-all")))
        parser.showHelp(0);
    if (parser.isSet(versionOption))
        parser.showVersion();

    const QStringList files = parser.positionalArguments();
    const bool onServer = parser.isSet(serverOption);
    const QString url = parser.value(serverOption);
    const QString from = parser.value(fromOption);
    QString where;
    if (onServer) {
        if (!files.isEmpty())
            return usageError(QStringLiteral("--server makes the diary on the server: no database file goes with it."));
        if (!ServerAddress::isAddress(url))
            return usageError(QStringLiteral("--server takes an address postgresql://USER@HOST[:PORT]/DATABASE, not %1.").arg(url));
        const Result<ServerAddress> address = ServerAddress::fromUri(url);
        if (!address)
            return usageError(address.reason());
        where = address->shortName();
    } else {
        if (parser.isSet(fromOption))
            return usageError(QStringLiteral("--from copies a diary file to a server: --server URL is missing."));
        if (files.isEmpty())
            return usageError(QStringLiteral("no database file named."));
        if (files.size() > 1)
            return usageError(QStringLiteral("one database file at a time, not %1.").arg(files.size()));
        if (files.first().isEmpty())
            return usageError(QStringLiteral("the file name is empty."));
        where = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(files.first()).absoluteFilePath()));
    }

    const bool withDemo = parser.isSet(demoOption);
    const bool withCatalogue = parser.isSet(catalogueOption);
    if (withDemo && withCatalogue)
        return usageError(QStringLiteral("--catalogue and --demo cannot go together: the demo diary has its own foods."));
    if (parser.isSet(fromOption)) {
        if (withDemo || withCatalogue)
            return usageError(QStringLiteral("--from copies a diary with its own foods: neither --catalogue nor --demo goes with it."));
        if (from.isEmpty())
            return usageError(QStringLiteral("the name of the file to copy is empty."));
        return copyToServer(from, url, where);
    }
    const QDate lastDay = Clock::today();
    const QString target = onServer ? url : files.first();
    const Status created =
        withDemo ? (onServer ? NewDiary::create(target, [lastDay](Connection &diary) { return DemoData::write(diary, lastDay); })
                             : DemoData::createFile(target, lastDay))
        : withCatalogue ? NewDiary::create(target, Catalogue::fill)
                        : NewDiary::create(target);
    if (!created) {
        ToolOutput::printLine(stderr, onServer ? QStringLiteral("The diary could not be made in %1: %2").arg(where, created.reason())
                                               : created.reason());
        return 1;
    }

    const QLocale english(QLocale::English, QLocale::UnitedStates);
    if (withDemo) {
        ToolOutput::printLine(stdout, QStringLiteral("Created %1 with the demo diary of %2 clients, %3 foods and %4 meals.")
                              .arg(where, english.toString(static_cast<qlonglong>(DemoData::clients().size())),
                                   english.toString(static_cast<qlonglong>(DemoData::foods().size())),
                                   english.toString(static_cast<qlonglong>(DemoData::meals(lastDay).size()))));
    } else if (withCatalogue) {
        const std::vector<CatalogueFood> &catalogue = Catalogue::entries().value();
        QSet<QString> foods;
        for (const CatalogueFood &entry : catalogue)
            foods.insert(entry.food);
        ToolOutput::printLine(stdout, QStringLiteral("Created %1 with the food catalogue of %2 foods in %3 entries.")
                              .arg(where, english.toString(static_cast<qlonglong>(foods.size())),
                                   english.toString(static_cast<qlonglong>(catalogue.size()))));
    } else {
        ToolOutput::printLine(stdout, QStringLiteral("Created %1, an empty diary with the %2 standard units.")
                              .arg(where)
                              .arg(Schema::standardUnits().size()));
    }
    return 0;
}
