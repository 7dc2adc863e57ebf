#include "MessageBox.h"

#include "BuildInfo.h"

#include <QMessageBox>

namespace {
struct TestState
{
    bool on = false;
    QList<bool> answers;
    QList<MessageBox::Shown> shown;
};

TestState &testState()
{
    static TestState state;
    return state;
}
} // namespace

void MessageBox::exclamation(QWidget *parent, const QString &text)
{
    show(parent, Kind::Exclamation, text);
}

void MessageBox::critical(QWidget *parent, const QString &text)
{
    show(parent, Kind::Critical, text);
}

void MessageBox::failure(QWidget *parent, const QString &what, const QString &reason)
{
    show(parent, Kind::Critical, what + QStringLiteral("\n\n") + reason);
}

void MessageBox::note(QWidget *parent, const QString &text)
{
    show(parent, Kind::Note, text);
}

bool MessageBox::question(QWidget *parent, const QString &text)
{
    return show(parent, Kind::Question, text);
}

bool MessageBox::yesNo(QWidget *parent, const QString &text)
{
    return show(parent, Kind::YesNo, text);
}

bool MessageBox::showChangedAsItIsNow(QWidget *parent, const QString &thing)
{
    return yesNo(parent, QStringLiteral("Another user or program changed this %1 after you opened it, so it was not "
                                        "saved.\n\nShow the %1 as it is now? What you changed here is then lost. "
                                        "With No, your changes stay here, and OK saves them over the other change.")
                             .arg(thing));
}

bool MessageBox::show(QWidget *parent, Kind kind, const QString &text)
{
    TestState &state = testState();
    if (state.on) {
        state.shown.append({kind, text});
        return state.answers.isEmpty() ? kind != Kind::YesNo : state.answers.takeFirst();
    }

    // A window not shown yet (the main frame at start-up) cannot place a box: centre it on the
    // screen instead.
    QMessageBox box(parent && parent->isVisible() ? parent : nullptr);
    box.setWindowTitle(QString::fromUtf8(BuildInfo::title));
    // Names, foods and typed text are shown as they are: markup in them is not obeyed (rich text
    // would load any file an <img> names).
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    switch (kind) {
    case Kind::Exclamation:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Kind::Critical:
        box.setIcon(QMessageBox::Critical);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Kind::Note:
        box.setIcon(QMessageBox::NoIcon);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Kind::Question:
        box.setIcon(QMessageBox::NoIcon);
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case Kind::YesNo:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    }
    const int answer = box.exec();
    return answer == QMessageBox::Ok || answer == QMessageBox::Yes;
}

void MessageBox::setTestMode(bool on)
{
    testState() = TestState{on, {}, {}};
}

void MessageBox::setNextAnswer(bool ok)
{
    testState().answers.append(ok);
}

const QList<MessageBox::Shown> &MessageBox::shown()
{
    return testState().shown;
}

void MessageBox::clearShown()
{
    testState().shown.clear();
}
