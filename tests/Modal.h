#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

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

// A dialog loaded (Form_Load) and shown, active, as exec() shows it, without a modal loop.
template <typename Dialog>
void showActive(Dialog &dialog)
{
    QVERIFY(dialog.Form_Load());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
}
