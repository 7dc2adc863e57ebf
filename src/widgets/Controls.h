#pragma once

#include <QRect>
#include <QString>

class QLabel;
class QWidget;

// Controls of a window with a fixed layout, placed where the layout says.
namespace Controls {

// A label with its object name, its text and its place in parent; it takes parent's font.
QLabel *label(QWidget *parent, const QString &name, const QString &text, const QRect &where,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);

} // namespace Controls
