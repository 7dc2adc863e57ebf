#pragma once

#include <QList>
#include <QString>

class QWidget;

// The file-open dialog. A request names the title, the filter (choices separated by ";;"),
// the extension added to a name typed without one, and the file offered at first. The
// chosen file must exist.
//
// A request may add a check box under the file name (the dialog is then Qt's own, not the
// desktop's): its caption, and whether it starts checked.
//
// Tests switch on test mode: no dialog is shown, each request is recorded, and the answer is
// the next preset one (an empty text is Cancel; Cancel when none is preset). The check box of
// a request answers the next preset state, or stays as it started when none is preset.
class FileDialog
{
public:
    struct Request
    {
        QString title;
        QString filter;
        QString defaultSuffix;
        QString selectedFile;
        QString checkBox = {}; // the caption of a check box under the file name; none when empty
        bool checked = false;
    };

    // The full path of the chosen existing file, or the empty text after Cancel.
    static QString openExistingFile(QWidget *parent, const Request &request);
    // The full path of a file to write, or the empty text after Cancel. The dialog asks before
    // an existing file is chosen. When the request has a check box, checked is set to its state.
    static QString saveFile(QWidget *parent, const Request &request, bool *checked = nullptr);
    // The full path of a file to create. The dialog does not ask about an existing file: the
    // caller refuses it. When the request has a check box, checked is set to its state.
    static QString newFile(QWidget *parent, const Request &request, bool *checked = nullptr);

    static void setTestMode(bool on);
    static void setNextAnswer(const QString &path);
    static void setNextChecked(bool checked);
    static const QList<Request> &requests();
};
