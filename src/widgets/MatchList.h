#pragma once

#include "FoodMatch.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

class QComboBox;
class QKeyEvent;
class QListView;
class QModelIndex;
class QStringListModel;

// The list of matching names that drops down under a food box as the user types (see FoodMatch
// for which names match and in which order).
//
// Down and Up move the highlight in the list, Enter, Tab or a click takes the highlighted name
// into the box (as picking it from the box's own list does), Esc closes the list. Nothing else
// changes the box: moving the highlight leaves the typed text as it is, and Enter or Tab with
// nothing highlighted close the list and then do what they always do (the dialog's default
// button, the next control). While the list is closed the box works as it did without it, its
// own list included. Only typing opens the list; text set by the program does not, and closes it.
class MatchList : public QObject
{
    Q_OBJECT

public:
    // Attached to an editable combo box, whose child the list becomes.
    explicit MatchList(QComboBox *box);

    // The names to find among, and how often the client ate each lately (see FoodMatch).
    void setNames(const QStringList &names);
    void setRecent(const std::vector<std::pair<QString, qint64>> &mealsPerFood);

    // The names listed, top to bottom, and the row highlighted (-1 for none).
    QStringList shown() const;
    int highlighted() const;
    bool isOpen() const;
    QListView *view() const { return m_view; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void typed(const QString &text);
    void open();
    void close();
    void move(int rows);
    void take(const QModelIndex &index);
    bool boxKey(QKeyEvent *key);

    QComboBox *m_box;
    QListView *m_view;
    QStringListModel *m_model;
    FoodMatch m_match;
    QString m_typed; // the text the list shows the matches of
};
