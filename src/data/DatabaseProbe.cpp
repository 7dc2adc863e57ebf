#include "DatabaseProbe.h"

#include <QFile>
#include <QFileInfo>

QString OpenResult::reason() const
{
    switch (failure) {
    case OpenFailure::None:
        return {};
    case OpenFailure::Missing:
        return QStringLiteral("The file does not exist. It may have been moved, renamed or deleted.");
    case OpenFailure::NameNotUtf8:
        return QStringLiteral("The file's name, or the name of a folder on its path, is not UTF-8 text, so "
                              "Mealwright cannot find it by that name; rename it and open it again.");
    case OpenFailure::Folder:
        return QStringLiteral("This is a folder, not a database file.");
    case OpenFailure::NotAFile:
        return QStringLiteral("This is not an ordinary file: it may be a pipe or a device. "
                              "Mealwright opens only database files.");
    case OpenFailure::Unreadable:
        return QStringLiteral("The file cannot be read. You may not have permission to open it.");
    case OpenFailure::Empty:
        return QStringLiteral("The file is empty. It is not a Mealwright database.");
    case OpenFailure::AccessFile:
        return QStringLiteral("This is a Microsoft Access database. Mealwright keeps its diary in a "
                              "database file of its own kind and cannot read Access files.");
    case OpenFailure::NotADatabase:
        return QStringLiteral("The file is not a database. It may be a document of another program, "
                              "or it may be damaged.");
    case OpenFailure::MissingTables:
        return QStringLiteral("The file is a database, but not a Mealwright database: it lacks %1.")
            .arg(detail);
    case OpenFailure::NotADiary:
        return QStringLiteral("The database on the server is not a Mealwright diary: it lacks %1. "
                              "mealwright-newdb --server makes a diary in an empty database.")
            .arg(detail);
    case OpenFailure::Locked:
        return QStringLiteral("Another program is using the file and has locked it. "
                              "Close that program, then open the file again.");
    case OpenFailure::ReadOnly:
        return QStringLiteral("The file cannot be written: it is read-only, or lies in a folder "
                              "you may not change. Mealwright needs to save your entries in it.");
    case OpenFailure::FolderReadOnly:
        return QStringLiteral("The folder that holds the file cannot be written. Mealwright keeps a "
                              "journal beside the file while it saves, so that no change is ever half "
                              "made. Move the file to a folder you may change.");
    case OpenFailure::Unfinished:
        return QStringLiteral("A save in the file was left unfinished when the program making it stopped; "
                              "open the file once in Mealwright, which completes the recovery, and try again.");
    case OpenFailure::BadAddress:
        return detail;
    case OpenFailure::Unreachable:
        return QStringLiteral("No database server answers at that host and port. Check the host name and port, "
                              "and that the server is running and lets this computer connect (%1).")
            .arg(detail);
    case OpenFailure::PasswordNeeded:
        return QStringLiteral("The server asks for a password, and none was given.");
    case OpenFailure::WrongPassword:
        return QStringLiteral("The server did not accept the user name or the password.");
    case OpenFailure::NoSuchDatabase:
        return QStringLiteral("The server holds no database by that name. Check the name, or ask whoever looks "
                              "after the server to make it.");
    case OpenFailure::NotAllowed:
        return QStringLiteral("The server does not let this user into the diary (%1). Ask whoever looks after "
                              "the server for access.")
            .arg(detail);
    case OpenFailure::ReadOnlyUser:
        return QStringLiteral("The server lets this user read the diary but not change it. Mealwright needs to "
                              "save your entries; ask whoever looks after the server for access.");
    case OpenFailure::NoEncryption:
        return QStringLiteral("The server does not offer an encrypted connection, and one was required. Ask "
                              "whoever looks after the server to turn encryption on, or, on a network you trust, "
                              "connect without requiring it.");
    case OpenFailure::Other:
        return QStringLiteral("The database reported an error: %1").arg(detail);
    }
    return {};
}

OpenResult probeDatabaseFile(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        // Bytes of a name that were not UTF-8 text were read as U+FFFD, which leads nowhere.
        return {path.contains(QChar::ReplacementCharacter) ? OpenFailure::NameNotUtf8 : OpenFailure::Missing, {}};
    if (info.isDir())
        return {OpenFailure::Folder, {}};
    // Reading a pipe would wait for a writer for ever; a device is no diary either.
    if (!info.isFile())
        return {OpenFailure::NotAFile, {}};

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {OpenFailure::Unreadable, file.errorString()};
    const QByteArray header = file.read(100);
    if (header.isEmpty())
        return {OpenFailure::Empty, {}};

    static const QByteArray accessMagic("\x00\x01\x00\x00", 4);
    if (header.startsWith(accessMagic)
        && (header.mid(4, 15) == "Standard Jet DB" || header.mid(4, 15) == "Standard ACE DB"))
        return {OpenFailure::AccessFile, {}};

    static const QByteArray sqliteMagic("SQLite format 3\0", 16);
    if (!header.startsWith(sqliteMagic))
        return {OpenFailure::NotADatabase, {}};
    return {};
}
