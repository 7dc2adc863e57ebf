#include "Controls.h"

#include "MessageBox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace Controls {

QLabel *label(QWidget *parent, const QString &name, const QString &text, const QRect &where, Qt::Alignment alignment)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(where);
    label->setAlignment(alignment);
    return label;
}

QComboBox *textCombo(QWidget *parent, const QString &name, const QRect &where)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setGeometry(where);
    return combo;
}

void setItems(QComboBox *combo, const QStringList &items)
{
    const QString text = combo->currentText();
    const QSignalBlocker quiet(combo);
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    if (combo->isEditable())
        combo->setEditText(text);
    else
        combo->setCurrentIndex(combo->findText(text));
}

bool fillNames(QWidget *owner, QComboBox *combo, const Result<QStringList> &read, const QString &what,
               QStringList *names)
{
    if (!read) {
        MessageBox::critical(owner, QStringLiteral("The list of %1 could not be read.\n\n%2").arg(what, read.reason()));
        return false;
    }
    *names = *read;
    setItems(combo, *names);
    return true;
}

void focusField(QWidget *field)
{
    field->setFocus();
    if (auto *combo = qobject_cast<QComboBox *>(field); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
    else if (auto *box = qobject_cast<QLineEdit *>(field))
        box->selectAll();
}

void setTabOrder(const QList<QWidget *> &order)
{
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace Controls
