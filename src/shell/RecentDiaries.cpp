#include "RecentDiaries.h"

#include "deMealwright.h"

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
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
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
