#include "FileDialog.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>

namespace {
struct TestState
{
    bool on = false;
    QStringList answers;
    QList<bool> checked;
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
            QFileDialog::Options options = {}, bool *checked = nullptr)
{
    if (checked)
        *checked = request.checked;
    TestState &state = testState();
    if (state.on) {
        state.requests.append(request);
        if (!request.checkBox.isEmpty() && !state.checked.isEmpty()) {
            const bool answer = state.checked.takeFirst();
            if (checked)
                *checked = answer;
        }
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
    QCheckBox *box = nullptr;
    if (!request.checkBox.isEmpty()) {
        // Only Qt's own dialog takes a widget of ours: below the file name and type, across.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout())) {
            box = new QCheckBox(request.checkBox, &dialog);
            box->setObjectName(QStringLiteral("chkFileDialogOption"));
            box->setChecked(request.checked);
            grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (box && checked)
        *checked = box->isChecked();
    return QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();
}

} // namespace

QString FileDialog::openExistingFile(QWidget *parent, const Request &request)
{
    return ask(parent, request, QFileDialog::AcceptOpen);
}

QString FileDialog::saveFile(QWidget *parent, const Request &request, bool *checked)
{
    return ask(parent, request, QFileDialog::AcceptSave, {}, checked);
}

QString FileDialog::newFile(QWidget *parent, const Request &request, bool *checked)
{
    return ask(parent, request, QFileDialog::AcceptSave, QFileDialog::DontConfirmOverwrite, checked);
}

void FileDialog::setTestMode(bool on)
{
    testState() = TestState{on, {}, {}, {}};
}

void FileDialog::setNextAnswer(const QString &path)
{
    testState().answers.append(path);
}

void FileDialog::setNextChecked(bool checked)
{
    testState().checked.append(checked);
}

const QList<FileDialog::Request> &FileDialog::requests()
{
    return testState().requests;
}
