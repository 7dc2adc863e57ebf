#include "SqliteFloor.h"

#include <cstdio>

namespace SqliteFloor {

sqlite3 *openReadOnly(const char *program, const QString &path)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK)
        return db;
    std::fprintf(stderr, "%s: sqlite3 cannot open %s: %s\n", program, qPrintable(path), sqlite3_errmsg(db));
    sqlite3_close(db);
    return nullptr;
}

std::vector<std::unique_ptr<Prepared>> prepareAll(benchmark::State &state, sqlite3 *db, const std::vector<Query> &queries)
{
    std::vector<std::unique_ptr<Prepared>> prepared;
    for (const Query &query : queries) {
        prepared.push_back(std::make_unique<Prepared>(db, query));
        if (!prepared.back()->error().empty()) {
            state.SkipWithError(prepared.back()->error().c_str());
            return {};
        }
    }
    return prepared;
}

void runEach(benchmark::State &state, sqlite3 *db, const std::vector<Query> &queries, bool alternate)
{
    std::vector<std::unique_ptr<Prepared>> prepared = prepareAll(state, db, queries);
    if (prepared.empty())
        return;
    std::size_t next = 0;
    std::int64_t rows = 0;
    for (auto _ : state) {
        for (std::size_t i = alternate ? next : 0; i < (alternate ? next + 1 : prepared.size()); ++i) {
            const int got = prepared[i]->run();
            if (got < 0) {
                state.SkipWithError(prepared[i]->error().c_str());
                return;
            }
            rows += got;
        }
        next = (next + 1) % prepared.size();
    }
    state.counters["rows"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kAvgIterations);
}

} // namespace SqliteFloor
