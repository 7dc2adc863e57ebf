#include "OutputFile.h"

#include <QDir>
#include <QSaveFile>

namespace OutputFile {

Status write(const QString &path, const std::function<Status(QIODevice &)> &write)
{
    const QString shown = QDir::toNativeSeparators(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Status::failure(QStringLiteral("%1 cannot be written: %2").arg(shown, file.errorString()));
    // Left uncommitted, the temporary file goes with the QSaveFile.
    if (const Status written = write(file); !written)
        return Status::failure(QStringLiteral("%1 cannot be written: %2").arg(shown, written.reason()));
    if (!file.commit())
        return Status::failure(QStringLiteral("%1 cannot be written: %2").arg(shown, file.errorString()));
    return {};
}

} // namespace OutputFile
