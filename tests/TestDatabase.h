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

// Runs statements on the database at path through a connection of its own.
QString execute(const QString &path, const QStringList &statements);

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

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;

private Q_SLOTS:
    void init();
    void cleanup();

private:
    QStringList m_statements;
    QDateTime m_now;
};
