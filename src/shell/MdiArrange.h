#pragma once

#include <QList>
#include <QRect>

class QMdiArea;

// Window arrangements the multiple-document area lacks: tiling one above the other or side by
// side, and lining up the icons of minimised windows. The geometry is computed by plain
// functions; the QMdiArea overloads apply it.
namespace MdiArrange {

// count rectangles filling area, one above the other (full width) or side by side (full
// height). Left-over pixels go to the last window so the area is covered exactly.
QList<QRect> stacked(int count, const QRect &area);
QList<QRect> sideBySide(int count, const QRect &area);
// Top-left corners for count icons of the given size, in rows from the bottom-left corner of
// area, left to right, each further row above the last.
QList<QPoint> iconRow(int count, const QRect &area, const QSize &icon);

// Windows that are not minimised, tiled one above the other.
void tileHorizontally(QMdiArea *area);
// Windows that are not minimised, tiled side by side.
void tileVertically(QMdiArea *area);
// Minimised windows lined up along the bottom edge.
void arrangeIcons(QMdiArea *area);

} // namespace MdiArrange
