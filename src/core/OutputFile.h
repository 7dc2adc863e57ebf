#pragma once

#include "Status.h"

#include <QString>

#include <functional>

class QIODevice;

// A file Mealwright writes for the user (a report saved as PDF) is written whole or not at all:
// into a temporary file beside it, put in its place only once everything went well. After any
// failure the file that was there is as it was, and nothing else is left behind.
//
// Only an ordinary file is ever replaced: a path that leads to a database the program has open
// (by any name or link), whose last part is a symbolic link, or that names a folder, a pipe or a
// device is refused before anything is written.
namespace OutputFile {

// write puts the content on the device it is given, and says why when it could not.
Status write(const QString &path, const std::function<Status(QIODevice &)> &write);

// The database files open in the program, which no output may replace. The data layer keeps
// each file it opens here until it closes it; the file is known by its device and inode, so
// another name or a hard link to it is known too.
void protect(const QString &path);
void release(const QString &path);

// A new, empty file with a short name of Mealwright's own in folder, made with the permissions
// a new file gets; its path, or the empty text with error set. Stale ones of ours in the folder
// are removed first (see removeStaleTemporaries).
QString createTemporary(const QString &folder, QString &error);
// Removes the temporary files (and their journals) that a Mealwright program left in folder when
// it was killed: those whose process is gone and that nothing changed for some minutes.
void removeStaleTemporaries(const QString &folder);

} // namespace OutputFile
