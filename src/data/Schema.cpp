#include "Schema.h"

#include "common/DateSpan.h"

#include <QSqlError>
#include <QSqlQuery>

namespace Schema {

const std::vector<Table> &tables()
{
    static const std::vector<Table> all = {
        {QStringLiteral("Meals"),
         {QStringLiteral("ID"), QStringLiteral("Who"), QStringLiteral("When"), QStringLiteral("Food"),
          QStringLiteral("Amount"), QStringLiteral("Units")}},
        {QStringLiteral("Foods"),
         {QStringLiteral("ID"), QStringLiteral("Food"), QStringLiteral("Units"), QStringLiteral("CaloriesPerUnit"),
          QStringLiteral("VegetableServings"), QStringLiteral("FruitServings"), QStringLiteral("EntreeFlag"),
          QStringLiteral("SupplementFlag")}},
        {QStringLiteral("Units"), {QStringLiteral("ID"), QStringLiteral("Units")}},
        {QStringLiteral("Clients"), {QStringLiteral("Who"), QStringLiteral("CalorieBudget")}},
    };
    return all;
}

const QStringList &standardUnits()
{
    static const QStringList units = {
        QStringLiteral("g"),     QStringLiteral("oz"),    QStringLiteral("lb"),      QStringLiteral("cup"),
        QStringLiteral("tbsp"),  QStringLiteral("tsp"),   QStringLiteral("fl oz"),   QStringLiteral("ml"),
        QStringLiteral("slice"), QStringLiteral("piece"), QStringLiteral("serving"), QStringLiteral("each"),
        QStringLiteral("bar"),   QStringLiteral("packet"),
    };
    return units;
}

static const QString whenFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QString whenText(const QDateTime &moment)
{
    return moment.toString(whenFormat);
}

QDateTime whenFromText(QStringView text)
{
    // Date and time are read apart: read together they would be taken as local time, in which
    // the hour the clocks skip in spring does not exist.
    if (text.size() != whenFormat.size() || text[10] != QLatin1Char(' '))
        return {};
    const QDate date = QDate::fromString(text.left(10).toString(), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(text.mid(11).toString(), QStringLiteral("HH:mm:ss"));
    return date.isValid() && time.isValid() ? wallClock(date, time) : QDateTime();
}

Check check(const QSqlDatabase &db)
{
    Check result;
    for (const Table &table : tables()) {
        // table_info gives no rows for a table that does not exist.
        QSqlQuery info(db);
        if (!info.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table.name))) {
            result.errorText = info.lastError().text();
            return result;
        }
        QStringList present;
        while (info.next())
            present << info.value(1).toString();
        if (present.isEmpty()) {
            result.missingTables << table.name;
            continue;
        }
        for (const QString &field : table.fields)
            if (!present.contains(field, Qt::CaseInsensitive))
                result.missingFields << table.name + QLatin1Char('.') + field;
    }
    return result;
}

QString create(QSqlDatabase &db)
{
    // Text compares without regard to case (ASCII), as names did in the diaries Mealwright
    // replaces: "apple" in a meal finds the food "Apple".
    static const char *const statements[] = {
        "CREATE TABLE Meals ("
        " ID INTEGER PRIMARY KEY AUTOINCREMENT,"
        " Who TEXT NOT NULL COLLATE NOCASE,"
        " \"When\" TEXT NOT NULL,"
        " Food TEXT NOT NULL COLLATE NOCASE,"
        " Amount REAL NOT NULL DEFAULT 0,"
        " Units TEXT NOT NULL COLLATE NOCASE)",
        "CREATE TABLE Foods ("
        " ID INTEGER PRIMARY KEY AUTOINCREMENT,"
        " Food TEXT NOT NULL COLLATE NOCASE,"
        " Units TEXT NOT NULL COLLATE NOCASE,"
        " CaloriesPerUnit REAL NOT NULL DEFAULT 0,"
        " VegetableServings REAL NOT NULL DEFAULT 0,"
        " FruitServings REAL NOT NULL DEFAULT 0,"
        " EntreeFlag INTEGER NOT NULL DEFAULT 0,"
        " SupplementFlag INTEGER NOT NULL DEFAULT 0)",
        "CREATE TABLE Units ("
        " ID INTEGER PRIMARY KEY AUTOINCREMENT,"
        " Units TEXT NOT NULL COLLATE NOCASE)",
        "CREATE TABLE Clients ("
        " Who TEXT NOT NULL COLLATE NOCASE PRIMARY KEY,"
        " CalorieBudget REAL NOT NULL DEFAULT 0)",
        "CREATE INDEX MealsByClientAndTime ON Meals (Who, \"When\")",
        "CREATE INDEX MealsByFood ON Meals (Food, Units)",
        "CREATE UNIQUE INDEX FoodsByName ON Foods (Food, Units)",
        "CREATE UNIQUE INDEX UnitsByName ON Units (Units)",
    };

    if (!db.transaction())
        return db.lastError().text();
    QSqlQuery query(db);
    for (const char *statement : statements) {
        if (!query.exec(QString::fromLatin1(statement))) {
            const QString error = query.lastError().text();
            db.rollback();
            return error;
        }
    }
    query.prepare(QStringLiteral("INSERT INTO Units (Units) VALUES (?)"));
    for (const QString &unit : standardUnits()) {
        query.bindValue(0, unit);
        if (!query.exec()) {
            const QString error = query.lastError().text();
            db.rollback();
            return error;
        }
    }
    if (!db.commit())
        return db.lastError().text();
    return {};
}

} // namespace Schema
