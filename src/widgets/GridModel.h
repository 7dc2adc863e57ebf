#pragma once

#include "RowTable.h"

#include <QAbstractTableModel>

#include <memory>
#include <vector>

class QRect;
class QTableView;

// A read-only grid's designed columns over a row list, each shown through its display format.
// Re-ordering the rows keeps every row's selection and persistent indexes with it.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    struct Column
    {
        QString caption;
        int field;      // in the row list's own numbering
        QString fieldName;
        QString format; // empty: the value's general form
        bool visible;
        Qt::Alignment alignment;
        int widthTwips;
    };

    // A designed column: its caption, the field of the row list it shows (named by the list's
    // fieldName()), the display format ("" for the value's general form), whether it is shown,
    // whether it is right-aligned, and its width in twips.
    template <typename Field>
    static Column column(const char *caption, Field field, const char *format, bool visible, bool rightAligned,
                         int widthTwips)
    {
        return {QString::fromLatin1(caption), static_cast<int>(field), fieldName(field), QString::fromLatin1(format),
                visible, (rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, widthTwips};
    }

    GridModel(std::vector<Column> columns, QObject *parent);

    const std::vector<Column> &columns() const { return m_columns; }
    // The column captioned "Description", which takes up all changes of the grid's width.
    int descriptionColumn() const;

    // Shows these rows (none: an empty grid).
    void setRows(std::shared_ptr<RowTable> rows);
    // Re-orders the rows by a sort text such as "Calories DESC"; false for an unknown field or
    // while there are no rows.
    bool sort(const QString &sortText);
    // A click on a column's header: ascending by its field, or descending when the rows are
    // ascending by it already.
    void sortByColumn(int column);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Sets a grid view up for a model: whole rows are selected, nothing is edited in place, the
    // designed column widths (at least minimumWidths where given) and hidden columns, and the
    // headers click to sort without a sort arrow.
    static void setUpView(QTableView *grid, const std::vector<int> &minimumWidths = {});
    // Tints the grid's current row, so that it shows where a search moved to while the selection
    // stays elsewhere.
    static void showCurrentRow(QTableView *grid);
    // Places a grid on area; its "Description" column takes up the change of width.
    static void place(QTableView *grid, const QRect &area);

private:
    std::vector<Column> m_columns;
    std::shared_ptr<RowTable> m_rows;
};
