#pragma once

#include "Status.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// One record of a CSV file: its fields, and the line of the file it starts on (the first line
// is 1; a field with line breaks in it makes the next record start further down).
struct CsvRecord
{
    qint64 line = 0;
    QStringList fields;
};

// A CSV file read whole: its records, the header line first, and the character that separated
// the fields.
struct CsvTable
{
    char delimiter = ',';
    std::vector<CsvRecord> records;
};

// CSV as spreadsheets write it, read with libcsv (RFC 4180): UTF-8 with or without a byte-order
// mark; fields separated by commas or by semicolons; quoted fields that hold the separator,
// quotes (written "") and line breaks; CRLF, LF or CR line ends; the last line with or without
// one. Blanks around a field that is not quoted are dropped. Blank lines, and lines whose fields
// are all empty, are no records. Bytes that are not UTF-8 text refuse the file, naming the line:
// a file saved in another encoding would otherwise store names that are not what the user sees.
namespace CsvReader {

// Reads the file at path; a file that cannot be read says why.
Result<CsvTable> readFile(const QString &path, const QStringList &columns);

// Reads the bytes of a CSV file. The separator is the one, of comma and semicolon, that splits
// the header line into more of the names in columns (letter case aside); the comma when neither
// does better.
Result<CsvTable> read(const QByteArray &bytes, const QStringList &columns);

} // namespace CsvReader
