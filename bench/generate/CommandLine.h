#pragma once

// What the generators' command lines share.

#include <QCommandLineParser>
#include <QString>

#include <cstdio>

namespace CommandLine {

// The whole number given for the option name, if it is given, into out; false, saying why on
// stderr, when it is no whole number of at least least.
inline bool readNumber(const QCommandLineParser &parser, const QString &name, qint64 least, qint64 &out)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const qint64 value = parser.value(name).toLongLong(&ok);
    if (!ok || value < least) {
        std::fprintf(stderr, "--%s must be a whole number of at least %lld\n", qPrintable(name), static_cast<long long>(least));
        return false;
    }
    out = value;
    return true;
}

} // namespace CommandLine
