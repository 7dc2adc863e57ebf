#include "CsvWriter.h"

#include <QLocale>

#include <cmath>

namespace CsvWriter {

QString field(const QString &value)
{
    const bool quoted = value.contains(u',') || value.contains(u'"') || value.contains(u'\n')
        || value.contains(u'\r') || value.startsWith(u' ') || value.endsWith(u' ');
    if (!quoted)
        return value;
    QString escaped = value;
    escaped.replace(u'"', QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

QString text(const QString &value)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!value.isEmpty() && formulaStarts.contains(value.front()))
        return field(u'\'' + value);
    return field(value);
}

QString number(double value)
{
    if (!std::isfinite(value))
        return {}; // no number to give
    // Most figures of a diary are whole numbers, zero above all.
    if (std::abs(value) < 1e15 && value == std::trunc(value))
        return QString::number(static_cast<qint64>(value));
    // Fifteen significant digits hide the float's last-place noise (0.1 + 0.2 is 0.3); the C
    // locale writes the point and no grouping, and the fixed form never an exponent.
    const double rounded = QString::number(value, 'g', 15).toDouble();
    const QString written = QLocale::c().toString(rounded, 'f', QLocale::FloatingPointShortest);
    return written == u"-0" ? QStringLiteral("0") : written;
}

QByteArray line(const QStringList &fields)
{
    return fields.join(u',').toUtf8() + "\r\n";
}

} // namespace CsvWriter
