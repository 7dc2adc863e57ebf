#pragma once

// What the tests of the windows share: the windows, the widgets they are made of, the database
// fixture, and the helpers that answer dialogs and read the messages shown.

#include "Clock.h"
#include "DateSpan.h"
#include "deMealwright.h"
#include "FileDialog.h"
#include "frmClients.h"
#include "frmEditClient.h"
#include "frmEditFood.h"
#include "frmEditMeal.h"
#include "frmFoodView.h"
#include "frmMainFrame.h"
#include "frmMealView.h"
#include "frmPrintReport.h"
#include "frmSearchOptions.h"
#include "frmSelectClient.h"
#include "MessageBox.h"
#include "TestDatabase.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

#include <functional>
#include <memory>

// The messages shown since the last call, each after its kind: "!" an exclamation, "X" critical,
// "?" a question, "Y" a Yes/No question, "i" a note.
inline QStringList messages()
{
    QStringList shown;
    for (const MessageBox::Shown &message : MessageBox::shown()) {
        const char *kind = message.kind == MessageBox::Kind::Exclamation ? "! "
                           : message.kind == MessageBox::Kind::Critical  ? "X "
                           : message.kind == MessageBox::Kind::Question  ? "? "
                           : message.kind == MessageBox::Kind::YesNo     ? "Y "
                                                                         : "i ";
        shown << QString::fromLatin1(kind) + message.text;
    }
    MessageBox::clearShown();
    return shown;
}

// Acts on the next modal dialog as soon as it is up, as a person would; gives up after a while.
// A dialog the act leaves open (its OK was refused, or a check in it failed) is cancelled then,
// so that a test fails rather than waits.
inline void whenModal(std::function<void(QWidget *)> act)
{
    auto *poll = new QTimer(qApp);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act, attempts = 0]() mutable {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog && ++attempts < 500)
            return;
        poll->stop();
        poll->deleteLater();
        if (!dialog)
            return;
        const QPointer<QDialog> left = qobject_cast<QDialog *>(dialog);
        act(dialog);
        if (left && left->isVisible())
            left->reject();
    });
    poll->start();
}

// The same for the next modal dialog of a kind; one of another kind fails the test.
template <typename Dialog>
void whenShown(std::function<void(Dialog *)> act)
{
    whenModal([act](QWidget *dialog) {
        auto *shown = qobject_cast<Dialog *>(dialog);
        QVERIFY2(shown, dialog->metaObject()->className());
        act(shown);
    });
}

// The first column of a statement's rows on the open diary, as text.
// The rows a SELECT gives, each as its columns joined by "|", in the forms a file gives them
// as text on either engine: a real number with a point ("2.0"), a date-time as stored.
inline QStringList rows(const QString &select)
{
    Connection::Statement statement = deMealwright::instance().cnMealwright().statement(select);
    QStringList found;
    if (!statement.exec())
        return {statement.status().reason()};
    while (statement.next()) {
        QStringList columns;
        for (int column = 0; column < statement.columnCount(); ++column) {
            const QVariant value = statement.value(column);
            if (value.typeId() == QMetaType::Double) {
                QString number = QString::number(value.toDouble(), 'g', 15);
                if (!number.contains(u'.') && !number.contains(u'e') && !number.contains(u'n'))
                    number += QStringLiteral(".0");
                columns << number;
            } else if (value.typeId() == QMetaType::QDateTime) {
                columns << value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            } else {
                columns << value.toString();
            }
        }
        found << columns.join(u'|');
    }
    return found;
}

// The IDs of a grid's rows (its first column), top to bottom.
inline QList<qint64> idsOf(const QTableView *grid)
{
    QList<qint64> ids;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        ids << grid->model()->index(row, 0).data().toLongLong();
    return ids;
}

// A click on a grid's row, or on a column's header.
inline void clickRow(QTableView *grid, int row, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {})
{
    QTest::mouseClick(grid->viewport(), button, keys, grid->visualRect(grid->model()->index(row, 3)).center());
}
inline void clickHeader(QTableView *grid, int column)
{
    QHeaderView *header = grid->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(column) + 5, 5));
}

// Meals > View... for the client in that row of the picker; the new view.
inline frmMealView *openMealView(frmMainFrame &frame, int clientRow)
{
    whenShown<frmSelectClient>([clientRow](frmSelectClient *select) {
        select->dblClients->setCurrentRow(clientRow);
        select->cmdOK->click();
    });
    frame.mnuMealView->trigger();
    QMdiSubWindow *window = frame.mdiArea()->currentSubWindow();
    return window ? qobject_cast<frmMealView *>(window->widget()) : nullptr;
}

// The main frame started on the file, shown.
inline std::unique_ptr<frmMainFrame> startFrame(const QString &commandLinePath = QString())
{
    auto frame = std::make_unique<frmMainFrame>();
    frame->start(commandLinePath);
    frame->show();
    return frame;
}

// A dialog loaded (Form_Load) and shown, active, as exec() shows it, without a modal loop.
template <typename Dialog>
void showActive(Dialog &dialog)
{
    QVERIFY(dialog.Form_Load());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
}
