#include "ServerAddress.h"

#include <QUrl>

namespace {

const QString schemes[] = {QStringLiteral("postgresql://"), QStringLiteral("postgres://")};

const QStringList &sslModes()
{
    static const QStringList modes = {QStringLiteral("disable"), QStringLiteral("allow"),     QStringLiteral("prefer"),
                                      QStringLiteral("require"), QStringLiteral("verify-ca"), QStringLiteral("verify-full")};
    return modes;
}

// The address is not repeated: it may hold a password.
Status refused(const QString &, const QString &why)
{
    return Status::failure(QStringLiteral("The diary address is not one Mealwright can use: %1").arg(why));
}

// Percent-decodes a part; false when an escape is broken or the text is not UTF-8.
bool decoded(QStringView part, QString &text)
{
    const QByteArray bytes = part.toUtf8();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '%'
            && (i + 2 >= bytes.size() || !isxdigit(uchar(bytes[i + 1])) || !isxdigit(uchar(bytes[i + 2]))))
            return false;
    text = QString::fromUtf8(QByteArray::fromPercentEncoding(bytes));
    return !text.contains(QChar::ReplacementCharacter);
}

QString encoded(const QString &part, const QByteArray &keep = {})
{
    return QString::fromLatin1(QUrl::toPercentEncoding(part, keep));
}

} // namespace

bool ServerAddress::isAddress(const QString &name)
{
    for (const QString &scheme : schemes)
        if (name.startsWith(scheme, Qt::CaseInsensitive))
            return true;
    return false;
}

Result<ServerAddress> ServerAddress::fromUri(const QString &uri)
{
    QStringView rest(uri);
    bool known = false;
    for (const QString &scheme : schemes)
        if (rest.startsWith(scheme, Qt::CaseInsensitive)) {
            rest = rest.mid(scheme.size());
            known = true;
            break;
        }
    if (!known)
        return refused(uri, QStringLiteral("it must begin with postgresql://."));

    ServerAddress address;
    QStringView query;
    if (const qsizetype mark = rest.indexOf(u'?'); mark >= 0) {
        query = rest.mid(mark + 1);
        rest = rest.left(mark);
    }
    const qsizetype slash = rest.indexOf(u'/');
    if (slash < 0 || slash == rest.size() - 1)
        return refused(uri, QStringLiteral("it names no database (postgresql://USER@HOST/DATABASE)."));
    if (!decoded(rest.mid(slash + 1), address.database) || address.database.contains(u'/'))
        return refused(uri, QStringLiteral("the database name is not readable."));
    QStringView authority = rest.left(slash);

    if (const qsizetype at = authority.lastIndexOf(u'@'); at >= 0) {
        const QStringView user = authority.left(at);
        if (user.contains(u':'))
            return refused(uri, QStringLiteral("it holds a password. Passwords are never written into an address: "
                                               "give it when Mealwright asks, or keep it in PGPASSWORD or ~/.pgpass."));
        if (!decoded(user, address.user))
            return refused(uri, QStringLiteral("the user name is not readable."));
        authority = authority.mid(at + 1);
    }

    QStringView port;
    if (authority.startsWith(u'[')) {
        const qsizetype close = authority.indexOf(u']');
        if (close < 0)
            return refused(uri, QStringLiteral("the host's address is not closed with ]."));
        address.host = authority.mid(1, close - 1).toString();
        const QStringView after = authority.mid(close + 1);
        if (!after.isEmpty() && !after.startsWith(u':'))
            return refused(uri, QStringLiteral("the host's address is not readable."));
        port = after.mid(1);
    } else {
        const qsizetype colon = authority.indexOf(u':');
        if (!decoded(colon < 0 ? authority : authority.left(colon), address.host))
            return refused(uri, QStringLiteral("the host name is not readable."));
        if (colon >= 0)
            port = authority.mid(colon + 1);
    }
    if (address.host.isEmpty())
        return refused(uri, QStringLiteral("it names no host (postgresql://USER@HOST/DATABASE)."));
    if (address.host.contains(u','))
        return refused(uri, QStringLiteral("it names more than one host."));
    if (!port.isEmpty() || authority.endsWith(u':')) {
        bool ok = false;
        address.port = port.toInt(&ok);
        if (!ok || address.port < 1 || address.port > 65535 || port.startsWith(u'+'))
            return refused(uri, QStringLiteral("the port must be a number from 1 to 65535."));
    }

    for (const QStringView pair : query.split(u'&', Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(u'=');
        const QString key = (equals < 0 ? pair : pair.left(equals)).toString();
        QString value;
        if (equals < 0 || !decoded(pair.mid(equals + 1), value))
            return refused(uri, QStringLiteral("the setting %1 has no readable value.").arg(key));
        if (key == QLatin1String("sslmode")) {
            if (!sslModes().contains(value))
                return refused(uri, QStringLiteral("sslmode must be one of %1.").arg(sslModes().join(QStringLiteral(", "))));
            address.sslMode = value;
        } else if (key == QLatin1String("password")) {
            return refused(uri, QStringLiteral("it holds a password. Passwords are never written into an address: "
                                               "give it when Mealwright asks, or keep it in PGPASSWORD or ~/.pgpass."));
        } else {
            return refused(uri, QStringLiteral("Mealwright does not take the setting %1; only sslmode may follow the ?.")
                                    .arg(key));
        }
    }
    return address;
}

QString ServerAddress::uri() const
{
    QString text = QStringLiteral("postgresql://");
    if (!user.isEmpty())
        text += encoded(user) + QLatin1Char('@');
    text += host.contains(u':') ? QLatin1Char('[') + host + QLatin1Char(']') : encoded(host);
    if (port != 0)
        text += QLatin1Char(':') + QString::number(port);
    text += QLatin1Char('/') + encoded(database);
    if (!sslMode.isEmpty())
        text += QStringLiteral("?sslmode=") + sslMode;
    return text;
}

QString ServerAddress::shortName() const
{
    return QStringLiteral("%1 on %2").arg(database, host);
}

bool ServerAddress::requiresEncryption() const
{
    return sslMode == QLatin1String("require") || sslMode.startsWith(QLatin1String("verify"));
}

bool ServerAddress::operator==(const ServerAddress &other) const
{
    return host == other.host && port == other.port && database == other.database && user == other.user
        && sslMode == other.sslMode;
}
