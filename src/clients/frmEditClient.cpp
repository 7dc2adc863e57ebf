#include "frmEditClient.h"

#include "Controls.h"
#include "deMealwright.h"
#include "MessageBox.h"
#include "Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using EntryChecks::ClientField;

namespace {

Connection &database()
{
    return deMealwright::instance().cnMealwright();
}

} // namespace

frmEditClient::frmEditClient(QWidget *parent)
    : FormDialog(parent)
    , lblName(Controls::label(this, QStringLiteral("lblName"), QStringLiteral("&Name"), twipRect(120, 144, 1236, 240)))
    , txtName(Controls::lineEdit(this, QStringLiteral("txtName"), twipRect(1380, 120, 3120, 288)))
    , lblBudget(Controls::label(this, QStringLiteral("lblBudget"), QStringLiteral("Calories a &day"),
                                twipRect(120, 564, 1236, 240)))
    , txtBudget(Controls::lineEdit(this, QStringLiteral("txtBudget"), twipRect(1380, 540, 972, 288)))
    , cmdOK(Controls::button(this, QStringLiteral("cmdOK"), QStringLiteral("OK"), twipRect(4740, 120, 972, 372)))
    , cmdCancel(
          Controls::button(this, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), twipRect(4740, 600, 972, 372)))
{
    Controls::fixedDialog(this, QStringLiteral("frmEditClient"), QStringLiteral("Add Client"), 5832, 1092);
    lblName->setBuddy(txtName);
    lblBudget->setBuddy(txtBudget);
    cmdOK->setDefault(true);

    Controls::setTabOrder({txtName, txtBudget, cmdOK, cmdCancel});

    connect(cmdOK, &QPushButton::clicked, this, &frmEditClient::cmdOK_click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool frmEditClient::Form_Load()
{
    m_stored.reset();
    m_read.reset();
    txtName->clear();
    txtBudget->clear();
    if (szClient.isEmpty()) {
        setWindowTitle(QStringLiteral("Add Client"));
    } else {
        const Result<std::optional<Client>> client = Clients(database()).find(szClient);
        if (!client) {
            MessageBox::failure(this, QStringLiteral("The client could not be read."), client.reason());
            return false;
        }
        if (!client.value()) {
            MessageBox::critical(this,
                                 QStringLiteral("The client \"%1\" could not be found. It may have been "
                                                "deleted already.")
                                     .arg(szClient));
            return false;
        }
        m_stored = *client.value();
        m_read = m_stored;
        setWindowTitle(QStringLiteral("Change Client"));
        showClient(*m_stored);
    }
    Controls::focusField(txtName);
    return true;
}

std::optional<EntryChecks::ClientEntry> frmEditClient::ValidateClient()
{
    // The names as they are now, not as they were when the dialog opened.
    const Result<QStringList> names = Clients(database()).names();
    if (!names) {
        MessageBox::failure(this, QStringLiteral("The list of clients could not be read."), names.reason());
        return std::nullopt;
    }
    QStringList others = *names;
    if (m_stored)
        others.removeAll(m_stored->who);
    const auto checked = EntryChecks::checkClient({txtName->text(), txtBudget->text()}, others);
    if (const auto *fault = std::get_if<EntryChecks::Fault<ClientField>>(&checked)) {
        MessageBox::exclamation(this, fault->message);
        Controls::focusField(fault->field == ClientField::Name ? txtName : txtBudget);
        return std::nullopt;
    }
    return std::get<EntryChecks::ClientEntry>(checked);
}

void frmEditClient::showClient(const Client &client)
{
    txtName->setText(client.who);
    txtBudget->setText(client.calorieBudget ? EntryChecks::budgetText(*client.calorieBudget) : QString());
}

void frmEditClient::offerReload()
{
    const Result<std::optional<Client>> now = Clients(database()).find(m_read->who);
    if (!now || !now.value()) {
        MessageBox::failure(this, QStringLiteral("The client could not be saved."),
                            now ? QStringLiteral("Another user or program renamed or deleted the client after it "
                                                 "was opened here.")
                                : now.reason());
        if (now)
            reject(); // nothing to save it over
        return;
    }
    if (MessageBox::showChangedAsItIsNow(this, QStringLiteral("client"))) {
        m_stored = *now.value();
        showClient(*m_stored);
        Controls::focusField(txtName);
    }
    m_read = *now.value();
}

void frmEditClient::cmdOK_click()
{
    const std::optional<EntryChecks::ClientEntry> entry = ValidateClient();
    if (!entry)
        return;
    const Client client{entry->name, entry->calorieBudget};
    Clients clients(database());
    const Status saved = m_stored ? clients.change(*m_read, client) : clients.add(client);
    if (saved.isChanged()) {
        offerReload();
        return;
    }
    if (!saved) {
        MessageBox::failure(this, QStringLiteral("The client could not be saved."), saved.reason());
        // A client deleted meanwhile cannot be changed: the dialog ends as Cancel does.
        if (saved.isMissing())
            reject();
        return;
    }
    szClient = entry->name;
    calorieBudget = entry->calorieBudget;
    accept();
}
