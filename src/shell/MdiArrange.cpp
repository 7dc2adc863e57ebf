#include "MdiArrange.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace MdiArrange {

namespace {

// Splits length into count parts, the remainder added to the last.
QList<QPair<int, int>> split(int start, int length, int count)
{
    QList<QPair<int, int>> parts;
    const int each = length / count;
    for (int i = 0; i < count; ++i)
        parts.append({start + i * each, i == count - 1 ? length - i * each : each});
    return parts;
}

QList<QMdiSubWindow *> windows(QMdiArea *area, bool minimised)
{
    QList<QMdiSubWindow *> chosen;
    for (QMdiSubWindow *window : area->subWindowList(QMdiArea::CreationOrder))
        if (window->isVisible() && window->isMinimized() == minimised)
            chosen.append(window);
    return chosen;
}

void tile(QMdiArea *area, QList<QRect> (*layout)(int, const QRect &))
{
    const QList<QMdiSubWindow *> open = windows(area, false);
    if (open.isEmpty())
        return;
    const QList<QRect> rects = layout(static_cast<int>(open.size()), area->viewport()->rect());
    for (int i = 0; i < open.size(); ++i) {
        if (open[i]->isMaximized())
            open[i]->showNormal();
        open[i]->setGeometry(rects[i]);
    }
}

} // namespace

QList<QRect> stacked(int count, const QRect &area)
{
    QList<QRect> rects;
    if (count <= 0)
        return rects;
    for (const auto &[top, height] : split(area.top(), area.height(), count))
        rects.append(QRect(area.left(), top, area.width(), height));
    return rects;
}

QList<QRect> sideBySide(int count, const QRect &area)
{
    QList<QRect> rects;
    if (count <= 0)
        return rects;
    for (const auto &[left, width] : split(area.left(), area.width(), count))
        rects.append(QRect(left, area.top(), width, area.height()));
    return rects;
}

QList<QPoint> iconRow(int count, const QRect &area, const QSize &icon)
{
    QList<QPoint> corners;
    const int perRow = qMax(1, area.width() / qMax(1, icon.width()));
    for (int i = 0; i < count; ++i) {
        const int row = i / perRow;
        const int column = i % perRow;
        corners.append(QPoint(area.left() + column * icon.width(),
                              area.bottom() + 1 - (row + 1) * icon.height()));
    }
    return corners;
}

void tileHorizontally(QMdiArea *area)
{
    tile(area, &stacked);
}

void tileVertically(QMdiArea *area)
{
    tile(area, &sideBySide);
}

void arrangeIcons(QMdiArea *area)
{
    const QList<QMdiSubWindow *> icons = windows(area, true);
    if (icons.isEmpty())
        return;
    QSize iconSize;
    for (const QMdiSubWindow *icon : icons)
        iconSize = iconSize.expandedTo(icon->size());
    const QList<QPoint> corners = iconRow(static_cast<int>(icons.size()), area->viewport()->rect(), iconSize);
    for (int i = 0; i < icons.size(); ++i)
        icons[i]->move(corners[i]);
}

} // namespace MdiArrange
