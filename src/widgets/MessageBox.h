#pragma once

#include <QList>
#include <QString>

class QWidget;

// Every message Mealwright shows goes through here. Boxes carry the program's title and no
// title of their own: an exclamation and OK for a validation message, the critical icon for
// a record or file that cannot be found or opened, OK and Cancel without an icon for a
// question, Yes and No (No the default) for a question whose Yes cannot be taken back.
//
// Tests switch on test mode: no box is shown, each is recorded, and questions take the next
// preset answer (when none is preset, OK to a question and No to a Yes/No question).
class MessageBox
{
public:
    enum class Kind { Exclamation, Critical, Question, Note, YesNo };

    static void exclamation(QWidget *parent, const QString &text);
    static void critical(QWidget *parent, const QString &text);
    // The critical message of something that failed: what did not happen ("The meal could not be
    // saved."), a blank line, and the reason the data layer gave.
    static void failure(QWidget *parent, const QString &what, const QString &reason);
    // OK and no icon: something the user asked for did not happen, and nothing is wrong.
    static void note(QWidget *parent, const QString &text);
    // True when the user chose OK.
    static bool question(QWidget *parent, const QString &text);
    // True when the user chose Yes.
    static bool yesNo(QWidget *parent, const QString &text);
    // After a save refused because another user or program changed the thing ("meal", "food
    // entry", "client") since it was opened: says so and asks whether to show it as it is now.
    // True for Yes: show theirs, dropping what was typed; No keeps what was typed, to save over it.
    static bool showChangedAsItIsNow(QWidget *parent, const QString &thing);

    struct Shown
    {
        Kind kind;
        QString text;
    };
    static void setTestMode(bool on);
    static void setNextAnswer(bool ok);
    static const QList<Shown> &shown();
    static void clearShown();

private:
    static bool show(QWidget *parent, Kind kind, const QString &text);
};
