#include "frmSelectClient.h"

#include "common/MessageBox.h"
#include "common/Twips.h"
#include "data/deMealwright.h"

#include <QListWidget>
#include <QHideEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QSqlError>
#include <QSqlQuery>

frmSelectClient::frmSelectClient(QWidget *parent)
    : QDialog(parent)
    , dblClients(new QListWidget(this))
    , cmdOK(new QPushButton(QStringLiteral("&OK"), this))
    , cmdCancel(new QPushButton(QStringLiteral("&Cancel"), this))
{
    setObjectName(QStringLiteral("frmSelectClient"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Select Client"));
    setFont(designFont());
    setFixedSize(twips(3648), twips(1272));

    dblClients->setObjectName(QStringLiteral("dblClients"));
    dblClients->setGeometry(twips(120), twips(120), twips(2175), twips(1035));
    dblClients->setSelectionMode(QAbstractItemView::SingleSelection);

    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twips(2520), twips(120), twips(972), twips(372));
    cmdOK->setDefault(true);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(twips(2520), twips(780), twips(972), twips(372));

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

    QSqlQuery query(deMealwright::instance().cnMealwright());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT Who, CalorieBudget FROM Clients"))) {
        MessageBox::critical(this, QStringLiteral("The list of clients could not be read.\n\n%1")
                                       .arg(query.lastError().text()));
        return;
    }
    while (query.next()) {
        rsClients.push_back({query.value(0).toString(), query.value(1)});
        dblClients->addItem(rsClients.back().who);
    }
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
    const ClientRow &client = rsClients[static_cast<size_t>(dblClients->row(selected.constFirst()))];
    szClient = client.who;
    // A client without a budget has a budget of 0: every day shows as over it.
    fCalorieBudget = client.calorieBudget.toFloat();
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
