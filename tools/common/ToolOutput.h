#pragma once

#include <QCoreApplication>
#include <QString>
#include <QByteArrayView>

#include <cstdio>

// What the command-line tools print: whole lines, and the three lines of a usage error.
namespace ToolOutput {

// A character or byte as "\x1B".
inline QString escaped(uint code)
{
    return QStringLiteral("\\x") + QString::number(code, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

// The text on one line: a line break, a tab or another control character in it (from a name or
// an argument) is shown as an escape, "\n", "\t" or "\x1B".
inline QString oneLine(const QString &text)
{
    QString line;
    for (const QChar c : text) {
        if (c == u'\n')
            line += QStringLiteral("\\n");
        else if (c == u'\t')
            line += QStringLiteral("\\t");
        else if (c.category() == QChar::Other_Control)
            line += escaped(c.unicode());
        else
            line += c;
    }
    return line;
}

inline void printLine(std::FILE *stream, const QString &text)
{
    std::fputs(qPrintable(oneLine(text) + QLatin1Char('\n')), stream);
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

// A name that is not UTF-8 text would be read with U+FFFD in place of its bytes, and a file made
// or looked for by the name changed. Says so, naming the first such argument with its bytes as
// "\xE9"; gives the exit status 1, or 0 when every argument is UTF-8 text.
inline int refuseNamesNotUtf8(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArrayView bytes(argv[i]);
        if (bytes.isValidUtf8())
            continue;
        QString shown;
        for (const char byte : bytes)
            shown += static_cast<unsigned char>(byte) < 0x80 ? QString(QLatin1Char(byte)) : escaped(static_cast<unsigned char>(byte));
        printLine(stderr, QStringLiteral("%1: %2 is not UTF-8 text, and Mealwright reads names only as UTF-8; "
                                         "rename the file or give the name in UTF-8.")
                              .arg(QCoreApplication::applicationName(), shown));
        return 1;
    }
    return 0;
}

} // namespace ToolOutput
