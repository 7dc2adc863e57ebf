#pragma once

#include "DatabaseProbe.h"
#include "MealViewCommand.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <memory>
#include <unordered_map>

// The data environment: the one shared connection to the open database file, for the whole
// run. Every window opens its own queries on cnMealwright(); none keeps one past a close.
class deMealwright
{
public:
    static deMealwright &instance();

    // The shared connection; not valid while no database is open.
    QSqlDatabase cnMealwright() const;
    bool isOpen() const;
    // The file of the open database; empty while none is open.
    QString path() const { return m_path; }

    // Opens the file as the shared connection, closing any database open before. The file must
    // exist and hold the four Mealwright tables, and must be readable and writable now: no
    // other program may hold a lock on it. Nothing is created or changed on disk, also when
    // the open fails; then no database is open afterwards.
    OpenResult open(const QString &path);
    void close();

    // The named commands. Each call gives a command of its own, to be given its parameters and
    // run on the database open at that moment.
    MealViewCommand qryMealView_GrandTotal() const { return MealViewCommand(); }

    // A statement prepared once on the shared connection and kept until the database closes,
    // for the queries that run again and again. Null when it cannot be prepared (the database's
    // words in *error). Callers finish() it when they have read what they need.
    QSqlQuery *preparedStatement(const QString &sql, QString *error);

    static const QString connectionName;

    // The file that last opened, kept in the user's settings ("Mealwright", section
    // "Database", key "Name"); empty when there is none.
    static QString rememberedPath();
    static void rememberPath(const QString &path);

private:
    deMealwright() = default;
    OpenResult openConnection(const QString &path);

    QString m_path;
    std::unordered_map<QString, std::unique_ptr<QSqlQuery>> m_statements;
};
