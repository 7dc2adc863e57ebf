// mealwright-report DATABASE CLIENT FIRST-DAY LAST-DAY [--summary] [--pdf FILE] [--daily] [--csv FILE]:
// writes a client's calorie report over the days FIRST-DAY to LAST-DAY (both included) as a PDF
// file, the same meals as a CSV file, or both, with no window. Exit status 0 on success, 1 when
// a file could not be made, 2 on a usage error.

#include "BuildInfo.h"
#include "CalorieReports.h"
#include "Clients.h"
#include "Clock.h"
#include "Connection.h"
#include "DateSpan.h"
#include "MealCsv.h"
#include "MealReportCommand.h"
#include "ReportPages.h"
#include "ReportPdf.h"
#include "ServerAddress.h"
#include "ToolOutput.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

namespace {

// The longest span a report covers, in days.
constexpr int maxDays = 366;

int usageError(const QString &problem)
{
    return ToolOutput::usageError(problem, QStringLiteral("DATABASE CLIENT FIRST-DAY LAST-DAY [--summary] [--pdf FILE] [--daily] [--csv FILE]"));
}

int failure(const QString &reason)
{
    ToolOutput::printLine(stderr, QStringLiteral("%1: %2").arg(QCoreApplication::applicationName(), reason));
    return 1;
}

// Qt's own notes (a missing runtime folder, font fallbacks) are not the user's business: stderr
// carries one line, the reason a report failed.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        ToolOutput::printLine(stderr, message);
}

