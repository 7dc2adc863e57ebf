#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

// The command line of the mealwright program: [options] [DIARY]. Qt's own options (-platform,
// -style, -reverse...) are accepted and left for the application object to take.
class ProgramOptions
{
public:
    enum class Outcome { Run, Help, Version, UsageError };

    ProgramOptions();

    // Reads the arguments, the program's name first.
    Outcome parse(const QStringList &arguments);

    // After Run: the diary file named, or the empty text when none is.
    const QString &diaryPath() const { return m_diaryPath; }
    // After UsageError: what is wrong, in one sentence.
    const QString &problem() const { return m_problem; }
    // Prints the help text and ends the program with status 0; an application object must exist.
    [[noreturn]] void showHelp() { m_parser.showHelp(0); }

private:
    QCommandLineParser m_parser;
    QCommandLineOption m_help;
    QCommandLineOption m_version;
    QString m_diaryPath;
    QString m_problem;
};
