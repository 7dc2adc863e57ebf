#include "Schema.h"

#include "Connection.h"
#include "DateSpan.h"

#include <QSqlError>
#include <QSqlQuery>

#include <initializer_list>

namespace Schema {

const std::vector<Table> &tables()
{
    static const std::vector<Table> all = {
        {QStringLiteral("Meals"),
         {QStringLiteral("ID"), QStringLiteral("Who"), QStringLiteral("When"), QStringLiteral("Food"),
          QStringLiteral("Amount"), QStringLiteral("Units")}},
        {QStringLiteral("Foods"),
         {QStringLiteral("ID"), QStringLiteral("Food"), QStringLiteral("Units"), QStringLiteral("CaloriesPerUnit"),
          QStringLiteral("VegetableServings"), QStringLiteral("FruitServings"), QStringLiteral("EntreeFlag"),
          QStringLiteral("SupplementFlag")}},
        {QStringLiteral("Units"), {QStringLiteral("ID"), QStringLiteral("Units")}},
        {QStringLiteral("Clients"), {QStringLiteral("Who"), QStringLiteral("CalorieBudget")}},
    };
    return all;
}

const QStringList &standardUnits()
{
    static const QStringList units = {
        QStringLiteral("g"),     QStringLiteral("oz"),    QStringLiteral("lb"),      QStringLiteral("cup"),
        QStringLiteral("tbsp"),  QStringLiteral("tsp"),   QStringLiteral("fl oz"),   QStringLiteral("ml"),
        QStringLiteral("slice"), QStringLiteral("piece"), QStringLiteral("serving"), QStringLiteral("each"),
        QStringLiteral("bar"),   QStringLiteral("packet"),
    };
    return units;
}

static const QString whenFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QString whenText(const QDateTime &moment)
{
    return moment.toString(whenFormat);
}

namespace {

// The other forms SQLite's date functions read, which files written by other programs hold:
// "yyyy-MM-dd", then " " or "T" and "HH:mm", ":ss" and a fraction of a second of any number of
// digits, then "Z" or an offset "+HH:mm" / "-HH:mm", which SQLite takes back to UTC as here.
QDateTime otherForms(QStringView text)
{
    qsizetype at = 0;
    const auto digits = [&](qsizetype count) {
        int value = 0;
        for (const qsizetype end = at + count; at < end; ++at) {
            if (at >= text.size() || text[at] < u'0' || text[at] > u'9')
                return -1;
            value = value * 10 + (text[at].unicode() - u'0');
        }
        return value;
    };
    const auto take = [&](char16_t c) {
        const bool there = at < text.size() && text[at] == c;
        at += there ? 1 : 0;
        return there;
    };
    const int year = digits(4);
    const int month = take(u'-') ? digits(2) : -1;
    const int day = take(u'-') ? digits(2) : -1;
    const QDate date(year, month, day);
    if (year < 0 || month < 0 || day < 0 || !date.isValid())
        return {};
    QTime time(0, 0);
    if (take(u' ') || take(u'T')) {
        const int hour = digits(2);
        const int minute = take(u':') ? digits(2) : -1;
        int second = 0;
        int millisecond = 0;
        if (take(u':')) {
            second = digits(2);
            if (take(u'.')) {
                const qsizetype first = at;
                for (int place = 100; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at, place /= 10)
                    millisecond += (text[at].unicode() - u'0') * place;
                if (at == first)
                    return {};
            }
        }
        time = QTime(hour, minute, second, millisecond);
        if (hour < 0 || minute < 0 || second < 0 || !time.isValid())
            return {};
    }
    QDateTime moment = wallClock(date, time);
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
        const int sign = text[at++] == u'+' ? 1 : -1;
        const int hours = digits(2);
        const int minutes = take(u':') ? digits(2) : -1;
        if (hours < 0 || minutes < 0 || hours > 14 || minutes > 59)
            return {};
        moment = moment.addSecs(-sign * (hours * 3600 + minutes * 60));
    } else {
        take(u'Z');
    }
    return at == text.size() ? moment : QDateTime();
}

} // namespace

QDateTime whenFromText(QStringView text)
{
    // Read digit by digit: this runs for every meal shown, and QDateTime::fromString would take
    // the text as local time, in which the hour the clocks skip in spring does not exist.
    if (text.size() != whenFormat.size())
        return otherForms(text);
    auto number = [text](qsizetype from, qsizetype length) {
        int value = 0;
        for (qsizetype i = from; i < from + length; ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9')
                return -1;
            value = value * 10 + (c - u'0');
        }
        return value;
    };
    const auto separatorsAt = [text](std::initializer_list<std::pair<qsizetype, char16_t>> expected) {
        for (const auto &[at, c] : expected)
            if (text[at].unicode() != c)
                return false;
        return true;
    };
    if (!separatorsAt({{4, u'-'}, {7, u'-'}, {10, u' '}, {13, u':'}, {16, u':'}}))
        return otherForms(text);
    const QDate date(number(0, 4), number(5, 2), number(8, 2));
    const QTime time(number(11, 2), number(14, 2), number(17, 2));
    return date.isValid() && time.isValid() ? wallClock(date, time) : QDateTime();
}

bool flag(const QVariant &value)
{
    return !value.isNull() && value.toDouble() != 0;
}

Check check(Connection &connection)
{
    Check result;
    for (const Table &table : tables()) {
        // No rows for a table that does not exist.
        const Result<QStringList> present = connection.statement(Dialect::columnsOf(connection.engine()))
                                                .bind(table.name)
                                                .texts();
        if (!present) {
            result.errorText = present.reason();
            return result;
        }
        if (present->isEmpty()) {
            result.missingTables << table.name;
            continue;
        }
        for (const QString &field : table.fields)
            if (!present->contains(field, Qt::CaseInsensitive))
                result.missingFields << table.name + QLatin1Char('.') + field;
    }
    return result;
}

Result<bool> isTable(Connection &connection, const QString &name)
{
    Connection::Statement query = connection.statement(
        connection.engine() == Engine::File
            ? QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE")
            : QStringLiteral("SELECT count(*) FROM pg_class WHERE oid = to_regclass(lower(?)) AND relkind IN ('r', 'p')"));
    const Result<qint64> count = query.bind(name).wholeNumber();
    if (!count)
        return count.status();
    return *count > 0;
}

Status create(Connection &connection)
{
    Connection::Transaction transaction(connection);
    if (!transaction.status())
        return transaction.status();
    for (const QString &statement : Dialect::createStatements(connection.engine())) {
        Connection::Statement create = connection.statement(statement);
        if (!create.exec())
            return create.status();
    }
    for (const QString &unit : standardUnits()) {
        Connection::Statement insert = connection.statement(QStringLiteral("INSERT INTO Units (Units) VALUES (?)"));
        if (!insert.bind(unit).exec())
            return insert.status();
    }
    return transaction.commit();
}

Status followIdentities(Connection &connection)
{
    for (const QString &statement : Dialect::followIdentities(connection.engine()))
        if (Connection::Statement follow = connection.statement(statement); !follow.exec())
            return follow.status();
    return {};
}

} // namespace Schema
