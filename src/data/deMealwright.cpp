#include "deMealwright.h"

#include <QSettings>

deMealwright::deMealwright()
    : m_connection(QStringLiteral("cnMealwright"))
{
}

deMealwright &deMealwright::instance()
{
    static deMealwright environment;
    return environment;
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
