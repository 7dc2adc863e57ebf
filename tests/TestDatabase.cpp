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
