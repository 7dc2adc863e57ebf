#include "MealGridModel.h"

#include "core/Format.h"

const std::vector<MealGridModel::Column> &MealGridModel::columns()
{
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    static const std::vector<Column> designed = {
        {QStringLiteral("ID"), MealField::ID, QStringLiteral("0"), false, left, 1020},
        {QStringLiteral("When"), MealField::When, QStringLiteral("mmm dd hh:mm AM/PM"), true, left, 1308},
        {QStringLiteral("Who"), MealField::Who, QString(), false, left, 1956},
        {QStringLiteral("Description"), MealField::Food, QString(), true, left, 2472},
        {QStringLiteral("Amount"), MealField::Amount, QStringLiteral("#,##0.0"), true, right, 720},
        {QStringLiteral("Units"), MealField::Units, QString(), true, left, 876},
        {QStringLiteral("CaloriesPerUnit"), MealField::CaloriesPerUnit, QString(), false, left, 1188},
        {QStringLiteral("Units"), MealField::FoodUnits, QString(), false, left, 876},
        {QStringLiteral("Calories"), MealField::Calories, QStringLiteral("#,##0"), true, right, 684},
        {QStringLiteral("Vegs"), MealField::Vegetables, QStringLiteral("#,##0.0"), true, right, 528},
        {QStringLiteral("Fruits"), MealField::Fruits, QStringLiteral("#,##0.0"), true, right, 528},
    };
    return designed;
}

int MealGridModel::descriptionColumn()
{
    static const int column = [] {
        const auto &all = columns();
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i].caption == QLatin1String("Description"))
                return static_cast<int>(i);
        return -1;
    }();
    return column;
}

MealGridModel::MealGridModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void MealGridModel::setRows(std::shared_ptr<MealRows> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

bool MealGridModel::sort(const QString &sortText)
{
    if (!m_rows)
        return false;
    const QModelIndexList before = persistentIndexList();
    std::vector<MealRows::Bookmark> bookmarks;
    bookmarks.reserve(static_cast<size_t>(before.size()));
    for (const QModelIndex &index : before)
        bookmarks.push_back(m_rows->bookmarkAt(index.row()));

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const bool sorted = m_rows->sort(sortText);
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after.append(index(m_rows->positionOf(bookmarks[static_cast<size_t>(i)]), before[i].column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    return sorted;
}

int MealGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_rows ? 0 : m_rows->count();
}

int MealGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns().size());
}

QVariant MealGridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) || !m_rows)
        return {};
    const Column &column = columns()[static_cast<size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        return Format::value(mealFieldValue(m_rows->at(index.row()), column.field), column.format);
    case Qt::TextAlignmentRole:
        return static_cast<int>(column.alignment);
    default:
        return {};
    }
}

QVariant MealGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const Column &column = columns()[static_cast<size_t>(section)];
    switch (role) {
    case Qt::DisplayRole:
        return column.caption;
    case Qt::TextAlignmentRole:
        return static_cast<int>(column.alignment);
    default:
        return {};
    }
}
