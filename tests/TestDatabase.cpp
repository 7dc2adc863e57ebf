#include "TestDatabase.h"

#include "data/Schema.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace TestDatabase {

namespace {

template <typename Work>
QString withConnection(const QString &path, Work work)
{
    const QString name = QUuid::createUuid().toString();
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        error = db.open() ? work(db) : db.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

} // namespace

QString createEmpty(const QString &path)
{
    return withConnection(path, [](QSqlDatabase &db) { return Schema::create(db); });
}

QString createMealFixture(const QString &path)
{
    const QString error = createEmpty(path);
    if (!error.isEmpty())
        return error;
    return execute(
        path,
        {
            QStringLiteral("INSERT INTO Clients (Who, CalorieBudget) VALUES ('Ann', 1500), ('Bob', 2000), "
                           "('Maeve O''Brien', 1200)"),
            QStringLiteral("INSERT INTO Foods (ID, Food, Units, CaloriesPerUnit, VegetableServings, FruitServings, "
                           "EntreeFlag, SupplementFlag) VALUES "
                           "(1, 'Apple', 'each', 95, 0, 1, 0, 0), "
                           "(2, 'Shake', 'packet', 170, 0, 0, 0, 1), "
                           "(3, 'Chicken pasta', 'each', 250, 0.5, 0, 1, 0), "
                           "(4, 'Protein bar', 'bar', 200, 0, 0, 1, 1), "
                           "(5, 'Broccoli', 'cup', 30, 1, 0, 0, 0), "
                           "(6, 'Milk', 'cup', 100, 0, 0, 0, 0), "
                           "(7, 'Milk', 'fl oz', 12.5, 0, 0, 0, 0)"),
            // 2002-08-13 is a Tuesday. Meals 10 and 20 share a time; 30 has no food entry and 31
            // a unit its food is not listed in; 50 falls on the next midnight.
            QStringLiteral("INSERT INTO Meals (ID, Who, \"When\", Food, Amount, Units) VALUES "
                           "(1, 'Ann', '2002-08-13 00:00:00', 'Apple', 1, 'each'), "
                           "(20, 'Ann', '2002-08-13 08:00:00', 'Milk', 1, 'cup'), "
                           "(10, 'Ann', '2002-08-13 08:00:00', 'Shake', 2, 'packet'), "
                           "(30, 'Ann', '2002-08-13 12:00:00', 'Mystery stew', 1, 'bowl'), "
                           "(31, 'Ann', '2002-08-13 12:30:00', 'Milk', 1, 'tbsp'), "
                           "(40, 'Ann', '2002-08-13 18:05:00', 'Chicken pasta', 1, 'each'), "
                           "(41, 'Ann', '2002-08-13 23:59:59', 'Protein bar', 1.5, 'bar'), "
                           "(50, 'Ann', '2002-08-14 00:00:00', 'Broccoli', 2, 'cup'), "
                           "(60, 'Bob', '2002-08-13 12:00:00', 'Apple', 3, 'each'), "
                           "(70, 'Ann', '2002-08-15 19:00:00', 'Milk', 8, 'fl oz'), "
                           "(40000, 'Ann', '2002-08-20 12:00:00', 'Apple', 2, 'each')"),
        });
}

QString execute(const QString &path, const QStringList &statements)
{
    return withConnection(path, [&statements](QSqlDatabase &db) {
        QSqlQuery query(db);
        for (const QString &statement : statements)
            if (!query.exec(statement))
                return query.lastError().text() + QStringLiteral(" in: ") + statement;
        return QString();
    });
}

QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        QByteArray fingerprint = info.lastModified().toString(Qt::ISODateWithMs).toUtf8();
        if (info.isFile()) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                fingerprint += ' ' + QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex();
        }
        files.insert(path, fingerprint);
    }
    return files;
}

} // namespace TestDatabase
