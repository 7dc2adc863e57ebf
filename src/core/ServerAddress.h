#pragma once

#include "Status.h"

#include <QString>

// Where a diary on a PostgreSQL server is: its host, port, database and user, and how the
// connection is to be encrypted. Written as a connection URI,
// postgresql://USER@HOST[:PORT]/DATABASE[?sslmode=MODE], which names the diary wherever a file
// path would: in the settings, on the command line and in the caption. The password is never part
// of it.
struct ServerAddress
{
    QString host;
    int port = 0; // 0: the server's standard port, 5432
    QString database;
    QString user;
    // libpq's sslmode ("disable", "allow", "prefer", "require", "verify-ca", "verify-full");
    // empty: libpq's own choice.
    QString sslMode;

    static constexpr int standardPort = 5432;

    // Whether name is a server address (postgresql:// or postgres://) rather than a file path.
    static bool isAddress(const QString &name);
    // Reads a URI; a URI that holds a password, or anything this program cannot honour, is
    // refused with the reason in plain words.
    static Result<ServerAddress> fromUri(const QString &uri);

    // The URI, with every part that needs it percent-encoded; fromUri(uri()) gives this back.
    QString uri() const;
    // "database on host" for captions and lists.
    QString shortName() const;
    // Whether the connection refuses to go unencrypted.
    bool requiresEncryption() const;

    bool operator==(const ServerAddress &other) const;
};
