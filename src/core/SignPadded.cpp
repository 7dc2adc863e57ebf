#include "SignPadded.h"

#include <QLocale>

QString signPadded(qint64 value)
{
    return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value);
}

QString signPadded(double value)
{
    // The C locale writes a point whatever the user's locale; shortest round-trip digits.
    QString text = QLocale::c().toString(value, 'f', QLocale::FloatingPointShortest);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text.startsWith(QLatin1Char('-')) ? text : QLatin1Char(' ') + text;
}
