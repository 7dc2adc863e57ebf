#include "TestDatabase.h"

#include "Clock.h"
#include "Connection.h"
#include "deMealwright.h"
#include "MessageBox.h"
#include "NewDiary.h"
#include "Schema.h"
#include "ServerAddress.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QUuid>

namespace TestDatabase {

QString createMealFixture(const QString &path)
{
    if (const Status created = NewDiary::create(path); !created)
        return created.reason();
    return execute(
        path,
        {
            QStringLiteral("INSERT INTO Clients (Who, CalorieBudget) VALUES ('Ann', 1500), ('Bob', 2000), "
                           "('Maeve O''Brien', 1200)"),
            QStringLiteral("INSERT INTO Foods (ID, Food, Units, CaloriesPerUnit, VegetableServings, FruitServings, "
                           "EntreeFlag, SupplementFlag) VALUES "
                           "(1, 'Apple', 'each', 95, 0, 1, 0, 0), "
                           "(2, 'Shake', 'packet', 170, 0, 0, 0, 1), "
                           "(3, 'Chicken pasta', 'each', 250, 0.5, 0, -1, 0), "
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
    Connection connection(QUuid::createUuid().toString());
    Status done = connection.openAsIs(path);
    for (const QString &statement : statements) {
        if (!done)
            break;
        Connection::Statement run = connection.statement(statement);
        run.exec();
        done = run.status();
    }
    if (done && connection.engine() == Engine::Server && Schema::check(connection).ok())
        done = Schema::followIdentities(connection);
    return done.reason();
}

QString serverAddress(const QString &user, const QString &database, const QString &sslMode)
{
    const QString folder = qEnvironmentVariable("MEALWRIGHT_TEST_SERVER");
    QFile portFile(folder + QStringLiteral("/port"));
    if (folder.isEmpty() || !portFile.open(QIODevice::ReadOnly))
        return {};
    const int port = QString::fromLatin1(portFile.readAll()).trimmed().toInt();
    ServerAddress address{QStringLiteral("127.0.0.1"), port, database, user, sslMode};
    return address.uri();
}

QString missingTable(const QString &table)
{
    return onServer() ? QStringLiteral("relation \"%1\" does not exist").arg(table.toLower())
                      : QStringLiteral("no such table: %1").arg(table);
}

QString serverDiary(const QString &suffix)
{
    return serverAddress(QStringLiteral("postgres"), QCoreApplication::applicationName().toLower() + suffix);
}

QString executeAsSuperuser(const QStringList &statements)
{
    return execute(serverAddress(QStringLiteral("postgres"), QStringLiteral("postgres")), statements);
}

QString emptyServerDiary(const QString &address)
{
    const QString database = ServerAddress::fromUri(address)->database;
    Connection admin(QUuid::createUuid().toString());
    if (const Status opened = admin.openAsIs(serverAddress(QStringLiteral("postgres"), QStringLiteral("postgres"))); !opened)
        return opened.reason();
    const Result<qint64> there =
        admin.statement(QStringLiteral("SELECT count(*) FROM pg_database WHERE datname = ?")).bind(database).wholeNumber();
    if (!there)
        return there.reason();
    if (*there == 0)
        return execute(serverAddress(QStringLiteral("postgres"), QStringLiteral("postgres")),
                       {QStringLiteral("CREATE DATABASE \"%1\"").arg(database)});
    return execute(address, {QStringLiteral("DROP SCHEMA public CASCADE"), QStringLiteral("CREATE SCHEMA public"),
                             QStringLiteral("GRANT USAGE ON SCHEMA public TO PUBLIC")});
}

QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (!it.fileInfo().isFile())
            entries.insert(path, QByteArrayLiteral("<not a file>"));
        else if (file.open(QIODevice::ReadOnly))
            entries.insert(path, it.fileInfo().lastModified().toString(Qt::ISODateWithMs).toUtf8() + ' '
                                     + QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex());
    }
    return entries;
}

LockHolder::LockHolder(const QString &path, const QString &beginStatement)
    : m_connection(std::make_unique<Connection>(QUuid::createUuid().toString()))
{
    // A deferred transaction takes its lock when it first reads. It goes with the connection.
    m_connection->openAsIs(path);
    if (m_connection->engine() == Engine::Server) {
        // A server locks tables: a writer's lock lets others read, an exclusive one does not.
        m_connection->statement(QStringLiteral("BEGIN")).exec();
        m_connection->statement(QStringLiteral("LOCK TABLE Meals, Foods, Units, Clients IN %1 MODE")
                                    .arg(beginStatement.contains(QLatin1String("EXCLUSIVE")) ? "ACCESS EXCLUSIVE" : "EXCLUSIVE"))
            .exec();
        return;
    }
    for (const QString &statement : {beginStatement, QStringLiteral("SELECT count(*) FROM Units")})
        m_connection->statement(statement).exec();
}

LockHolder::~LockHolder() = default;

} // namespace TestDatabase

DiaryTest::DiaryTest(QStringList statements, QDateTime now)
    : m_statements(std::move(statements))
    , m_now(std::move(now))
{
}

void DiaryTest::change(const QStringList &statements)
{
    QCOMPARE(TestDatabase::execute(m_path, statements), QString());
}

void DiaryTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = TestDatabase::serverDiary();
    if (m_path.isEmpty())
        m_path = m_dir->filePath(QStringLiteral("diary.mdb"));
    else
        QCOMPARE(TestDatabase::emptyServerDiary(m_path), QString());
    QCOMPARE(TestDatabase::createMealFixture(m_path), QString());
    QCOMPARE(TestDatabase::execute(m_path, m_statements), QString());
    QVERIFY(deMealwright::instance().open(m_path).ok());
    MessageBox::setTestMode(true);
    Clock::setFixed(m_now);
}

void DiaryTest::cleanup()
{
    Clock::reset();
    deMealwright::instance().close();
    m_dir.reset();
}
