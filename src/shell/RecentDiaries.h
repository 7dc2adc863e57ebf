#pragma once

#include <QString>
#include <QStringList>

// The diaries opened last, most recent first, as File's list and the start dialog show them.
// They are kept in the user's settings ("Mealwright", section "Database", key "Recent"), each
// once, as an absolute path or a server address as it is written; settings from before the list began offer the remembered diary.
namespace RecentDiaries {

// At most this many are kept.
inline constexpr int most = 4;

QStringList list();
// The diary at path opened: it goes first, once, and the list keeps the most recent ones.
void add(const QString &path);
// The diary at path is taken off the list.
void remove(const QString &path);

// The path as the list compares it: absolute and clean; a server address as it is.
QString key(const QString &path);

// A diary as lists and the caption name it: the file's name, or "DATABASE on HOST".
QString shortName(const QString &path);
// A diary in full, for a tooltip: the path in the system's form, or the server address.
QString fullName(const QString &path);

} // namespace RecentDiaries
