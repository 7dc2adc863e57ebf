#pragma once

#include "MessageBox.h"

#include <QStringList>

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
