#pragma once

#include <QDialog>
#include <QPixmap>

#include <array>

class QLabel;
class QPushButton;

// The About box: title, version, legal notice, what Mealwright is for, and how to reach us.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);

    // "Version " followed by major.minor.revision, each in plain decimal.
    static QString versionText(int major, int minor, int revision);
    // The horn of plenty, 194 by 140 pixels: the box's picture and the program's icon.
    static QPixmap picture();

    QLabel *picIcon;
    QLabel *lblTitle;
    QLabel *lblVersion;
    std::array<QLabel *, 2> lblDescription;
    QLabel *lblCopyright;
    std::array<QLabel *, 3> lblTallowmere;
    QPushButton *cmdOK;
};
