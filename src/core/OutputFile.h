#pragma once

#include "Status.h"

#include <QString>

#include <functional>

class QIODevice;

// A file Mealwright writes for the user (a report saved as PDF) is written whole or not at all:
// into a temporary file beside it, put in its place only once everything went well. After any
// failure the file that was there is as it was, and nothing else is left behind.
namespace OutputFile {

// write puts the content on the device it is given, and says why when it could not.
Status write(const QString &path, const std::function<Status(QIODevice &)> &write);

} // namespace OutputFile
