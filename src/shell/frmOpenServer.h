#pragma once

#include "DatabaseProbe.h"
#include "ServerAddress.h"

#include <QDialog>
#include <QString>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// File > Open Server...: where a diary on a PostgreSQL server is (host, port, database, user
// name), the password, whether the connection must be encrypted and whether the password is to be
// kept in the desktop's key store. OK checks what was typed and has the frame open the diary;
// when it does not open, the dialog says why and stays with everything typed, the focus on the
// field at fault. Cancel changes nothing.
class frmOpenServer : public QDialog
{
    Q_OBJECT

public:
    // Opens the diary at address with password, keeping the password in the key store or taking
    // it out as remember says; gives how the open went.
    using Opener = std::function<OpenResult(const ServerAddress &address, const QString &password, bool remember)>;

    frmOpenServer(QWidget *parent, Opener open);

    // Fills the fields from an address; the way it is encrypted is kept while the box says the
    // same (a "disable" stays "disable" while the box stays clear).
    void setAddress(const ServerAddress &address);
    // A password kept for the address, which then counts as one to remember.
    void setKeptPassword(const QString &password);
    // Why the dialog is shown without being asked for (the server wants a password); empty: none.
    void setReason(const QString &reason);
    // The address the fields give (see check()).
    ServerAddress address() const;

    QLabel *lblReason;
    QLineEdit *txtHost;
    QLineEdit *txtPort;
    QLineEdit *txtDatabase;
    QLineEdit *txtUser;
    QLineEdit *txtPassword;
    QCheckBox *chkEncrypted;
    QCheckBox *chkRemember;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;

private:
    // What was typed can make an address: a host, a database and a port from 1 to 65535 or none.
    // Otherwise says what is missing and moves to it.
    bool check();
    void cmdOK_click();
    // The field to put right after a failure of that kind; none when no field is at fault.
    QWidget *fieldAtFault(OpenFailure failure) const;

    Opener m_open;
    QString m_sslMode; // as the address given had it
    bool m_sslModeEncrypts = true;
};
