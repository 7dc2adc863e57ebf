#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// Small database files built by code for the tests.
namespace TestDatabase {

// A new, valid Mealwright database at path (the four tables and the standard units).
// Returns the empty text, or what went wrong.
QString createEmpty(const QString &path);

// A valid database with a small, known diary (see TestDatabase.cpp): clients Ann (budget 1500),
// Bob (2000) and Maeve O'Brien (1200); foods with and without servings and plan flags; meals of
// Ann around Tuesday 13 August 2002 that exercise the edges of a day.
QString createMealFixture(const QString &path);

// Runs statements on the database at path through a connection of its own.
QString execute(const QString &path, const QStringList &statements);

// Every file below folder with a fingerprint of its content and modification time, so a test
// can tell that nothing appeared, vanished or changed.
QMap<QString, QByteArray> snapshot(const QString &folder);

} // namespace TestDatabase
