#include "BuildInfo.h"
#include "Connection.h"
#include "frmAbout.h"
#include "frmMainFrame.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Mealwright"));
    QApplication::setApplicationName(QString::fromUtf8(BuildInfo::productName));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(BuildInfo::major).arg(BuildInfo::minor).arg(BuildInfo::revision));

    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon/" MEALWRIGHT_APP_ID ".png")));
    QGuiApplication::setDesktopFileName(QStringLiteral(MEALWRIGHT_APP_ID));
    // A statement may wait for another program's lock: the pointer shows that the program is busy.
    Connection::setWaitHook([](bool waiting) {
        if (waiting)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });

    // A database file named on the command line (as a file manager passes it) opens instead of
    // the remembered one.
    const QStringList arguments = QApplication::arguments();
    const QString path = arguments.size() > 1 ? arguments.at(1) : QString();

    frmMainFrame frame;
    frame.start(path);
    frame.show();
    return QApplication::exec();
}
