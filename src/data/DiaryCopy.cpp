#include "DiaryCopy.h"

#include "Connection.h"
#include "NewDiary.h"
#include "Schema.h"
#include "ServerAddress.h"

#include <QDir>
#include <QFileInfo>

#include <limits>
#include <vector>

namespace DiaryCopy {

namespace {

// Rows sent in one INSERT: a million meals in ten thousand statements. Over a loopback server,
// 100 or 500 rows a statement cost the server about the same, and 2,000 rows more: a long
// statement takes longer to read than it saves in round trips.
constexpr int batchRows = 100;

// What a field holds, and so what the server takes in it.
enum class Kind { Id, Text, When, Number, Flag };

Kind kindOf(const QString &field)
{
    if (field == u"ID")
        return Kind::Id;
    if (field == u"When")
        return Kind::When;
    if (field.endsWith(u"Flag"))
        return Kind::Flag;
    for (const char *number : {"Amount", "CaloriesPerUnit", "VegetableServings", "FruitServings", "CalorieBudget"})
        if (field == QLatin1String(number))
            return Kind::Number;
    return Kind::Text;
}

// "When" is a word of SQL: it is quoted, as the tables were made.
QString column(const QString &field)
{
    return field == u"When" ? QStringLiteral("\"When\"") : field;
}

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

// What the field should hold, when the value is not something the new diary can store; empty
// when it is.
QString unfit(const QVariant &value, Kind kind)
{
    switch (kind) {
    case Kind::Id:
        return isNumber(value) && value.typeId() != QMetaType::Double ? QString() : QStringLiteral("a whole number");
    case Kind::Text:
        return value.isNull() ? QStringLiteral("a text") : QString();
    case Kind::When:
        return Schema::whenFromText(value.toString()).isValid() ? QString() : QStringLiteral("a date and time");
    case Kind::Number:
        return isNumber(value) ? QString() : QStringLiteral("a number");
    case Kind::Flag:
        // Empty counts as no.
        return value.isNull() || isNumber(value) ? QString() : QStringLiteral("a number (0 for no)");
    }
    return {};
}

// The value as the new diary stores it, which means the same.
QVariant stored(const QVariant &value, Kind kind)
{
    switch (kind) {
    case Kind::Text:
        return value.toString();
    case Kind::When:
        // Every form the file reads becomes the one form of the server's column.
        return Schema::whenText(Schema::whenFromText(value.toString()));
    case Kind::Flag:
        // The server keeps a whole number; any other keeps its yes or no.
        if (!value.isNull() && value.typeId() != QMetaType::Double) {
            const qint64 whole = value.toLongLong();
            if (whole >= std::numeric_limits<int>::min() && whole <= std::numeric_limits<int>::max())
                return whole;
        }
        return Schema::flag(value) ? 1 : 0;
    case Kind::Id:
    case Kind::Number:
        break;
    }
    return value;
}

QString shown(const QVariant &value)
{
    return value.isNull() ? QStringLiteral("nothing") : QStringLiteral("\"%1\"").arg(value.toString());
}

Result<qint64> rowCount(Connection &connection, const QString &table)
{
    return connection.statement(QStringLiteral("SELECT count(*) FROM %1").arg(table)).wholeNumber();
}

// Copies the rows of one table, a batch of rows to each INSERT.
class TableCopy
{
public:
    TableCopy(Connection &source, Connection &target, const Schema::Table &table)
        : m_source(source)
        , m_target(target)
        , m_table(table)
    {
        for (const QString &field : table.fields)
            m_kinds.push_back(kindOf(field));
    }

    Result<qint64> run(qint64 total, const Progress &progress)
    {
        QStringList read;
        for (const QString &field : m_table.fields)
            read << (field == u"When" ? Dialect::whenText(m_source.engine(), column(field)) : column(field));
        Connection::Statement rows = m_source.statement(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                                                            .arg(read.join(QStringLiteral(", ")), m_table.name,
                                                                 column(m_table.fields.first())));
        if (!rows.exec())
            return rows.status();
        const qsizetype width = m_table.fields.size();
        m_batch.reserve(std::size_t(batchRows * width));
        qint64 copied = 0;
        while (rows.next()) {
            for (qsizetype field = 0; field < width; ++field) {
                const QVariant value = rows.value(int(field));
                if (const QString expected = unfit(value, m_kinds[field]); !expected.isEmpty())
                    return Status::failure(
                        QStringLiteral("The %1 row with %2 %3 holds %4 in %5, which is not %6. Nothing was copied: "
                                       "correct the row in the diary and copy it again.")
                            .arg(m_table.name, m_table.fields.first(), rows.value(0).toString(), shown(value),
                                 m_table.fields[field], expected));
                m_batch.push_back(stored(value, m_kinds[field]));
            }
            if (qsizetype(m_batch.size()) == batchRows * width) {
                if (const Status sent = send(); !sent)
                    return sent;
                copied += batchRows;
                if (progress)
                    progress(m_table.name, copied, total);
            }
        }
        if (!rows.status())
            return rows.status();
        const qint64 rest = qsizetype(m_batch.size()) / width;
        if (rest > 0) {
            if (const Status sent = send(); !sent)
                return sent;
            copied += rest;
            if (progress)
                progress(m_table.name, copied, total);
        }
        return copied;
    }

private:
    // Inserts the rows of the batch in one statement, prepared once for each number of rows.
    Status send()
    {
        const qsizetype width = m_table.fields.size();
        const qsizetype count = qsizetype(m_batch.size()) / width;
        QStringList fields;
        for (const QString &field : m_table.fields)
            fields << column(field);
        const QString row = QLatin1Char('(') + QStringList(width, QStringLiteral("?")).join(QStringLiteral(", "))
            + QLatin1Char(')');
        Connection::Statement insert = m_target.statement(
            QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                .arg(m_table.name, fields.join(QStringLiteral(", ")), QStringList(count, row).join(QStringLiteral(", "))));
        for (const QVariant &value : m_batch)
            insert.bind(value);
        const bool sent = insert.exec();
        const QString first = m_batch.front().toString();
        const QString last = m_batch[std::size_t((count - 1) * width)].toString();
        m_batch.clear();
        if (sent)
            return {};
        return Status::failure(QStringLiteral("The %1 rows with %2 %3 to %4 could not be copied, so nothing was: %5")
                                   .arg(m_table.name, m_table.fields.first(), first, last, insert.status().reason()));
    }

