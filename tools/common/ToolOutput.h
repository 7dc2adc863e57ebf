#pragma once

#include <QCoreApplication>
#include <QString>

#include <cstdio>

// What the command-line tools print: whole lines, and the three lines of a usage error.
namespace ToolOutput {

inline void printLine(std::FILE *stream, const QString &text)
{
    std::fputs(qPrintable(text + QLatin1Char('\n')), stream);
}

// Says what is wrong with the command line and how it goes; gives the exit status 2.
inline int usageError(const QString &problem, const QString &arguments)
{
    const QString program = QCoreApplication::applicationName();
    printLine(stderr, QStringLiteral("%1: %2").arg(program, problem));
    printLine(stderr, QStringLiteral("Usage: %1 %2").arg(program, arguments));
    printLine(stderr, QStringLiteral("Try '%1 --help' for more information.").arg(program));
    return 2;
}

} // namespace ToolOutput
