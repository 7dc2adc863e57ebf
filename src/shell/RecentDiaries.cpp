#include "RecentDiaries.h"

#include "deMealwright.h"
#include "ServerAddress.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace RecentDiaries {

namespace {

const QString recentKey = QStringLiteral("Database/Recent");

void store(const QStringList &paths)
{
    QSettings kept(QStringLiteral("Mealwright"), QStringLiteral("Mealwright"));
    kept.setValue(recentKey, paths);
    kept.sync();
}

} // namespace

QString key(const QString &path)
{
    return ServerAddress::isAddress(path) ? path : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString shortName(const QString &path)
{
    if (!ServerAddress::isAddress(path))
        return QFileInfo(path).fileName();
    const Result<ServerAddress> address = ServerAddress::fromUri(path);
    return address ? address->shortName() : path;
}

QString fullName(const QString &path)
{
    return ServerAddress::isAddress(path) ? path : QDir::toNativeSeparators(path);
}

QStringList list()
{
    const QSettings kept(QStringLiteral("Mealwright"), QStringLiteral("Mealwright"));
    if (!kept.contains(recentKey)) {
        const QString remembered = deMealwright::rememberedPath();
        return remembered.isEmpty() ? QStringList() : QStringList(key(remembered));
    }
    return kept.value(recentKey).toStringList();
}

void add(const QString &path)
{
    QStringList paths = list();
    paths.removeAll(key(path));
    paths.prepend(key(path));
    store(paths.mid(0, most));
}

void remove(const QString &path)
{
    QStringList paths = list();
    if (paths.removeAll(key(path)) > 0)
        store(paths);
}

} // namespace RecentDiaries
