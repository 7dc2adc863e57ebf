#include "FileDialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {
struct TestState
{
    bool on = false;
    QStringList answers;
    QList<FileDialog::Request> requests;
};

TestState &testState()
{
    static TestState state;
    return state;
}
} // namespace

namespace {

QString ask(QWidget *parent, const FileDialog::Request &request, QFileDialog::AcceptMode mode,
            QFileDialog::Options options = {})
{
    TestState &state = testState();
    if (state.on) {
        state.requests.append(request);
        return state.answers.isEmpty() ? QString() : state.answers.takeFirst();
    }

    // Centred on the screen while the parent is not shown yet (the main frame at start-up).
    QFileDialog dialog(parent && parent->isVisible() ? parent : nullptr, request.title);
    dialog.setAcceptMode(mode);
    dialog.setOptions(options);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilter(request.filter);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.selectedFile.isEmpty()) {
        const QFileInfo offered(request.selectedFile);
        dialog.setDirectory(offered.absolutePath());
        dialog.selectFile(offered.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();
}

} // namespace

QString FileDialog::openExistingFile(QWidget *parent, const Request &request)
{
    return ask(parent, request, QFileDialog::AcceptOpen);
}

QString FileDialog::saveFile(QWidget *parent, const Request &request)
{
    return ask(parent, request, QFileDialog::AcceptSave);
}

QString FileDialog::newFile(QWidget *parent, const Request &request)
{
    return ask(parent, request, QFileDialog::AcceptSave, QFileDialog::DontConfirmOverwrite);
}

void FileDialog::setTestMode(bool on)
{
    testState() = TestState{on, {}, {}};
}

void FileDialog::setNextAnswer(const QString &path)
{
    testState().answers.append(path);
}

const QList<FileDialog::Request> &FileDialog::requests()
{
    return testState().requests;
}
