#include "GridModel.h"

#include "Format.h"
#include "Twips.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>

namespace {

class CurrentRowDelegate : public QStyledItemDelegate
{
public:
    explicit CurrentRowDelegate(QTableView *grid)
        : QStyledItemDelegate(grid)
        , m_grid(grid)
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (index.row() == m_grid->currentIndex().row() && !(option.state & QStyle::State_Selected)) {
            QColor tint = option.palette.color(QPalette::Highlight);
            tint.setAlpha(48);
            painter->fillRect(option.rect, tint);
        }
        QStyledItemDelegate::paint(painter, option, index);
    }

private:
    QTableView *m_grid;
};

} // namespace

GridModel::GridModel(std::vector<Column> columns, QObject *parent)
    : QAbstractTableModel(parent)
    , m_columns(std::move(columns))
{
}

int GridModel::descriptionColumn() const
{
    for (size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].caption == QLatin1String("Description"))
            return static_cast<int>(i);
    return -1;
}

void GridModel::setRows(std::shared_ptr<RowTable> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

bool GridModel::sort(const QString &sortText)
{
    if (!m_rows)
        return false;
    // The views make the persistent indexes they need when told of the change: only then is
    // the list complete.
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<RowTable::Bookmark> bookmarks;
    bookmarks.reserve(static_cast<size_t>(before.size()));
    for (const QModelIndex &index : before)
        bookmarks.push_back(m_rows->bookmarkAt(index.row()));

    const bool sorted = m_rows->sort(sortText);
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after.append(index(m_rows->positionOf(bookmarks[static_cast<size_t>(i)]), before[i].column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    return sorted;
}

void GridModel::sortByColumn(int column)
{
    if (!m_rows || column < 0 || column >= columnCount())
        return;
    const QString ascending = m_columns[static_cast<size_t>(column)].fieldName + QStringLiteral(" ASC");
    sort(m_rows->sortText() == ascending ? m_columns[static_cast<size_t>(column)].fieldName + QStringLiteral(" DESC")
                                         : ascending);
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_rows ? 0 : m_rows->count();
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) || !m_rows)
        return {};
    const Column &column = m_columns[static_cast<size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        return Format::value(m_rows->value(index.row(), column.field), column.format);
    case Qt::TextAlignmentRole:
        return static_cast<int>(column.alignment);
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const Column &column = m_columns[static_cast<size_t>(section)];
    switch (role) {
    case Qt::DisplayRole:
        return column.caption;
    case Qt::TextAlignmentRole:
        return static_cast<int>(column.alignment);
    default:
        return {};
    }
}

void GridModel::setUpView(QTableView *grid, const std::vector<int> &minimumWidths)
{
    const auto *model = qobject_cast<const GridModel *>(grid->model());
    Q_ASSERT(model);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 4);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setSectionsClickable(true);
    // No sort arrow: in the narrow columns it would push the caption out of view.
    grid->horizontalHeader()->setSortIndicatorShown(false);
    const auto &columns = model->columns();
    for (size_t i = 0; i < columns.size(); ++i) {
        const int column = static_cast<int>(i);
        const int minimum = i < minimumWidths.size() ? minimumWidths[i] : 0;
        grid->setColumnWidth(column, qMax(twips(columns[i].widthTwips), minimum));
        grid->setColumnHidden(column, !columns[i].visible);
    }
}

void GridModel::showCurrentRow(QTableView *grid)
{
    grid->setItemDelegate(new CurrentRowDelegate(grid));
    connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, grid->viewport(),
            qOverload<>(&QWidget::update));
}

void GridModel::place(QTableView *grid, const QRect &area)
{
    const auto *model = qobject_cast<const GridModel *>(grid->model());
    const int description = model ? model->descriptionColumn() : -1;
    if (description >= 0) {
        const int widthChange = area.width() - grid->width();
        grid->setColumnWidth(description, qMax(twips(300), grid->columnWidth(description) + widthChange));
    }
    grid->setGeometry(area);
}
