#pragma once

#include <QFont>
#include <QRect>

// Window layouts are designed in twips, 1440 to the inch. twips() turns a length into pixels
// at the screen's logical resolution, so layouts keep their proportions to the fonts.
int twips(int length);
// A rectangle designed in twips (left, top, width, height), in pixels.
QRect twipRect(int left, int top, int width, int height);
// The font the twip layouts are designed for: Arial (Liberation Sans where Arial is missing),
// 8 point. Windows with a fixed layout use it so their captions fit their places.
QFont designFont(qreal pointSize = 8);
// Exact conversion for a given resolution in dots per inch.
int twipsAt(int length, double dotsPerInch);
