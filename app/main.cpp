#include "BuildInfo.h"
#include "Connection.h"
#include "frmAbout.h"
#include "frmMainFrame.h"
#include "ProgramOptions.h"
#include "ToolOutput.h"

#include <QApplication>
#include <QIcon>

#include <cstring>

int main(int argc, char *argv[])
{
    // The command line is read before the window system is reached: help, the version and a
    // mistake in it are answered with no display. As the tools do, the program calls itself by
    // its command's name there.
    QCoreApplication::setOrganizationName(QStringLiteral("Mealwright"));
    QCoreApplication::setApplicationName(QStringLiteral("mealwright"));
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(BuildInfo::major).arg(BuildInfo::minor).arg(BuildInfo::revision));
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    ProgramOptions options;
    switch (options.parse(arguments)) {
    case ProgramOptions::Outcome::UsageError:
        ToolOutput::printLine(stderr, QStringLiteral("mealwright: %1 Try 'mealwright --help' for more information.")
                                          .arg(options.problem()));
        return 2;
    case ProgramOptions::Outcome::Help: {
        const QCoreApplication app(argc, argv); // the help names the program as it was called
        options.showHelp();
    }
    case ProgramOptions::Outcome::Version:
        ToolOutput::printLine(stdout, QStringLiteral("mealwright %1").arg(QCoreApplication::applicationVersion()));
        return 0;
    case ProgramOptions::Outcome::Run:
        break;
    }

    // Qt takes its own options; what follows "--" is a file name, never one of them.
    int qtArgc = argc;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--") == 0) {
            qtArgc = i;
            break;
        }
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QString::fromUtf8(BuildInfo::productName));

    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon/" MEALWRIGHT_APP_ID ".png")));
    QGuiApplication::setDesktopFileName(QStringLiteral(MEALWRIGHT_APP_ID));
    // A statement may wait for another program's lock: the pointer shows that the program is busy.
    Connection::setWaitHook([](bool waiting) {
        if (waiting)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });

    // A diary file named on the command line (as a file manager passes it) opens instead of the
    // remembered one.
    // The frame shows first, so that the start dialog or a message about the diary stands on it.
    frmMainFrame frame;
    frame.show();
    frame.start(options.diaryPath());
    return QApplication::exec();
}
