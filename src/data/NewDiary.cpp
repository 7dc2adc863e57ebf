#include "NewDiary.h"

#include "Connection.h"
#include "Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace NewDiary {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Creates an empty file with a name no other file has, hidden next to target. The file gets the
// permissions a new file normally gets (unlike a QTemporaryFile, which is private to its owner).
// Returns its path, or the empty text with error set.
QString reserveTemporaryFile(const QFileInfo &target, QString &error)
{
    static int counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = QStringLiteral(".%1.%2-%3.tmp")
                                 .arg(target.fileName())
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(++counter);
        QFile file(target.absoluteDir().filePath(name));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return file.fileName();
        if (file.exists())
            continue;
        error = file.errorString();
        return {};
    }
    error = QStringLiteral("no free name for a temporary file");
    return {};
}

Status alreadyExists(const QString &where)
{
    return Status::failure(
        QStringLiteral("The file %1 already exists. Mealwright does not overwrite a database; choose another name.")
            .arg(where));
}

// Removes a temporary database and the journal SQLite may have left beside it.
void removeTemporary(const QString &path)
{
    QFile::remove(path + QStringLiteral("-journal"));
    QFile::remove(path);
}

// Builds the database in the file at path; the connection has gone when it returns.
Status build(const QString &path, const std::function<Status(Connection &)> &fill)
{
    static int connections = 0;
    Connection connection(QStringLiteral("mealwright-newdiary-%1").arg(++connections));
    Status built = connection.openNew(path);
    if (built)
        built = Schema::create(connection);
    if (built && fill)
        built = fill(connection);
    return built;
}

} // namespace

Status create(const QString &path)
{
    return create(path, {});
}

Status create(const QString &path, const std::function<Status(Connection &)> &fill)
{
    if (path.isEmpty())
        return Status::failure(QStringLiteral("No file name was given for the new database."));

    const QFileInfo target(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    const QString where = shown(target.filePath());
    if (target.isDir())
        return Status::failure(
            QStringLiteral("%1 is a folder. Mealwright creates a database as a new file; choose a file name.")
                .arg(where));
    if (target.exists() || target.isSymLink())
        return alreadyExists(where);
    const QFileInfo folder(target.absolutePath());
    if (!folder.exists())
        return Status::failure(QStringLiteral("The folder %1 does not exist.").arg(shown(folder.filePath())));
    if (!folder.isDir())
        return Status::failure(QStringLiteral("%1 is not a folder.").arg(shown(folder.filePath())));

    QString error;
    const QString temporary = reserveTemporaryFile(target, error);
    if (temporary.isEmpty())
        return Status::failure(QStringLiteral("Mealwright cannot create a file in the folder %1 (%2).")
                                   .arg(shown(folder.filePath()), error));

    if (const Status built = build(temporary, fill); !built) {
        removeTemporary(temporary);
        return Status::failure(QStringLiteral("The database %1 could not be written: %2").arg(where, built.reason()));
    }

    // rename() never replaces a file: one that appeared meanwhile stays as it is.
    QFile made(temporary);
    if (!made.rename(target.filePath())) {
        const bool appeared = QFileInfo::exists(target.filePath());
        const QString reason = made.errorString();
        removeTemporary(temporary);
        if (appeared)
            return alreadyExists(where);
        return Status::failure(QStringLiteral("The database %1 could not be put in place: %2").arg(where, reason));
    }
    return {};
}

} // namespace NewDiary
