#include "OutputFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QRegularExpression>
#include <QScopeGuard>

#include <algorithm>
#include <atomic>
#include <climits>
#include <memory>
#include <vector>

#include <cerrno>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace OutputFile {

namespace {

// A temporary file older than this, of a process that is gone, was left by a program killed
// while it wrote.
constexpr qint64 staleAfterSeconds = 10 * 60;

struct ProtectedFile
{
    QString path;
    dev_t device;
    ino_t inode;
};

QMutex protectedMutex;
std::vector<ProtectedFile> protectedFiles;

bool lookUp(const QString &path, struct stat &found, bool followLink = true)
{
    const QByteArray name = QFile::encodeName(path);
    return (followLink ? ::stat(name.constData(), &found) : ::lstat(name.constData(), &found)) == 0;
}

// Whether the file is a database the program has open: the file it opened, or the one at its
// path now.
bool isProtected(const struct stat &file)
{
    const QMutexLocker lock(&protectedMutex);
    for (const ProtectedFile &open : protectedFiles) {
        struct stat now;
        if ((file.st_dev == open.device && file.st_ino == open.inode)
            || (lookUp(open.path, now) && file.st_dev == now.st_dev && file.st_ino == now.st_ino))
            return true;
    }
    return false;
}

// Why what is at path may not be replaced; the empty text when it may, or when nothing is there.
// mode gets the permissions of the file there.
QString refusal(const QString &path, mode_t &mode)
{
    struct stat found;
    if (!lookUp(path, found, false))
        return {};
    if (S_ISLNK(found.st_mode))
        return QStringLiteral("it is a symbolic link, which Mealwright does not write through; choose another file name.");
    if (S_ISDIR(found.st_mode))
        return QStringLiteral("it is a folder; choose a file name.");
    if (!S_ISREG(found.st_mode))
        return QStringLiteral("it is a pipe or a device, not an ordinary file; choose another file name.");
    if (isProtected(found))
        return QStringLiteral("it is the diary that is open; choose another file name.");
    if (::access(QFile::encodeName(path).constData(), W_OK) != 0)
        return QStringLiteral("it is read-only; choose another file name, or allow it to be changed.");
    mode = found.st_mode & 07777;
    return {};
}

// A new file of ours in folder, open for writing; none, with error set, when none can be made.
std::unique_ptr<QFile> newTemporary(const QString &folder, QString &error)
{
    removeStaleTemporaries(folder);
    static std::atomic<int> counter = 0;
    // Short, so that it fits wherever a file name of the longest kind fits.
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto file = std::make_unique<QFile>(QDir(folder).filePath(
            QStringLiteral(".mealwright-%1-%2.tmp").arg(QCoreApplication::applicationPid()).arg(++counter)));
        if (file->open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return file;
        if (file->error() != QFileDevice::OpenError || !file->exists()) {
            error = file->errorString();
            return {};
        }
    }
    error = QStringLiteral("no free name for a temporary file");
    return {};
}

bool processIsAlive(qint64 pid)
{
    return pid > 0 && pid <= INT_MAX && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

} // namespace

Status write(const QString &path, const std::function<Status(QIODevice &)> &write)
{
    const QString shown = QDir::toNativeSeparators(path);
    const auto cannot = [&shown](const QString &why) {
        return Status::failure(QStringLiteral("%1 cannot be written: %2").arg(shown, why));
    };
    mode_t mode = 0;
    if (const QString refused = refusal(path, mode); !refused.isEmpty())
        return Status::failure(QStringLiteral("%1 was not written: %2").arg(shown, refused));

    QString error;
    const std::unique_ptr<QFile> temporary = newTemporary(QFileInfo(path).absolutePath(), error);
    if (!temporary)
        return cannot(error);
    auto removeTemporary = qScopeGuard([&temporary] { temporary->remove(); });
    QFile &file = *temporary;
    // A file replaced keeps its permissions.
    if (mode != 0)
        ::fchmod(file.handle(), mode);
    if (const Status written = write(file); !written)
        return Status::failure(QStringLiteral("%1 cannot be written: %2").arg(shown, written.reason()));
    if (!file.flush() || ::fsync(file.handle()) != 0)
        return cannot(file.error() != QFileDevice::NoError ? file.errorString() : qt_error_string(errno));
    file.close();
    // rename() replaces the name, never what a link there points to.
    if (::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return cannot(qt_error_string(errno));
    removeTemporary.dismiss();
    return {};
}

void protect(const QString &path)
{
    struct stat found;
    if (!lookUp(path, found))
        return;
    const QMutexLocker lock(&protectedMutex);
    protectedFiles.push_back({path, found.st_dev, found.st_ino});
}

void release(const QString &path)
{
    const QMutexLocker lock(&protectedMutex);
    const auto open = std::find_if(protectedFiles.begin(), protectedFiles.end(),
                                   [&path](const ProtectedFile &file) { return file.path == path; });
    if (open != protectedFiles.end())
        protectedFiles.erase(open);
}

QString createTemporary(const QString &folder, QString &error)
{
    const std::unique_ptr<QFile> file = newTemporary(folder, error);
    return file ? file->fileName() : QString();
}

void removeStaleTemporaries(const QString &folder)
{
    static const QRegularExpression ours(QStringLiteral(R"(^\.mealwright-(\d+)-\d+\.tmp(-journal)?$)"));
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-staleAfterSeconds);
    const QFileInfoList found =
        QDir(folder).entryInfoList({QStringLiteral(".mealwright-*")}, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &entry : found) {
        const QRegularExpressionMatch match = ours.match(entry.fileName());
        if (match.hasMatch() && entry.lastModified() < stale && !processIsAlive(match.captured(1).toLongLong()))
            QFile::remove(entry.filePath());
    }
}

} // namespace OutputFile
