#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtMath>

int twipsAt(int length, double dotsPerInch)
{
    return qRound(length * dotsPerInch / 1440.0);
}

int twips(int length)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return twipsAt(length, screen ? screen->logicalDotsPerInch() : 96.0);
}

QRect twipRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

QFont designFont(qreal pointSize)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    return font;
}
