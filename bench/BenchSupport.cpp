#include "BenchSupport.h"

#include "deMealwright.h"

#include "BigDiary.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <malloc.h>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

namespace BenchSupport {

namespace {

// Removed when the program ends.
std::unique_ptr<QTemporaryDir> g_configFolder;
std::unique_ptr<QTemporaryDir> g_dataFolder;
std::unique_ptr<QTemporaryDir> g_copyFolder;

QtMessageHandler g_previousHandler = nullptr;

// The offscreen platform says for every new window that it cannot pass on size hints: true,
// and of no interest here.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("does not support propagateSizeHints")))
        return;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

} // namespace

QDate fixedLastDay()
{
    return BigDiary::Options().lastDay;
}

void prepareEnvironment()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    g_configFolder = std::make_unique<QTemporaryDir>();
    if (g_configFolder->isValid())
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(g_configFolder->path()));
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && g_configFolder->isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(g_configFolder->path())); // private to us (0700)
    g_previousHandler = qInstallMessageHandler(quietHandler);
}

QString largeDatabasePath()
{
    return qEnvironmentVariable(largeDatabaseVariable);
}

QString largeOrGeneratedDatabase(std::int64_t meals, int catalogue)
{
    const QString given = largeDatabasePath();
    if (!given.isEmpty())
        return given;
    g_dataFolder = std::make_unique<QTemporaryDir>();
    if (!g_dataFolder->isValid()) {
        std::fprintf(stderr, "no temporary folder: %s\n", qPrintable(g_dataFolder->errorString()));
        return {};
    }
    const QString path = g_dataFolder->filePath(QStringLiteral("generated.mdb"));
    BigDiary::Options options;
    options.meals = meals;
    options.catalogue = catalogue;
    const QString foods = catalogue > 0 ? QStringLiteral(" and %1 catalogue entries").arg(catalogue) : QString();
    std::fprintf(stderr, "%s is not set: generating a database of %lld meals%s in %s ...\n", largeDatabaseVariable,
                 static_cast<long long>(meals), qPrintable(foods), qPrintable(path));
    BigDiary::Summary summary;
    const QString error = BigDiary::generate(path, options, &summary);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "the database could not be generated: %s\n", qPrintable(error));
        return {};
    }
    std::fprintf(stderr, "... done in %.1f s. Set %s to measure the 1,000,000-meal database.\n", summary.seconds,
                 largeDatabaseVariable);
    return path;
}

bool useDatabase(benchmark::State &state, const QString &path)
{
    if (path.isEmpty()) {
        state.SkipWithError("no database");
        return false;
    }
    if (deMealwright::instance().path() == path)
        return true;
    const OpenResult opened = deMealwright::instance().open(path);
    if (!opened.ok()) {
        state.SkipWithError(qPrintable(opened.reason()));
        return false;
    }
    return true;
}

void medians(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Repetitions(10)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond)->UseRealTime();
}

Unchanged::Unchanged(const QString &path)
    : m_path(path)
    , m_size(QFileInfo(path).size())
    , m_modified(QFileInfo(path).lastModified())
{
}

bool Unchanged::check(const char *program) const
{
    const QFileInfo now(m_path);
    if (now.size() == m_size && now.lastModified() == m_modified)
        return true;
    std::fprintf(stderr, "%s: %s has changed while it ran\n", program, qPrintable(m_path));
    return false;
}

QString writableCopy(const QString &path)
{
    g_copyFolder = std::make_unique<QTemporaryDir>();
    const QString copy = g_copyFolder->filePath(QStringLiteral("writes.mdb"));
    std::fprintf(stderr, "copying the database to %s for the writes ...\n", qPrintable(copy));
    QElapsedTimer timer;
    timer.start();
    QFile file(copy);
    if (!g_copyFolder->isValid() || !QFile::copy(path, copy) || !file.open(QIODevice::ReadWrite)
        || ::fsync(file.handle()) != 0) {
        std::fprintf(stderr, "the database could not be copied to %s\n", qPrintable(copy));
        return {};
    }
    std::fprintf(stderr, "... copied and synced in %.1f s\n", static_cast<double>(timer.elapsed()) / 1000);
    return copy;
}

QueryCase queryCase(Connection &connection)
{
    QueryCase result;
    // The first row of the table; a server has no rowid, but keeps a table that was only ever
    // added to in the order its rows went in.
    const Result<QStringList> clients =
        connection.statement(connection.engine() == Engine::File ? QStringLiteral("SELECT Who FROM Clients ORDER BY rowid LIMIT 1")
                                                                 : QStringLiteral("SELECT Who FROM Clients ORDER BY ctid LIMIT 1"))
            .texts();
    if (!clients || clients->isEmpty()) {
        result.errorText = QStringLiteral("no client: %1").arg(clients.ok() ? QString() : clients.reason());
        return result;
    }
    result.client = clients->first();
    const Result<QStringList> lastMeal = connection.statement(QStringLiteral("SELECT max(\"When\") FROM Meals WHERE Who = ?"))
                                             .bind(result.client)
                                             .texts();
    if (!lastMeal || lastMeal->value(0).isEmpty()) {
        result.errorText = QStringLiteral("%1 has no meals %2").arg(result.client, lastMeal.ok() ? QString() : lastMeal.reason());
        return result;
    }
    const QDate last = QDate::fromString(lastMeal->first().left(10), Qt::ISODate);
    if (!last.isValid()) {
        result.errorText = QStringLiteral("the last meal's time %1 is not a date").arg(lastMeal->first());
        return result;
    }
    result.week = DateSpan::selectedDays(last.addDays(-6), last);
    result.year = DateSpan::selectedDays(last.addDays(-364), last);
    return result;
}

QSqlDatabase qtSqlFloor(const QString &name, const QString &path)
{
    if (QSqlDatabase::contains(name))
        return QSqlDatabase::database(name);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    db.setDatabaseName(path);
    db.open();
    return db;
}

std::int64_t residentKiB()
{
    long pages = 0;
    long resident = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return static_cast<std::int64_t>(resident) * sysconf(_SC_PAGESIZE) / 1024;
}

std::int64_t peakResidentKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss; // KiB on Linux
}

std::int64_t heapInUseBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<std::int64_t>(info.uordblks + info.hblkhd);
}



QueryCase openQueryCase(const char *program, std::int64_t generatedMeals, int generatedCatalogue)
{
    QueryCase failed;
    const QString path = largeOrGeneratedDatabase(generatedMeals, generatedCatalogue);
    if (path.isEmpty()) {
        failed.errorText = QStringLiteral("no database");
        return failed;
    }
    const OpenResult opened = deMealwright::instance().open(path);
    if (!opened.ok()) {
        failed.errorText = QStringLiteral("%1 cannot be opened: %2").arg(path, opened.reason());
        std::fprintf(stderr, "%s: %s\n", program, qPrintable(failed.errorText));
        return failed;
    }
    QueryCase found = queryCase(deMealwright::instance().cnMealwright());
    if (!found.errorText.isEmpty())
        std::fprintf(stderr, "%s: %s\n", program, qPrintable(found.errorText));
    return found;
}

} // namespace BenchSupport
