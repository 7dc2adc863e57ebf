#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

// The one formatting helper for every number and date shown or printed.
//
// Patterns use the classic picture notation:
//   numbers  "0" required digit, "#" optional digit, "," digit grouping, "." decimal point,
//            up to three sections "positive;negative;zero", "\x" a literal character,
//            "text" a quoted literal. With a negative section the value's sign is not shown;
//            the zero section is for an exact zero only (0.04 with "0.0;-0.0;\ " is "0.0").
//            Values are rounded half away from zero on the decimal they stand for: their
//            shortest decimal form, to twelve significant digits (more only for a longer
//            whole part). So 0.15 with "0.0" gives 0.2, 1234.5 with "#,##0" gives 1,235, and
//            100 x 0.0055 (stored as 0.54999999999999993) with "0.0" gives 0.6.
//   dates    d dd ddd dddd (day, weekday names), m mm mmm mmmm (month; "m"/"mm" right after
//            an hour means minutes), M MM MMM MMMM likewise, yy yyyy, h hh, n nn, s ss,
//            AM/PM am/pm A/P (12-hour clock), "/" and ":" separators, "\x" and "text" literals.
// Names and separators are US English whatever the machine's locale.
// An empty pattern gives the value's general form.
namespace Format {

QString number(double value, QStringView pattern);
// Single-precision values are rounded on their own shortest decimal form (0.15f is 0.15).
QString number(float value, QStringView pattern);
// Whole numbers are formatted exactly, 64-bit ones included.
QString number(qint64 value, QStringView pattern);
inline QString number(int value, QStringView pattern) { return number(qint64(value), pattern); }
QString dateTime(const QDateTime &value, QStringView pattern);
QString date(QDate value, QStringView pattern);

// Formats a value of any kind: numbers as numbers, dates and date-times as dates; a text that
// reads as a date ("2001/03/05", "2001-03-05 18:05:00") is formatted as that date when the
// pattern is a date pattern. Null values give the empty text.
QString value(const QVariant &value, QStringView pattern);

} // namespace Format
