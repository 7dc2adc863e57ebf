#pragma once

// The floor of a PostgreSQL server for the benchmarks: statements through libpq itself, each
// prepared once on a connection of the benchmark's own and run with PQexecPrepared, every
// column of every row read, as Qt's driver reads them (as text).

#include <QString>

#include <string>
#include <vector>

struct pg_conn;
struct pg_result;

class ServerFloor
{
public:
    // Connects to the server diary at uri (postgresql://USER@HOST[:PORT]/DATABASE[?sslmode=..]),
    // with the password libpq finds (PGPASSWORD, ~/.pgpass).
    explicit ServerFloor(const QString &uri);
    ~ServerFloor();
    ServerFloor(const ServerFloor &) = delete;
    ServerFloor &operator=(const ServerFloor &) = delete;

    bool ok() const { return m_error.empty(); }
    // Why the last step failed.
    const std::string &error() const { return m_error; }

    // Prepares sql under name; its "?" markers become $1, $2, ... in order.
    bool prepare(const std::string &name, const QString &sql);
    // Runs the statement prepared under name with these values (text, as the server reads
    // them), reads every column of every row and gives the number of rows; -1 on failure.
    int run(const std::string &name, const std::vector<std::string> &values);
    // The first column of the first row of the last run, as text.
    const std::string &firstValue() const { return m_first; }
    // Runs a statement without values as it is (BEGIN, COMMIT); false on failure.
    bool command(const std::string &sql);

    // The text of sql with its "?" markers numbered as the server takes them.
    static std::string numbered(const QString &sql);

private:
    bool failed(pg_result *result, int expected);

    pg_conn *m_connection = nullptr;
    std::string m_error;
    std::string m_first;
};
