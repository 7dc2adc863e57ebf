#pragma once

#include "Connection.h"

#include <QString>

// The data environment: the one shared connection to the open database file, for the whole
// run. Windows run the table classes and commands on cnMealwright(); none keeps a result past
// a close.
class deMealwright
{
public:
    static deMealwright &instance();

    // The shared connection; nothing is open on it while no database is open.
    Connection &cnMealwright() { return m_connection; }
    bool isOpen() const { return m_connection.isOpen(); }
    // The file of the open database; empty while none is open.
    const QString &path() const { return m_connection.path(); }

    // Opens the file or server diary as the shared connection for reading and writing, closing
    // any database open before (see Connection::open; password: a server's).
    OpenResult open(const QString &name, const QString &password = QString())
    {
        return m_connection.open(name, Access::ReadWrite, password);
    }
    // Whether the diary would open, tried on a connection of its own: the shared one stays as it
    // is.
    static OpenResult tryOpen(const QString &name, const QString &password);
    void close() { m_connection.close(); }

    // The file or server address that last opened, kept in the user's settings ("Mealwright", section
    // "Database", key "Name"); empty when there is none.
    static QString rememberedPath();
    static void rememberPath(const QString &path);

private:
    deMealwright();

    Connection m_connection;
};
