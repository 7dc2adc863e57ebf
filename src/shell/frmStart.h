#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// The start dialog, shown when no diary opens by itself: make a new diary, open one (a file or
// one on a server), open the demo diary, or one of the diaries opened last (a double-click or Enter on it). Each choice is
// carried out by the frame; the dialog closes once a diary is open, and otherwise stays for the
// user to choose again. Cancel leaves no diary open.
class frmStart : public QDialog
{
    Q_OBJECT

public:
    enum class Choice { New, Open, OpenServer, Demo, Recent };
    // Carries out a choice (path: the recent diary chosen); true when a diary is open afterwards.
    using Action = std::function<bool(Choice choice, const QString &path)>;

    frmStart(QWidget *parent, Action act);

    // The diary used last is no longer at path: the dialog says so above its choices.
    void setGoneDiary(const QString &path);

    QLabel *lblGone;
    QListWidget *lstRecent;
    QPushButton *cmdNew;
    QPushButton *cmdOpen;
    QPushButton *cmdOpenServer;
    QPushButton *cmdDemo;
    QPushButton *cmdCancel;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void choose(Choice choice, const QString &path = QString());
    // Lists the recent diaries afresh: a gone one may have been taken off.
    void fillRecent();

    Action m_act;
    QLabel *m_intro;
    QLabel *m_recentCaption;
};
