#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Lines of a CSV file as RFC 4180 writes them and spreadsheets read them: fields separated by
// commas, lines ended by CR LF, UTF-8. A field holding a comma, a double quote, a line break or
// a leading or trailing space is enclosed in double quotes, a quote inside it doubled.
namespace CsvWriter {

// A field as it is: quoted only where the format needs it.
QString field(const QString &value);
// A field of text a person typed (a food's name, its units). Text a spreadsheet would run as a
// formula (starting with =, +, -, @, a tab or a carriage return) gets an apostrophe in front, the
// spreadsheets' own mark for "this is text"; the rest of it is kept as typed.
QString text(const QString &value);
// A number with a point as decimal mark, as short as it can be written without losing a digit
// that matters (up to 15 significant digits); no exponent for the numbers of a diary. An infinite
// figure (an overflow) is written as an empty field, never as a number it is not.
QString number(double value);
// The fields, already made by the functions above, as one line with its CR LF.
QByteArray line(const QStringList &fields);

} // namespace CsvWriter
