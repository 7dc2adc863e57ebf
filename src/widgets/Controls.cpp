#include "Controls.h"

#include "MessageBox.h"
#include "Twips.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

namespace {

class RightClick : public QObject
{
public:
    RightClick(QWidget *widget, std::function<void()> action)
        : QObject(widget)
        , m_action(std::move(action))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const auto type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease
            && type != QEvent::MouseButtonDblClick)
            return QObject::eventFilter(watched, event);
        if (static_cast<QMouseEvent *>(event)->button() != Qt::RightButton)
            return false;
        if (type == QEvent::MouseButtonRelease)
            m_action();
        return true;
    }

private:
    std::function<void()> m_action;
};

} // namespace

namespace Controls {

void fixedDialog(QWidget *dialog, const QString &name, const QString &caption, int widthTwips, int heightTwips)
{
    dialog->setObjectName(name);
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint);
    dialog->setWindowTitle(caption);
    dialog->setFont(designFont());
    dialog->setFixedSize(twips(widthTwips), twips(heightTwips));
}

QLabel *label(QWidget *parent, const QString &name, const QString &text, const QRect &where, Qt::Alignment alignment)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(where);
    label->setAlignment(alignment);
    return label;
}

QLineEdit *lineEdit(QWidget *parent, const QString &name, const QRect &where)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setGeometry(where);
    return box;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption, const QRect &where)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(where);
    return button;
}

QComboBox *textCombo(QWidget *parent, const QString &name, const QRect &where)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // What is typed stays as typed: Qt's inline completer would put the first longer name into
    // the box ("Egg" becoming "Egg, hard-boiled") and change the letter case. The list is still
    // there to pick from.
    combo->setCompleter(nullptr);
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
        MessageBox::failure(owner, QStringLiteral("The list of %1 could not be read.").arg(what), read.reason());
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

void onRightClick(QWidget *widget, std::function<void()> action)
{
    new RightClick(widget, std::move(action));
}

} // namespace Controls
