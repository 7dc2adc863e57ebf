#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class Connection;

// Small database files built by code for the tests.
namespace TestDatabase {

// A new, valid database (the four tables and the standard units) with a small, known diary
// (see TestDatabase.cpp): clients Ann (budget 1500), Bob (2000) and Maeve O'Brien (1200); foods
// with and without servings and plan flags; meals of Ann around Tuesday 13 August 2002 that
// exercise the edges of a day. Returns the empty text, or what went wrong.
QString createMealFixture(const QString &path);

// Runs statements on the database at path (a file or a server address) through a connection of
// its own. On a server, the IDs of new rows then follow on from the ones the statements gave.
QString execute(const QString &path, const QStringList &statements);

// The tests run on a server when MEALWRIGHT_TEST_SERVER names the folder where tests/test-server
// wrote its port: then the diaries of the tests are databases there, named for the test program
// (and the suffix), as its superuser. Empty when they run on files.
QString serverDiary(const QString &suffix = QString());
inline bool onServer() { return !serverDiary().isEmpty(); }
// The engine's words for a table that is not there.
QString missingTable(const QString &table);
// The address of database on the test server as user, with encryption as sslmode says.
QString serverAddress(const QString &user, const QString &database, const QString &sslMode = QStringLiteral("disable"));
// Runs statements as the superuser on the test server's maintenance database.
QString executeAsSuperuser(const QStringList &statements);
// Makes the server database at address empty, creating it first when there is none.
QString emptyServerDiary(const QString &address);

// Every entry below folder, each file with a fingerprint of its content and modification time,
// so a test can tell that nothing appeared, vanished or changed.
QMap<QString, QByteArray> snapshot(const QString &folder);

// Holds a lock on a database file through a connection of its own, as another program would,
// for as long as it lives. beginStatement is "BEGIN" (a reader: others may write, not commit),
// "BEGIN IMMEDIATE" (a writer) or "BEGIN EXCLUSIVE".
class LockHolder
{
public:
    LockHolder(const QString &path, const QString &beginStatement);
    ~LockHolder();
    LockHolder(const LockHolder &) = delete;
    LockHolder &operator=(const LockHolder &) = delete;

private:
    std::unique_ptr<Connection> m_connection;
};

} // namespace TestDatabase

// A test on the program's database: before each test function the meal fixture, changed by the
// statements given, is made in a new temporary folder as diary.mdb and opened; message boxes
// answer from presets; "now" is fixed when a moment is given.
class DiaryTest : public QObject
{
    Q_OBJECT

public:
    explicit DiaryTest(QStringList statements = {}, QDateTime now = {});

protected:
    // Runs statements on the diary as another program would; a statement that fails fails the test.
    void change(const QStringList &statements);

    // Skips a test of what only a diary file has (its locks, its folder, its bytes).
#define SKIP_ON_SERVER(why)                                                                                           \
    if (TestDatabase::onServer())                                                                                     \
    QSKIP(why)

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path; // the diary file, or its address on the test server

private Q_SLOTS:
    void init();
    void cleanup();

private:
    QStringList m_statements;
    QDateTime m_now;
};
