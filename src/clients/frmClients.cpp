#include "frmClients.h"

#include "Controls.h"
#include "deMealwright.h"
#include "Format.h"
#include "frmEditClient.h"
#include "MessageBox.h"
#include "Twips.h"

#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>

#include <algorithm>

namespace {

Connection &database()
{
    return deMealwright::instance().cnMealwright();
}

enum Column { ClientColumn, BudgetColumn, LastMealColumn };

// The layout as designed, in twips: the list is widened for long names, the buttons move with
// its right edge.
constexpr int designWidth = 6135;
constexpr int listWidth = 4560;
constexpr int buttonsLeft = 4800;

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setTextAlignment(alignment);
    return item;
}

// The day of the last meal; a time in a form other than SQLite's usual one is shown as it is.
QString lastMealText(const QString &when)
{
    const QDate day = QDate::fromString(when.left(10), QStringLiteral("yyyy-MM-dd"));
    return day.isValid() ? Format::date(day, u"mmm d, yyyy") : when;
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
    Controls::fixedDialog(this, QStringLiteral("frmClients"), QStringLiteral("Clients"), designWidth, 3240);

    // Made after the dialog has its font, which its headers then take too.
    grdClients = new QTableWidget(0, 3, this);
    grdClients->setObjectName(QStringLiteral("grdClients"));
    grdClients->setGeometry(twipRect(120, 120, listWidth, 3000));
    grdClients->setHorizontalHeaderLabels(
        {QStringLiteral("Client"), QStringLiteral("Calories a day"), QStringLiteral("Last meal")});
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
    // The other columns as wide as their captions, and as "20,000" and "May 30, 2026" at least.
    const QFontMetrics metrics(grdClients->font());
    const std::pair<Column, const char16_t *> widest[] = {{BudgetColumn, u"00,000"}, {LastMealColumn, u"May 30, 2026"}};
    for (const auto &[column, figure] : widest) {
        header->model()->setHeaderData(column, Qt::Horizontal, int(Qt::AlignRight | Qt::AlignVCenter),
                                       Qt::TextAlignmentRole);
        const QString caption = header->model()->headerData(column, Qt::Horizontal).toString();
        header->setSectionResizeMode(column, QHeaderView::Fixed);
        header->resizeSection(column, std::max(metrics.horizontalAdvance(caption),
                                               metrics.horizontalAdvance(QString::fromUtf16(figure)))
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
    Result<std::vector<ClientLastMeal>> clients = Clients(database()).listWithLastMeal();
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
        const ClientLastMeal &client = m_clients[size_t(row)];
        const std::optional<double> budget = client.client.calorieBudget;
        grdClients->setItem(row, ClientColumn, cell(client.client.who));
        grdClients->setItem(row, BudgetColumn, cell(budget ? Format::number(*budget, u"#,##0") : QString(), right));
        grdClients->setItem(row, LastMealColumn, cell(lastMealText(client.lastMeal), right));
        if (!select.isEmpty() && client.client.who == select)
            selectedRow = row;
    }
    fitNames();
    grdClients->clearSelection();
    grdClients->setCurrentCell(-1, -1);
    if (selectedRow >= 0) {
        grdClients->selectRow(selectedRow);
        grdClients->scrollToItem(grdClients->item(selectedRow, ClientColumn));
    }
    grdClients_selectionChanged();
    return true;
}

void frmClients::fitNames()
{
    const QFontMetrics metrics(grdClients->font());
    const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grdClients) + 1);
    const auto nameWidth = [&](int row) {
        return metrics.horizontalAdvance(grdClients->item(row, ClientColumn)->text()) + margins;
    };
    int longest = 0;
    for (int row = 0; row < grdClients->rowCount(); ++row)
        longest = std::max(longest, nameWidth(row));
    // Beside the names: the other columns, the frame and room for the scroll bar.
    const QHeaderView *header = grdClients->horizontalHeader();
    const int beside = header->sectionSize(BudgetColumn) + header->sectionSize(LastMealColumn)
                       + 2 * grdClients->frameWidth()
                       + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grdClients);
    const int designed = twips(listWidth);
    const int room = std::max(0, screen()->availableGeometry().width() - twips(240) - twips(designWidth));
    const int width = std::clamp(longest + beside, designed, designed + room);
    const int wider = width - designed;
    setFixedWidth(twips(designWidth) + wider);
    grdClients->resize(width, grdClients->height());
    for (QPushButton *button : {cmdAdd, cmdChange, cmdDelete, cmdClose})
        button->move(twips(buttonsLeft) + wider, button->y());
    // A name cut to the room there is shows whole in its tooltip: escaped, as a tooltip would
    // otherwise take a name that looks like markup for rich text.
    for (int row = 0; row < grdClients->rowCount(); ++row) {
        QTableWidgetItem *name = grdClients->item(row, ClientColumn);
        const QString whole = QStringLiteral("<p style='white-space:pre'>%1</p>").arg(name->text().toHtmlEscaped());
        name->setToolTip(nameWidth(row) > width - beside ? whole : QString());
    }
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
    Clients clients(database());
    Result<qint64> meals = clients.mealCount(who);
    if (!meals) {
        MessageBox::failure(this, QStringLiteral("The meals of \"%1\" could not be counted.").arg(who), meals.reason());
        return;
    }
    QString changed;
    for (;;) {
        if (!MessageBox::yesNo(this, changed + deleteQuestion(who, *meals)))
            return;
        // The count is taken again with the delete, in one transaction: when another program
        // added or removed meals of theirs meanwhile, nothing is deleted and the question is
        // asked again with the new count.
        const Result<qint64> removed = clients.remove(who, *meals);
        if (!removed) {
            MessageBox::failure(this, QStringLiteral("The client could not be deleted."), removed.reason());
            if (!removed.status().isMissing())
                return;
            break;
        }
        if (*removed == *meals)
            break;
        meals = removed;
        changed = QStringLiteral("Another program has changed the meals of \"%1\" meanwhile.\n\n").arg(who);
    }
    // The client after it stays selected, or the one before it when it was the last.
    const int next = row + 1 < int(m_clients.size()) ? row + 1 : row - 1;
    ReQueryClients(next >= 0 ? m_clients[size_t(next)].client.who : QString());
    Q_EMIT clientRemoved(who);
}