    Connection &m_source;
    Connection &m_target;
    const Schema::Table &m_table;
    std::vector<Kind> m_kinds;
    std::vector<QVariant> m_batch;
};

} // namespace

Result<Copied> copy(const QString &source, Connection &target, const Progress &progress)
{
    static int connections = 0;
    Connection from(QStringLiteral("mealwright-diarycopy-%1").arg(++connections));
    const QString name = ServerAddress::isAddress(source) ? source : QFileInfo(source).absoluteFilePath();
    if (const OpenResult opened = from.open(name, Access::ReadOnly); !opened.ok())
        return Status::failure(QStringLiteral("The diary %1 cannot be opened: %2")
                                   .arg(QDir::toNativeSeparators(source), opened.reason()));
    // The counts and the rows are read from one state of the diary, whatever another program does.
    if (Connection::Statement begin = from.statement(QStringLiteral("BEGIN")); !begin.exec())
        return begin.status();

    Connection::Transaction whole(target);
    if (!whole.status())
        return whole.status();
    // The units the new diary started with give way to the diary's own, with their IDs.
    if (Connection::Statement clear = target.statement(QStringLiteral("DELETE FROM Units")); !clear.exec())
        return clear.status();

    // The indexes that only speed up reading are made again once the rows are in, many times
    // quicker than keeping them up to date batch by batch; the unique ones stay, to refuse
    // duplicates as they come.
    QStringList laterIndexes;
    for (const QString &statement : Dialect::createStatements(target.engine()))
        if (statement.startsWith(QLatin1String("CREATE INDEX ")))
            laterIndexes << statement;
    for (const QString &index : laterIndexes)
        if (Connection::Statement drop = target.statement(QStringLiteral("DROP INDEX %1").arg(index.section(u' ', 2, 2)));
            !drop.exec())
            return drop.status();

    Copied copied;
    std::vector<qint64> totals;
    for (const Schema::Table &table : Schema::tables()) {
        const Result<qint64> total = rowCount(from, table.name);
        if (!total)
            return total.status();
        totals.push_back(*total);
        const Result<qint64> done = TableCopy(from, target, table).run(*total, progress);
        if (!done)
            return done.status();
        qint64 &count = table.name == u"Meals"   ? copied.meals
                        : table.name == u"Foods" ? copied.foods
                        : table.name == u"Units" ? copied.units
                                                 : copied.clients;
        count = *done;
    }
    for (const QString &index : laterIndexes)
        if (Connection::Statement create = target.statement(index); !create.exec())
            return create.status();
    if (const Status followed = Schema::followIdentities(target); !followed)
        return followed;

    // What the new diary holds is checked against the diary before anything is kept.
    for (std::size_t i = 0; i < Schema::tables().size(); ++i) {
        const QString &table = Schema::tables()[i].name;
        const Result<qint64> there = rowCount(target, table);
        if (!there)
            return there.status();
        if (*there != totals[i])
            return Status::failure(QStringLiteral("After copying, the table %1 would hold %2 rows where the diary "
                                                  "holds %3, so nothing was copied.")
                                       .arg(table)
                                       .arg(*there)
                                       .arg(totals[i]));
    }
    if (const Status committed = whole.commit(); !committed)
        return committed;
    return copied;
}

Result<Copied> toServer(const QString &source, const QString &uri, const QString &password, const Progress &progress)
{
    Copied copied;
    const Status made = NewDiary::createOnServer(uri, password, [&](Connection &target) {
        Result<Copied> done = copy(source, target, progress);
        if (!done)
            return done.status();
        copied = *done;
        return Status();
    });
    if (!made)
        return made;
    return copied;
}

} // namespace DiaryCopy
