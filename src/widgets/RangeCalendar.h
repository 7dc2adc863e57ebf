#pragma once

#include <QCalendarWidget>
#include <QDate>

class QKeyEvent;
class QModelIndex;
class QMouseEvent;
class QTableView;

// A small month calendar (no week numbers, one letter a weekday) that selects either one date or
// a range of up to 365 days.
//
// Single-date mode (the default) is plain QCalendarWidget; the range is the selected date.
//
// Range mode:
//  - a click selects a one-day range on that date, which becomes the anchor;
//  - Shift+click extends the range from the anchor to the clicked date, in either direction;
//  - pressing on a date and dragging widens the range from the pressed date as the mouse moves;
//  - the arrow keys (and Home/End) move the cursor and select a one-day range there; with Shift
//    they extend the range from the anchor to the cursor's new date;
//  - Page Up/Page Down and the month arrows only change the month shown, never the range;
//  - a range never holds more than maxRangeDays days, both ends counted: an extension further
//    from the anchor stops at maxRangeDays days from it, in the direction of the extension.
//
// In range mode selectedDate() is the anchor: the date the range grows from (the clicked date, the
// pressed date of a drag, the first argument of setRange()). The keyboard cursor is the other end,
// the date the user extended to last. A mouse selection never changes the month shown, even on a
// date of the previous or next month; a keyboard move shows the cursor's month.
// setSelectedDate(d) with d not the anchor selects the one-day range d, as a click would.
// In range mode the mouse does not emit clicked(); a double click still emits activated().
// In either mode a key with Alt never opens the base class's date editor: it goes on to the
// calendar's parents, whose access keys it is.
class RangeCalendar : public QCalendarWidget
{
    Q_OBJECT

public:
    explicit RangeCalendar(QWidget *parent = nullptr);

    static constexpr int maxRangeDays = 365;

    // Off: single-date mode. Switching either way leaves a one-day range on selectedDate().
    void setRangeMode(bool on);
    bool rangeMode() const;

    // First and last date of the range, both included; selectedDate() in single-date mode.
    QDate rangeStart() const;
    QDate rangeEnd() const;

    // Range mode: selects start..end. start is the anchor and becomes selectedDate(), whose month
    // is shown; end may lie before it (the range then runs end..start). If the range would hold
    // more than maxRangeDays days, end moves towards start until it holds exactly that many.
    // Both dates are kept within minimumDate()..maximumDate(). In single-date mode this selects
    // start. An invalid date is ignored.
    void setRange(QDate start, QDate end);

Q_SIGNALS:
    // The range changed, by the user or by code: its new first and last date (equal for one day).
    void rangeChanged(QDate start, QDate end);

protected:
    void paintCell(QPainter *painter, const QRect &rect, QDate date) const override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Page { Keep, ShowAnchor, ShowCursor };

    // Makes anchor..active the range, keeps the base class's selection on the anchor, puts the
    // keyboard cursor on active, repaints and emits rangeChanged when the range changed.
    void select(QDate anchor, QDate active, Page page);
    // active, moved towards anchor until anchor..active holds at most maxRangeDays days.
    static QDate clampedFrom(QDate anchor, QDate active);
    QDate bounded(QDate date) const;
    void onSelectionChanged();

    bool mouseEvent(QMouseEvent *event);
    bool keyEvent(QKeyEvent *event);

    // Between the grid's cells and dates. The grid shows six weeks, starting in the week before
    // the first of the month shown; a heading row and a week-number column may precede them.
    QDate firstShownDate() const;
    QDate dateAt(const QModelIndex &index) const;
    QModelIndex indexOf(QDate date) const;
    QDate cursorDate() const;

    QTableView *m_view = nullptr;
    bool m_rangeMode = false;
    bool m_dragging = false;
    QDate m_anchor;
    QDate m_active;
};
