#include "Controls.h"

#include "MessageBox.h"
#include "Twips.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace {

class RightClick : public QObject
{
public:
    RightClick(QAbstractItemView *grid, std::function<void()> action)
        : QObject(grid)
        , m_grid(grid)
        , m_action(std::move(action))
    {
        grid->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const auto type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease
            && type != QEvent::MouseButtonDblClick)
            return QObject::eventFilter(watched, event);
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::RightButton)
            return false;
        if (type == QEvent::MouseButtonPress) {
            const QModelIndex row = m_grid->indexAt(mouse->position().toPoint());
            if (row.isValid() && !m_grid->selectionModel()->isSelected(row))
                m_grid->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect
                                                                   | QItemSelectionModel::Rows);
        } else if (type == QEvent::MouseButtonRelease) {
            m_action();
        }
        return true;
    }

private:
    QAbstractItemView *m_grid;
    std::function<void()> m_action;
};

// Alt+Down and Alt+Up on a date or time picker: see altDownOpensCalendar.
class PickerKeys : public QObject
{
public:
    explicit PickerKeys(QDateTimeEdit *picker)
        : QObject(picker)
        , m_picker(picker)
    {
        picker->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!(key->modifiers() & Qt::AltModifier) || (key->key() != Qt::Key_Down && key->key() != Qt::Key_Up))
            return false;
        if (key->key() == Qt::Key_Down && m_picker->calendarPopup()) {
            // The picker opens its calendar for a press on its arrow, and for nothing else.
            QStyleOptionComboBox option;
            option.initFrom(m_picker);
            option.editable = true;
            option.subControls = QStyle::SC_All;
            const QPoint arrow = m_picker->style()
                                     ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, m_picker)
                                     .center();
            QMouseEvent press(QEvent::MouseButtonPress, arrow, m_picker->mapToGlobal(arrow), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(m_picker, &press);
        }
        return true;
    }

private:
    QDateTimeEdit *m_picker;
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

void onRightClick(QAbstractItemView *grid, std::function<void()> action)
{
    new RightClick(grid, std::move(action));
}

void altDownOpensCalendar(QDateTimeEdit *picker)
{
    new PickerKeys(picker);
}

} // namespace Controls
