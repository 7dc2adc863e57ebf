#include "NewDiary.h"

#include "Connection.h"
#include "OutputFile.h"
#include "Schema.h"
#include "ServerAddress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace NewDiary {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
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

Status createOnServer(const QString &uri, const QString &password, const std::function<Status(Connection &)> &fill)
{
    static int connections = 0;
    Connection connection(QStringLiteral("mealwright-newdiary-server-%1").arg(++connections));
    if (const Status opened = connection.openNew(uri, password); !opened)
        return opened;
    // The tables, the units and what fill adds are one transaction: on failure none of it stays.
    Connection::Transaction whole(connection);
    if (!whole.status())
        return whole.status();
    if (const Status built = Schema::create(connection); !built)
        return built;
    if (fill)
        if (const Status filled = fill(connection); !filled)
            return filled;
    return whole.commit();
}

Status create(const QString &path, const std::function<Status(Connection &)> &fill)
{
    if (ServerAddress::isAddress(path))
        return createOnServer(path, QString(), fill);
    if (path.isEmpty())
        return Status::failure(QStringLiteral("No file name was given for the new database."));

    const QFileInfo target(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    const QString where = shown(target.filePath());
    // Bytes of a name that were not UTF-8 text were read as U+FFFD: the name is not the one meant.
    if (path.contains(QChar::ReplacementCharacter))
        return Status::failure(QStringLiteral("The name %1 holds characters that are not UTF-8 text (shown as %2), so "
                                              "Mealwright cannot make the file by that name; choose another name or folder.")
                                   .arg(where, QChar(QChar::ReplacementCharacter)));
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
    // Temporary files that a program killed while it made a diary left here go now.
    const QString temporary = OutputFile::createTemporary(folder.filePath(), error);
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
