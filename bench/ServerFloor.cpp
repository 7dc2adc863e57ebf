#include "ServerFloor.h"

#include <benchmark/benchmark.h>
#include <libpq-fe.h>

ServerFloor::ServerFloor(const QString &uri)
{
    m_connection = PQconnectdb(uri.toUtf8().constData());
    if (PQstatus(m_connection) != CONNECTION_OK)
        m_error = PQerrorMessage(m_connection);
}

ServerFloor::~ServerFloor()
{
    PQfinish(m_connection);
}

std::string ServerFloor::numbered(const QString &sql)
{
    const std::string text = sql.toStdString();
    std::string out;
    out.reserve(text.size() + 16);
    int marker = 0;
    char quote = 0;
    for (char c : text) {
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '?') {
            out += '$' + std::to_string(++marker);
            continue;
        }
        out += c;
    }
    return out;
}

bool ServerFloor::failed(PGresult *result, int expected)
{
    if (PQresultStatus(result) == expected || (expected == PGRES_TUPLES_OK && PQresultStatus(result) == PGRES_COMMAND_OK))
        return false;
    m_error = PQresultErrorMessage(result);
    PQclear(result);
    return true;
}

bool ServerFloor::prepare(const std::string &name, const QString &sql)
{
    PGresult *result = PQprepare(m_connection, name.c_str(), numbered(sql).c_str(), 0, nullptr);
    if (failed(result, PGRES_COMMAND_OK))
        return false;
    PQclear(result);
    return true;
}

int ServerFloor::run(const std::string &name, const std::vector<std::string> &values)
{
    std::vector<const char *> texts;
    texts.reserve(values.size());
    for (const std::string &value : values)
        texts.push_back(value.c_str());
    PGresult *result = PQexecPrepared(m_connection, name.c_str(), static_cast<int>(texts.size()), texts.data(), nullptr,
                                      nullptr, 0);
    if (failed(result, PGRES_TUPLES_OK))
        return -1;
    const int rows = PQntuples(result);
    const int columns = PQnfields(result);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            const char *value = PQgetvalue(result, row, column);
            const int length = PQgetlength(result, row, column);
            benchmark::DoNotOptimize(value);
            benchmark::DoNotOptimize(length);
        }
    m_first = rows > 0 && columns > 0 ? PQgetvalue(result, 0, 0) : std::string();
    PQclear(result);
    return rows;
}

bool ServerFloor::command(const std::string &sql)
{
    PGresult *result = PQexec(m_connection, sql.c_str());
    if (failed(result, PGRES_COMMAND_OK))
        return false;
    PQclear(result);
    return true;
}
