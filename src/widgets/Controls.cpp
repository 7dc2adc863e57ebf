#include "Controls.h"

#include <QLabel>

namespace Controls {

QLabel *label(QWidget *parent, const QString &name, const QString &text, const QRect &where, Qt::Alignment alignment)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(where);
    label->setAlignment(alignment);
    return label;
}

} // namespace Controls