QDate day(const QString &text)
{
    return QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietMessages);
    // Printing needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mealwright-report"));
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(BuildInfo::major).arg(BuildInfo::minor).arg(BuildInfo::revision));
    if (const int refused = ToolOutput::refuseNamesNotUtf8(argc, argv))
        return refused;

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes a client's calorie report over a span of days as a PDF file: every meal with the "
                       "totals of each day, or with --summary one line a day; both end with the totals and daily "
                       "averages. With --csv it writes the same meals as a CSV file for a spreadsheet: one line "
                       "per meal, or with --daily one line per day. A file is replaced only when the whole of it "
                       "has been written."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption summaryOption(QStringLiteral("summary"), QStringLiteral("One line a day instead of every meal."));
    const QCommandLineOption pdfOption(QStringLiteral("pdf"), QStringLiteral("The PDF file to write."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption csvOption(QStringLiteral("csv"), QStringLiteral("The CSV file to write."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption dailyOption(QStringLiteral("daily"),
                                         QStringLiteral("One CSV line a day, with the budget, instead of every meal."));
    parser.addOption(summaryOption);
    parser.addOption(pdfOption);
    parser.addOption(dailyOption);
    parser.addOption(csvOption);
    parser.addPositionalArgument(QStringLiteral("DATABASE"),
                                 QStringLiteral("The Mealwright database file, or the address of a diary on a PostgreSQL "
                                                "server, postgresql://USER@HOST[:PORT]/DATABASE (the password comes "
                                                "from PGPASSWORD or ~/.pgpass)."));
    parser.addPositionalArgument(QStringLiteral("CLIENT"), QStringLiteral("The client, as named in the diary."));
    parser.addPositionalArgument(QStringLiteral("FIRST-DAY"), QStringLiteral("The first day, yyyy-mm-dd."));
    parser.addPositionalArgument(QStringLiteral("LAST-DAY"),
                                 QStringLiteral("The last day, yyyy-mm-dd, included; at most %1 days after the first.")
                                     .arg(maxDays - 1));

    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(helpOption))
        parser.showHelp(0);
    if (parser.isSet(versionOption))
        parser.showVersion();
    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() != 4)
        return usageError(QStringLiteral("expected DATABASE CLIENT FIRST-DAY LAST-DAY, got %1 arguments").arg(arguments.size()));
    if (arguments[1].isEmpty())
        return usageError(QStringLiteral("the CLIENT is empty"));
    const QString pdfPath = parser.value(pdfOption);
    const QString csvPath = parser.value(csvOption);
    if (pdfPath.isEmpty() && csvPath.isEmpty())
        return usageError(QStringLiteral("--pdf FILE or --csv FILE is missing"));
    if (parser.isSet(summaryOption) && pdfPath.isEmpty())
        return usageError(QStringLiteral("--summary is for the PDF file: --pdf FILE is missing"));
    if (parser.isSet(dailyOption) && csvPath.isEmpty())
        return usageError(QStringLiteral("--daily is for the CSV file: --csv FILE is missing"));
    if (!pdfPath.isEmpty() && !csvPath.isEmpty() && QFileInfo(pdfPath).absoluteFilePath() == QFileInfo(csvPath).absoluteFilePath())
        return usageError(QStringLiteral("--pdf and --csv name the same file"));

    const QDate first = day(arguments[2]);
    const QDate last = day(arguments[3]);
    if (!first.isValid() || !last.isValid())
        return failure(QStringLiteral("%1 is not a day written yyyy-mm-dd").arg(first.isValid() ? arguments[3] : arguments[2]));
    if (last < first)
        return failure(QStringLiteral("the last day %1 comes before the first day %2").arg(arguments[3], arguments[2]));
    if (calendarDaysInclusive(first, last) > maxDays)
        return failure(QStringLiteral("%1 to %2 is %3 days; a report covers at most %4")
                           .arg(arguments[2], arguments[3])
                           .arg(calendarDaysInclusive(first, last))
                           .arg(maxDays));

    // A diary on a server is named by its address, never shown with what it holds beyond that.
    const bool onServer = ServerAddress::isAddress(arguments[0]);
    const Result<ServerAddress> address = ServerAddress::fromUri(arguments[0]);
    const QString database = !onServer ? QDir::toNativeSeparators(arguments[0])
                             : address  ? address->shortName()
                                        : QStringLiteral("The server address");
    Connection connection(QStringLiteral("mealwright-report"));
    if (const OpenResult opened =
            connection.open(onServer ? arguments[0] : QFileInfo(arguments[0]).absoluteFilePath(), Access::ReadOnly);
        !opened.ok())
        return failure(QStringLiteral("%1 cannot be opened: %2").arg(database, opened.reason()));

    const Result<std::optional<Client>> client = Clients(connection).find(arguments[1]);
    if (!client)
        return failure(client.reason());
    if (!client.value())
        return failure(QStringLiteral("%1 has no client named %2").arg(database, arguments[1]));
    const QString who = client.value()->who;

    const Result<ReportRow> report = MealReportCommand::execute(connection, who, DateSpan::selectedDays(first, last));
    if (!report)
        return failure(report.reason());
    if (report->value(QStringLiteral("DayCount")).toLongLong() == 0)
        return failure(QStringLiteral("No data recorded for the selected dates (%1, %2 to %3)")
                           .arg(who, arguments[2], arguments[3]));

    // Each file is written whole or not at all; one that fails does not keep the other from
    // being written.
    int exitCode = 0;
    if (!pdfPath.isEmpty()) {
        const QString title = QStringLiteral("Calorie Report for ") + who;
        const QPageLayout paper = ReportPdf::defaultPaper();
        const std::vector<ReportPage> pages =
            ReportPages::layOut({parser.isSet(summaryOption) ? &drCalorieSummary() : &drCalorieReport(), &*report,
                                 title, Clock::today(), ReportPdf::twips(paper)});
        if (const Status written = ReportPdf::write(pdfPath, pages, paper, title); !written)
            exitCode = failure(written.reason());
    }
    if (!csvPath.isEmpty()) {
        const MealCsv::Lines lines = parser.isSet(dailyOption) ? MealCsv::Lines::PerDay : MealCsv::Lines::PerMeal;
        if (const Status written = MealCsv::write(csvPath, *report, lines, client.value()->calorieBudget); !written)
            exitCode = failure(written.reason());
    }
    return exitCode;
}
