#pragma once

#include "DateSpan.h"

#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

#include <cstdint>

class Connection;

namespace benchmark {
class State;
namespace internal {
class Benchmark;
}
} // namespace benchmark

// What the benchmark programs share: their environment, the database they measure and the
// fixed client and spans of the meal view query.
namespace BenchSupport {

// The environment variable naming the large database (see README.md).
inline constexpr const char *largeDatabaseVariable = "MEALWRIGHT_BENCH_DB";

// The last day of the demo diary and of generated diaries, fixed so that runs compare.
QDate fixedLastDay();

// Before the application object exists: the offscreen platform unless another one is set,
// and settings in a temporary folder that goes when the program ends.
void prepareEnvironment();

// The large database given in MEALWRIGHT_BENCH_DB, or the empty text.
QString largeDatabasePath();

// The large database, or when none is given one of `meals` meals (and a catalogue of
// `catalogue` entries, see BigDiary::Options) generated into a temporary folder (which is said
// on stderr). The empty text, with the reason on stderr, on failure.
QString largeOrGeneratedDatabase(std::int64_t meals, int catalogue = 0);

// Makes path the shared connection's database, as the program would have it open; false, with
// the state skipped, when it cannot be opened.
bool useDatabase(benchmark::State &state, const QString &path);

// How the figures are reported: medians of 10 repetitions, in milliseconds of real time
// (benchmark->Apply(medians)).
void medians(benchmark::internal::Benchmark *benchmark);

// The size and time stamp of a file, taken when it is made: check() tells whether the file is
// still as it was, and says on stderr, after the program's name, when it is not.
class Unchanged
{
public:
    explicit Unchanged(const QString &path);
    bool check(const char *program) const;

private:
    QString m_path;
    qint64 m_size;
    QDateTime m_modified;
};

// A copy of the database at path for writes, in a temporary folder that goes when the program
// ends, synced to disk before it is used (so that the first commits do not wait for the copy);
// the empty text, with the reason on stderr, when it cannot be made. It says on stderr what it
// copies, and how long that took.
QString writableCopy(const QString &path);

// The client and the spans the meal view query is measured on: the first client of the
// Clients table and the week and the 365 days that end on the day of the client's last meal.
struct QueryCase
{
    QString client;
    DateSpan week;
    DateSpan year;
    QString errorText;
};
QueryCase queryCase(Connection &connection);

// A Qt SQL connection of the benchmark's own to the database file, read-only: the floor of
// anything built on Qt SQL.
QSqlDatabase qtSqlFloor(const QString &name, const QString &path);

// The large (or a generated) database opened as the shared connection, and its query case.
// On failure the reason is on stderr, after the program's name, and the case's errorText is set.
QueryCase openQueryCase(const char *program, std::int64_t generatedMeals, int generatedCatalogue = 0);

// The resident set size of this process now and at its highest so far, in KiB.
std::int64_t residentKiB();
std::int64_t peakResidentKiB();
// Bytes the C library's heap has handed out and not had back.
std::int64_t heapInUseBytes();

} // namespace BenchSupport
