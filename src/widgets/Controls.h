#pragma once

#include "Status.h"

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>

class QAbstractItemView;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Controls of a window with a fixed layout, placed where the layout says.
namespace Controls {

// Makes widget a dialog of a fixed size designed in twips, with its object name, its caption,
// the design font and a title bar with a close button only.
void fixedDialog(QWidget *dialog, const QString &name, const QString &caption, int widthTwips, int heightTwips);

// A label with its object name, its text and its place in parent; it takes parent's font.
QLabel *label(QWidget *parent, const QString &name, const QString &text, const QRect &where,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);

// A text box and a button, likewise.
QLineEdit *lineEdit(QWidget *parent, const QString &name, const QRect &where);
QPushButton *button(QWidget *parent, const QString &name, const QString &caption, const QRect &where);

// An editable combo whose text is the value: picking an item fills in the text; what is typed
// never joins the list.
QComboBox *textCombo(QWidget *parent, const QString &name, const QRect &where);

// Replaces the items of a combo and leaves its text as it was, without a change of text being
// signalled.
void setItems(QComboBox *combo, const QStringList &items);

// Fills a combo with names read from the database, keeping them in *names too. When they could
// not be read, says so over owner ("The list of <what> could not be read.") and gives false.
bool fillNames(QWidget *owner, QComboBox *combo, const Result<QStringList> &read, const QString &what,
               QStringList *names);

// Moves the focus to a field the user must change, with its text selected so that typing
// replaces it.
void focusField(QWidget *field);

// The keyboard's Tab order, in the order given.
void setTabOrder(const QList<QWidget *> &order);

// Gives the right mouse button over a grid's rows one job, as desktop programs do: pressed on a
// row that is not selected, it selects that row alone (the current row moves there); on a
// selected row or below the rows, the selection stays. When it is let go, action runs.
void onRightClick(QAbstractItemView *grid, std::function<void()> action);

// Alt+Down on a date or time picker opens its calendar when it has one, as Alt+Down opens a combo
// box's list; with or without one, Alt+Down and Alt+Up never step the picker's value.
void altDownOpensCalendar(QDateTimeEdit *picker);

} // namespace Controls
