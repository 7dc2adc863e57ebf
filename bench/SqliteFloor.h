#pragma once

// The floor of the benchmarks: statements through the SQLite C API, each prepared once as the
// data layer prepares its statements once per open database, bound, and stepped through with
// every column of every row read.

#include <QString>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace SqliteFloor {

using Value = std::variant<sqlite3_int64, double, std::string>;

struct Query
{
    QString sql;
    std::vector<Value> values;
};

class Prepared
{
public:
    Prepared(sqlite3 *db, const Query &query) : m_db(db), m_values(query.values)
    {
        if (sqlite3_prepare_v3(db, query.sql.toUtf8().constData(), -1, SQLITE_PREPARE_PERSISTENT, &m_statement, nullptr)
            != SQLITE_OK)
            m_error = sqlite3_errmsg(db);
    }
    ~Prepared() { sqlite3_finalize(m_statement); }
    Prepared(const Prepared &) = delete;
    Prepared &operator=(const Prepared &) = delete;

    const std::string &error() const { return m_error; }

    // Binds the values and steps through every row; the rows, or -1 on failure (see error()).
    int run()
    {
        for (int i = 0; i < static_cast<int>(m_values.size()); ++i) {
            const Value &value = m_values[static_cast<std::size_t>(i)];
            if (const auto *whole = std::get_if<sqlite3_int64>(&value))
                sqlite3_bind_int64(m_statement, i + 1, *whole);
            else if (const auto *number = std::get_if<double>(&value))
                sqlite3_bind_double(m_statement, i + 1, *number);
            else
                sqlite3_bind_text(m_statement, i + 1, std::get<std::string>(value).c_str(), -1, SQLITE_STATIC);
        }
        const int columns = sqlite3_column_count(m_statement);
        int rows = 0;
        int step;
        while ((step = sqlite3_step(m_statement)) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                switch (sqlite3_column_type(m_statement, c)) {
                case SQLITE_INTEGER:
                    benchmark::DoNotOptimize(sqlite3_column_int64(m_statement, c));
                    break;
                case SQLITE_FLOAT:
                    benchmark::DoNotOptimize(sqlite3_column_double(m_statement, c));
                    break;
                case SQLITE_TEXT:
                    benchmark::DoNotOptimize(sqlite3_column_text(m_statement, c));
                    benchmark::DoNotOptimize(sqlite3_column_bytes(m_statement, c));
                    break;
                default:
                    break;
                }
            }
            ++rows;
        }
        sqlite3_reset(m_statement);
        if (step != SQLITE_DONE) {
            m_error = sqlite3_errmsg(m_db);
            return -1;
        }
        return rows;
    }

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_statement = nullptr;
    std::vector<Value> m_values;
    std::string m_error;
};

// The queries prepared on db; none, with the state skipped, when one cannot be prepared.
std::vector<std::unique_ptr<Prepared>> prepareAll(benchmark::State &state, sqlite3 *db, const std::vector<Query> &queries);

// Runs the queries on db in turn each iteration (all of them, or with `alternate` one after the
// other, one per iteration); counter "rows", the rows an iteration read.
void runEach(benchmark::State &state, sqlite3 *db, const std::vector<Query> &queries, bool alternate);

// The database at path opened read-only, as the floor reads it; null, with the reason on stderr
// after program's name, when it cannot be opened.
sqlite3 *openReadOnly(const char *program, const QString &path);

inline std::string utf8(const QString &text)
{
    return text.toStdString();
}

} // namespace SqliteFloor
