#pragma once

#include <QString>
#include <QStringList>

// Why a file could not be opened as a Mealwright database, in terms a user can act on.
enum class OpenFailure {
    None,
    Missing,       // no such file
    NameNotUtf8,   // no such file, and the name holds bytes that were not UTF-8 text
    Folder,        // the path names a folder
    NotAFile,      // a pipe, a device or anything else that is not a regular file
    Unreadable,    // the file cannot be read (permissions)
    Empty,         // 0 bytes
    AccessFile,    // a Microsoft Access (Jet or ACE) database
    NotADatabase,  // any other file that is not an SQLite database
    MissingTables, // an SQLite database without (all of) the Mealwright tables
    Locked,        // another program holds a lock on it
    ReadOnly,      // it can be read but not written
    FolderReadOnly, // the file can be written, but its folder cannot take the journal
    Unfinished,    // a save left unfinished (a hot journal), which a read-only open cannot undo
    // A diary on a server:
    BadAddress,     // the address cannot be read
    Unreachable,    // no server answers at the host and port
    PasswordNeeded, // the server asks for a password and none was given
    WrongPassword,  // the user name or the password was not accepted
    NoSuchDatabase, // the server holds no database by that name
    NotADiary,      // the database lacks (some of) the Mealwright tables
    NotAllowed,     // the server does not let the user in, or not into the diary's tables
    ReadOnlyUser,   // the user may read the diary but not change it
    NoEncryption,   // an encrypted connection was required and the server offers none
    Other,          // anything else the database engine reports
};

struct OpenResult
{
    OpenFailure failure = OpenFailure::None;
    QString detail; // the missing tables and fields, or the engine's own words

    bool ok() const { return failure == OpenFailure::None; }
    // One or two sentences saying what is wrong with the file.
    QString reason() const;
};

// Looks at the file itself, without opening it as a database: it must exist, be a regular,
// readable file, not be empty and start with the SQLite header. Recognises Access files by their
// signature. Changes nothing on disk.
OpenResult probeDatabaseFile(const QString &path);
