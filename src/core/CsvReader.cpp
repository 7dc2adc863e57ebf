#include "CsvReader.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>

#include <csv.h>

#include <algorithm>

namespace CsvReader {

namespace {

// How many of the fields of the header line, split at delimiter, are names of columns.
int namesFound(QByteArrayView header, char delimiter, const QStringList &columns)
{
    int found = 0;
    for (const QByteArray &field : header.toByteArray().split(delimiter)) {
        QByteArray name = field.trimmed();
        if (name.size() >= 2 && name.startsWith('"') && name.endsWith('"'))
            name = name.mid(1, name.size() - 2).trimmed();
        if (columns.contains(QString::fromUtf8(name), Qt::CaseInsensitive))
            ++found;
    }
    return found;
}

char delimiterOf(QByteArrayView header, const QStringList &columns)
{
    return namesFound(header, ';', columns) > namesFound(header, ',', columns) ? ';' : ',';
}

// What the parser's callbacks build: the records so far, and the line being fed to it.
struct Reading
{
    std::vector<CsvRecord> records;
    CsvRecord current;
    qint64 line = 0;
    bool started = false;

    void begin()
    {
        if (started)
            return;
        started = true;
        current.line = line;
    }
};

void fieldEnded(void *text, size_t length, void *data)
{
    auto &reading = *static_cast<Reading *>(data);
    reading.begin();
    reading.current.fields << QString::fromUtf8(static_cast<const char *>(text), static_cast<qsizetype>(length));
}

void recordEnded(int, void *data)
{
    auto &reading = *static_cast<Reading *>(data);
    reading.begin();
    const bool blank = std::all_of(reading.current.fields.cbegin(), reading.current.fields.cend(),
                                   [](const QString &field) { return field.isEmpty(); });
    if (!blank)
        reading.records.push_back(std::move(reading.current));
    reading.current = {};
    reading.started = false;
}

// The parser's states that matter here (ROW_NOT_BEGUN and FIELD_BEGUN in libcsv.c). Any state
// but the first after a line means that a record began and goes on; the second, in a quoted
// field, at the end of the file means that its closing quote is missing.
constexpr int betweenRecords = 0;
constexpr int inField = 2;

// The length of the line that starts at from, its line end included.
qsizetype lineLength(QByteArrayView bytes, qsizetype from)
{
    qsizetype end = from;
    while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
        ++end;
    if (end < bytes.size())
        end += bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1;
    return end - from;
}

} // namespace

Result<CsvTable> readFile(const QString &path, const QStringList &columns)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::failure(QStringLiteral("The file %1 could not be read: %2.")
                                   .arg(QDir::toNativeSeparators(path), file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Status::failure(QStringLiteral("The file %1 could not be read: %2.")
                                   .arg(QDir::toNativeSeparators(path), file.errorString()));
    return read(bytes, columns);
}

Result<CsvTable> read(const QByteArray &bytes, const QStringList &columns)
{
    QByteArrayView text(bytes);
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);

    CsvTable table;
    table.delimiter = delimiterOf(text.first(lineLength(text, 0)).trimmed(), columns);

    csv_parser parser;
    if (csv_init(&parser, 0) != 0)
        return Status::failure(QStringLiteral("There is not enough memory to read the file."));
    csv_set_delim(&parser, static_cast<unsigned char>(table.delimiter));
    Reading reading;
    Status status;
    // Fed a line at a time, so that each record knows the line it starts on.
    for (qsizetype from = 0; from < text.size() && status;) {
        const QByteArrayView line = text.sliced(from, lineLength(text, from));
        ++reading.line;
        if (!line.isValidUtf8())
            status = Status::failure(QStringLiteral("Line %1 holds characters that are not UTF-8 text. Save the file as "
                                                    "CSV in UTF-8 (\"CSV UTF-8\" in most spreadsheets) and import it again.")
                                         .arg(reading.line));
        else if (csv_parse(&parser, line.data(), static_cast<size_t>(line.size()), fieldEnded, recordEnded, &reading)
                 != static_cast<size_t>(line.size()))
            status = Status::failure(QStringLiteral("Line %1 could not be read: %2.")
                                         .arg(reading.line)
                                         .arg(QString::fromUtf8(csv_strerror(csv_error(&parser)))));
        else if (parser.pstate != betweenRecords)
            reading.begin();
        from += line.size();
    }
    if (status && parser.pstate == inField && parser.quoted)
        status = Status::failure(QStringLiteral("The quotes opened on line %1 are never closed, so the rest of the file "
                                                "would be one field.")
                                     .arg(reading.current.line));
    else if (status && csv_fini(&parser, fieldEnded, recordEnded, &reading) != 0)
        status = Status::failure(QStringLiteral("The file could not be read: %1.")
                                     .arg(QString::fromUtf8(csv_strerror(csv_error(&parser)))));
    csv_free(&parser);
    if (!status)
        return status;
    table.records = std::move(reading.records);
    return table;
}

} // namespace CsvReader
