// Opens the database named as the only argument the way the program does at start-up, before
// anything else uses the database driver, and ends: the run must end cleanly, with exit code 0.

#include "deMealwright.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    return argc == 2 && deMealwright::instance().open(QString::fromLocal8Bit(argv[1])).ok() ? 0 : 1;
}
