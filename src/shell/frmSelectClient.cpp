#include "frmSelectClient.h"

#include "Clients.h"
#include "Controls.h"
#include "deMealwright.h"
#include "MessageBox.h"
#include "Twips.h"

#include <QListWidget>
#include <QHideEvent>
#include <QPushButton>
#include <QShowEvent>

frmSelectClient::frmSelectClient(QWidget *parent)
    : QDialog(parent)
    , dblClients(new QListWidget(this))
    , cmdOK(new QPushButton(QStringLiteral("&OK"), this))
    , cmdCancel(new QPushButton(QStringLiteral("&Cancel"), this))
{
    Controls::fixedDialog(this, QStringLiteral("frmSelectClient"), QStringLiteral("Select Client"), 3648, 1272);

    dblClients->setObjectName(QStringLiteral("dblClients"));
    dblClients->setGeometry(twipRect(120, 120, 2175, 1035));
    dblClients->setSelectionMode(QAbstractItemView::SingleSelection);

    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twipRect(2520, 120, 972, 372));
    cmdOK->setDefault(true);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(twipRect(2520, 780, 972, 372));

    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, dblClients);

    connect(dblClients, &QListWidget::itemSelectionChanged, this, &frmSelectClient::dblClients_selectionChanged);
    // A double-click on a name picks it at once; one on the empty part of the list does nothing.
    connect(dblClients, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSelectClient::reject);
}

void frmSelectClient::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        Form_Load();
    QDialog::showEvent(event);
}

void frmSelectClient::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous()) {
        rsClients.clear();
        dblClients->clear();
    }
    QDialog::hideEvent(event);
}

void frmSelectClient::Form_Load()
{
    rsClients.clear();
    dblClients->clear();
    cmdOK->setEnabled(false);

    Result<std::vector<Client>> clients = Clients(deMealwright::instance().cnMealwright()).list();
    if (!clients) {
        MessageBox::failure(this, QStringLiteral("The list of clients could not be read."), clients.reason());
        return;
    }
    rsClients = std::move(*clients);
    for (const Client &client : rsClients)
        dblClients->addItem(client.who);
    dblClients->setCurrentRow(-1);
    dblClients->clearSelection();
    cmdCancel->setFocus();
}

void frmSelectClient::dblClients_selectionChanged()
{
    const QList<QListWidgetItem *> selected = dblClients->selectedItems();
    if (selected.isEmpty()) {
        cmdOK->setEnabled(false);
        return;
    }
    const Client &client = rsClients[static_cast<size_t>(dblClients->row(selected.constFirst()))];
    szClient = client.who;
    // A client without a budget has a budget of 0: every day shows as over it.
    fCalorieBudget = static_cast<float>(client.calorieBudget.value_or(0));
    fFVbudget = fruitAndVegetableBudget;
    cmdOK->setEnabled(true);
}

void frmSelectClient::reject()
{
    szClient.clear();
    fCalorieBudget = 0;
    fFVbudget = 0;
    QDialog::reject();
}
