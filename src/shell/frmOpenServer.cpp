#include "frmOpenServer.h"

#include "Controls.h"
#include "MessageBox.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString encrypted = QStringLiteral("require");
const QString unencryptedIfNeeded = QStringLiteral("prefer");

QLineEdit *field(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

} // namespace

frmOpenServer::frmOpenServer(QWidget *parent, Opener open)
    : QDialog(parent)
    , lblReason(new QLabel(this))
    , txtHost(field(this, "txtHost"))
    , txtPort(field(this, "txtPort"))
    , txtDatabase(field(this, "txtDatabase"))
    , txtUser(field(this, "txtUser"))
    , txtPassword(field(this, "txtPassword"))
    , chkEncrypted(new QCheckBox(QStringLiteral("Require an &encrypted connection"), this))
    , chkRemember(new QCheckBox(QStringLiteral("Re&member the password in the desktop's key store"), this))
    , m_open(std::move(open))
{
    setObjectName(QStringLiteral("frmOpenServer"));
    setWindowTitle(QStringLiteral("Open a Diary on a Server"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    lblReason->setObjectName(QStringLiteral("lblReason"));
    lblReason->setTextFormat(Qt::PlainText); // the server's words are shown as they are
    lblReason->setWordWrap(true);
    lblReason->setContentsMargins(0, 0, 0, 8);
    lblReason->hide();
    txtPort->setPlaceholderText(QString::number(ServerAddress::standardPort));
    txtPassword->setEchoMode(QLineEdit::Password);
    chkEncrypted->setObjectName(QStringLiteral("chkEncrypted"));
    chkEncrypted->setChecked(true);
    chkRemember->setObjectName(QStringLiteral("chkRemember"));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Host:"), txtHost);
    form->addRow(QStringLiteral("&Port:"), txtPort);
    form->addRow(QStringLiteral("&Database:"), txtDatabase);
    form->addRow(QStringLiteral("&User name:"), txtUser);
    form->addRow(QStringLiteral("Pass&word:"), txtPassword);
    form->addRow(chkEncrypted);
    form->addRow(chkRemember);
    auto *buttons = new QDialogButtonBox(this);
    cmdOK = buttons->addButton(QDialogButtonBox::Ok);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = buttons->addButton(QDialogButtonBox::Cancel);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblReason);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(440);

    connect(cmdOK, &QPushButton::clicked, this, &frmOpenServer::cmdOK_click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    cmdOK->setDefault(true);
    txtHost->setFocus();
}

void frmOpenServer::setAddress(const ServerAddress &address)
{
    txtHost->setText(address.host);
    txtPort->setText(address.port == 0 ? QString() : QString::number(address.port));
    txtDatabase->setText(address.database);
    txtUser->setText(address.user);
    chkEncrypted->setChecked(address.requiresEncryption());
    m_sslMode = address.sslMode;
    m_sslModeEncrypts = address.requiresEncryption();
    txtPassword->setFocus();
}

void frmOpenServer::setKeptPassword(const QString &password)
{
    txtPassword->setText(password);
    chkRemember->setChecked(!password.isEmpty());
}

void frmOpenServer::setReason(const QString &reason)
{
    lblReason->setText(reason);
    lblReason->setVisible(!reason.isEmpty());
}

ServerAddress frmOpenServer::address() const
{
    ServerAddress address;
    address.host = txtHost->text().trimmed();
    address.port = txtPort->text().trimmed().toInt();
    address.database = txtDatabase->text();
    address.user = txtUser->text();
    address.sslMode = chkEncrypted->isChecked() ? encrypted : unencryptedIfNeeded;
    if (!m_sslMode.isEmpty() && m_sslModeEncrypts == chkEncrypted->isChecked())
        address.sslMode = m_sslMode;
    return address;
}

bool frmOpenServer::check()
{
    const QString port = txtPort->text().trimmed();
    bool number = false;
    const int portNumber = port.toInt(&number);
    QLineEdit *fault = txtHost->text().trimmed().isEmpty() ? txtHost
                       : !port.isEmpty() && (!number || portNumber < 1 || portNumber > 65535) ? txtPort
                       : txtDatabase->text().isEmpty()                                         ? txtDatabase
                                                                                                : nullptr;
    if (!fault)
        return true;
    MessageBox::exclamation(this, fault == txtHost   ? QStringLiteral("Type the name or address of the server's computer.")
                                  : fault == txtPort ? QStringLiteral("The port must be a number from 1 to 65535, or empty "
                                                                      "for the standard port, %1.")
                                                           .arg(ServerAddress::standardPort)
                                                     : QStringLiteral("Type the name of the diary's database on the server."));
    Controls::focusField(fault);
    return false;
}

void frmOpenServer::cmdOK_click()
{
    if (!check())
        return;
    const ServerAddress where = address();
    const OpenResult opened = m_open(where, txtPassword->text(), chkRemember->isChecked());
    if (opened.ok()) {
        accept();
        return;
    }
    MessageBox::failure(this, QStringLiteral("Mealwright could not open the database\n%1").arg(where.uri()), opened.reason());
    if (lblReason->isVisible())
        setReason(opened.reason()); // what stands above the fields is the latest reason
    if (QWidget *fault = fieldAtFault(opened.failure))
        Controls::focusField(fault);
}

QWidget *frmOpenServer::fieldAtFault(OpenFailure failure) const
{
    switch (failure) {
    case OpenFailure::PasswordNeeded:
    case OpenFailure::WrongPassword:
        return txtPassword;
    case OpenFailure::NoSuchDatabase:
    case OpenFailure::NotADiary:
        return txtDatabase;
    case OpenFailure::Unreachable:
        return txtHost;
    case OpenFailure::NotAllowed:
    case OpenFailure::ReadOnlyUser:
        return txtUser;
    case OpenFailure::NoEncryption:
        return chkEncrypted;
    default:
        return nullptr;
    }
}
