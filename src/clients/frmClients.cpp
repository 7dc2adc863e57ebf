#include "frmClients.h"

#include "Controls.h"
#include "deMealwright.h"
#include "Format.h"
#include "frmEditClient.h"
#include "MessageBox.h"
#include "Twips.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

namespace {

Connection &database()
{
    return deMealwright::instance().cnMealwright();
}

enum Column { ClientColumn, BudgetColumn, MealsColumn };

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setTextAlignment(alignment);
    return item;
}

QString deleteQuestion(const QString &who, qint64 meals)
{
    if (meals == 0)
        return QStringLiteral("Are you sure you want to delete the client \"%1\"?").arg(who);
    if (meals == 1)
        return QStringLiteral("\"%1\" has 1 meal. Delete the client and their meal?").arg(who);
    return QStringLiteral("\"%1\" has %2 meals. Delete the client and all of their meals?")
        .arg(who, Format::number(meals, u"#,##0"));
}

} // namespace

frmClients::frmClients(QWidget *parent)
    : FormDialog(parent)
    , grdClients(nullptr)
    , cmdAdd(
          Controls::button(this, QStringLiteral("cmdAdd"), QStringLiteral("&Add..."), twipRect(4800, 120, 1215, 372)))
    , cmdChange(Controls::button(this, QStringLiteral("cmdChange"), QStringLiteral("&Change..."),
                                 twipRect(4800, 570, 1215, 372)))
    , cmdDelete(Controls::button(this, QStringLiteral("cmdDelete"), QStringLiteral("&Delete..."),
                                 twipRect(4800, 1020, 1215, 372)))
    , cmdClose(
          Controls::button(this, QStringLiteral("cmdClose"), QStringLiteral("Close"), twipRect(4800, 2748, 1215, 372)))
{
    Controls::fixedDialog(this, QStringLiteral("frmClients"), QStringLiteral("Clients"), 6135, 3240);

    // Made after the dialog has its font, which its headers then take too.
    grdClients = new QTableWidget(0, 3, this);
    grdClients->setObjectName(QStringLiteral("grdClients"));
    grdClients->setGeometry(twipRect(120, 120, 4560, 3000));
    grdClients->setHorizontalHeaderLabels(
        {QStringLiteral("Client"), QStringLiteral("Calories a day"), QStringLiteral("Meals")});
    grdClients->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdClients->setSelectionMode(QAbstractItemView::SingleSelection);
    grdClients->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdClients->setWordWrap(false);
    grdClients->setShowGrid(false);
    grdClients->verticalHeader()->hide();
    grdClients->verticalHeader()->setDefaultSectionSize(grdClients->fontMetrics().height() + 4);
    QHeaderView *header = grdClients->horizontalHeader();
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
    header->setSectionResizeMode(ClientColumn, QHeaderView::Stretch);
    header->model()->setHeaderData(ClientColumn, Qt::Horizontal, int(Qt::AlignLeft | Qt::AlignVCenter),
                                   Qt::TextAlignmentRole);
    // The figures' columns as wide as their captions, and as "20,000 meals" at least.
    const QFontMetrics metrics(grdClients->font());
    for (const int column : {BudgetColumn, MealsColumn}) {
        header->model()->setHeaderData(column, Qt::Horizontal, int(Qt::AlignRight | Qt::AlignVCenter),
                                       Qt::TextAlignmentRole);
        const QString caption = header->model()->headerData(column, Qt::Horizontal).toString();
        header->setSectionResizeMode(column, QHeaderView::Fixed);
        header->resizeSection(
            column,
            std::max(metrics.horizontalAdvance(caption), metrics.horizontalAdvance(QStringLiteral("00,000")))
                + twips(240));
    }

    // Enter, like a double-click, changes the selected client.
    cmdChange->setDefault(true);
    Controls::setTabOrder({grdClients, cmdAdd, cmdChange, cmdDelete, cmdClose});

    connect(grdClients, &QTableWidget::itemSelectionChanged, this, &frmClients::grdClients_selectionChanged);
    connect(grdClients, &QTableWidget::cellDoubleClicked, this, [this] { editClient(selectedClient()); });
    connect(cmdAdd, &QPushButton::clicked, this, [this] { editClient(QString()); });
    connect(cmdChange, &QPushButton::clicked, this, [this] { editClient(selectedClient()); });
    connect(cmdDelete, &QPushButton::clicked, this, &frmClients::cmdDelete_click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
}

bool frmClients::Form_Load()
{
    const bool read = ReQueryClients(QString());
    grdClients->setFocus();
    return read;
}

bool frmClients::ReQueryClients(const QString &select)
{
    Result<std::vector<ClientMeals>> clients = Clients(database()).listWithMeals();
    if (!clients) {
        MessageBox::failure(this, QStringLiteral("The list of clients could not be read."), clients.reason());
        return false;
    }
    m_clients = std::move(*clients);
    const QSignalBlocker quiet(grdClients);
    grdClients->clearContents();
    grdClients->setRowCount(int(m_clients.size()));
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    int selectedRow = -1;
    for (int row = 0; row < int(m_clients.size()); ++row) {
        const ClientMeals &client = m_clients[size_t(row)];
        const std::optional<double> budget = client.client.calorieBudget;
        grdClients->setItem(row, ClientColumn, cell(client.client.who));
        grdClients->setItem(row, BudgetColumn, cell(budget ? Format::number(*budget, u"#,##0") : QString(), right));
        grdClients->setItem(row, MealsColumn, cell(Format::number(client.meals, u"#,##0"), right));
        if (!select.isEmpty() && client.client.who == select)
            selectedRow = row;
    }
    grdClients->clearSelection();
    grdClients->setCurrentCell(-1, -1);
    if (selectedRow >= 0) {
        grdClients->selectRow(selectedRow);
        grdClients->scrollToItem(grdClients->item(selectedRow, ClientColumn));
    }
    grdClients_selectionChanged();
    return true;
}

QString frmClients::selectedClient() const
{
    const int row = selectedRow();
    return row < 0 ? QString() : m_clients[size_t(row)].client.who;
}

int frmClients::selectedRow() const
{
    const QList<QTableWidgetItem *> selected = grdClients->selectedItems();
    return selected.isEmpty() ? -1 : selected.first()->row();
}

void frmClients::grdClients_selectionChanged()
{
    const bool any = !selectedClient().isEmpty();
    cmdChange->setEnabled(any);
    cmdDelete->setEnabled(any);
}

void frmClients::editClient(const QString &who)
{
    const QString selected = selectedClient();
    frmEditClient editor(this);
    editor.szClient = who;
    const bool saved = editor.exec() == Accepted;
    // Read again also after Cancel: the editor may have found the client gone.
    ReQueryClients(saved ? editor.szClient : selected);
    if (saved)
        Q_EMIT clientChanged(who, editor.szClient, editor.calorieBudget);
}

void frmClients::cmdDelete_click()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const QString who = m_clients[size_t(row)].client.who;
    const Result<qint64> meals = Clients(database()).mealCount(who);
    if (!meals) {
        MessageBox::failure(this, QStringLiteral("The meals of \"%1\" could not be counted.").arg(who), meals.reason());
        return;
    }
    if (!MessageBox::yesNo(this, deleteQuestion(who, *meals)))
        return;
    const Status removed = Clients(database()).remove(who);
    if (!removed) {
        MessageBox::failure(this, QStringLiteral("The client could not be deleted."), removed.reason());
        if (!removed.isMissing())
            return;
    }
    // The client after it stays selected, or the one before it when it was the last.
    const int next = row + 1 < int(m_clients.size()) ? row + 1 : row - 1;
    ReQueryClients(next >= 0 ? m_clients[size_t(next)].client.who : QString());
    Q_EMIT clientRemoved(who);
}
