#include "deMealwright.h"

#include <QSettings>
#include <QUuid>

deMealwright::deMealwright()
    : m_connection(QStringLiteral("cnMealwright"))
{
}

deMealwright &deMealwright::instance()
{
    // Made on first use and never destroyed: it lives for the whole run, and when static objects
    // are destroyed at the end, the driver's own list of connections may be gone already.
    static deMealwright *const environment = new deMealwright;
    return *environment;
}

OpenResult deMealwright::tryOpen(const QString &name, const QString &password)
{
    Connection trial(QUuid::createUuid().toString());
    return trial.open(name, Access::ReadWrite, password);
}

QString deMealwright::rememberedPath()
{
    return QSettings(QStringLiteral("Mealwright"), QStringLiteral("Mealwright"))
        .value(QStringLiteral("Database/Name"))
        .toString();
}

void deMealwright::rememberPath(const QString &path)
{
    QSettings settings(QStringLiteral("Mealwright"), QStringLiteral("Mealwright"));
    settings.setValue(QStringLiteral("Database/Name"), path);
    settings.sync();
}
