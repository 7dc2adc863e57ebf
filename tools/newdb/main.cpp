// mealwright-newdb FILE [--catalogue | --demo]: creates a new Mealwright database file: empty,
// with the food catalogue, or holding the demo diary (which has a small catalogue of its own). Exit status 0 on success, 1 when the file could not be created, 2 on a usage error.

#include "BuildInfo.h"
#include "Catalogue.h"
#include "Clock.h"
#include "DemoData.h"
#include "NewDiary.h"
#include "Schema.h"
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
    return ToolOutput::usageError(problem, QStringLiteral("FILE [--catalogue | --demo]"));
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
                       "It never overwrites an existing file."));
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
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("The database file to create, by convention ending in .mdb."));

    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(helpOption) || parser.isSet(QStringLiteral("help-all")))
        parser.showHelp(0);
    if (parser.isSet(versionOption))
        parser.showVersion();

    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return usageError(QStringLiteral("no database file named."));
    if (files.size() > 1)
        return usageError(QStringLiteral("one database file at a time, not %1.").arg(files.size()));
    if (files.first().isEmpty())
        return usageError(QStringLiteral("the file name is empty."));

    const bool withDemo = parser.isSet(demoOption);
    const bool withCatalogue = parser.isSet(catalogueOption);
    if (withDemo && withCatalogue)
        return usageError(QStringLiteral("--catalogue and --demo cannot go together: the demo diary has its own foods."));
    const QDate lastDay = Clock::today();
    const Status created = withDemo        ? DemoData::createFile(files.first(), lastDay)
                           : withCatalogue ? NewDiary::create(files.first(), Catalogue::fill)
                                           : NewDiary::create(files.first());
    if (!created) {
        ToolOutput::printLine(stderr, created.reason());
        return 1;
    }

    const QString where = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(files.first()).absoluteFilePath()));
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
