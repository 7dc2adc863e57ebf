#pragma once

#include "core/MealRows.h"

#include <QAbstractTableModel>

#include <memory>
#include <vector>

// The meal grid's designed columns over a meal row list, each shown through its display format.
// Re-ordering the rows keeps every row's selection and persistent indexes with it.
class MealGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    struct Column
    {
        QString caption;
        MealField field;
        QString format; // empty: the value's general form
        bool visible;
        Qt::Alignment alignment;
        int widthTwips;
    };
    static const std::vector<Column> &columns();
    // The column captioned "Description", which takes up all changes of the grid's width.
    static int descriptionColumn();

    explicit MealGridModel(QObject *parent = nullptr);

    // Shows these rows (none: an empty grid).
    void setRows(std::shared_ptr<MealRows> rows);
    // Re-orders the rows by a sort text such as "Calories DESC"; false for an unknown field.
    bool sort(const QString &sortText);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::shared_ptr<MealRows> m_rows;
};
