#include "SqlText.h"

QString sqlTextLiteral(QStringView text)
{
    QString literal;
    literal.reserve(text.size() + 2);
    literal += QLatin1Char('\'');
    for (QChar c : text) {
        literal += c;
        if (c == QLatin1Char('\''))
            literal += QLatin1Char('\'');
    }
    literal += QLatin1Char('\'');
    return literal;
}
