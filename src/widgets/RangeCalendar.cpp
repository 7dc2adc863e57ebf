#include "RangeCalendar.h"

#include "Clock.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyleOptionFocusRect>
#include <QTableView>
#include <QTextCharFormat>

#include <algorithm>

namespace {

constexpr int weeksShown = 6;
constexpr int daysPerWeek = 7;

// Days of the previous or next month are painted in a lighter band, as the calendar greys them.
QColor lighter(const QColor &band, const QColor &base)
{
    constexpr float weight = 0.65f; // of the band
    const auto mix = [](float a, float b) { return a * weight + b * (1 - weight); };
    return QColor::fromRgbF(mix(band.redF(), base.redF()), mix(band.greenF(), base.greenF()),
                            mix(band.blueF(), base.blueF()));
}

} // namespace

RangeCalendar::RangeCalendar(QWidget *parent)
    : QCalendarWidget(parent)
    , m_view(findChild<QTableView *>())
{
    Q_ASSERT(m_view); // QCalendarWidget lays its days out in a table view
    // A small month: no week numbers, one letter a weekday.
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    setSelectedDate(Clock::today());
    m_anchor = m_active = selectedDate();

    // Mouse events reach the view's viewport; key events reach the view, which has the focus.
    m_view->installEventFilter(this);
    m_view->viewport()->installEventFilter(this);
    connect(this, &QCalendarWidget::selectionChanged, this, &RangeCalendar::onSelectionChanged);
}

void RangeCalendar::setRangeMode(bool on)
{
    if (on == m_rangeMode)
        return;
    m_rangeMode = on;
    m_dragging = false;
    const QDate date = selectedDate();
    select(date, date, Page::Keep);
}

bool RangeCalendar::rangeMode() const
{
    return m_rangeMode;
}

QDate RangeCalendar::rangeStart() const
{
    return std::min(m_anchor, m_active);
}

QDate RangeCalendar::rangeEnd() const
{
    return std::max(m_anchor, m_active);
}

void RangeCalendar::setRange(QDate start, QDate end)
{
    if (!start.isValid() || !end.isValid())
        return;
    if (!m_rangeMode) {
        setSelectedDate(start);
        return;
    }
    m_dragging = false;
    start = bounded(start);
    select(start, clampedFrom(start, bounded(end)), Page::ShowAnchor);
}

void RangeCalendar::select(QDate anchor, QDate active, Page page)
{
    const QDate oldStart = rangeStart();
    const QDate oldEnd = rangeEnd();
    m_anchor = anchor;
    m_active = active;

    const int year = yearShown();
    const int month = monthShown();
    const QDate selected = selectedDate();
    {
        // setSelectedDate() also turns to the anchor's month; the base class's own signals wait
        // until the page is settled, so that they report the final state only once.
        const QSignalBlocker blocker(this);
        setSelectedDate(anchor);
        const QCalendar cal = calendar();
        const QDate shown = page == Page::ShowAnchor ? anchor : active;
        if (page == Page::Keep)
            setCurrentPage(year, month);
        else
            setCurrentPage(shown.year(cal), shown.month(cal));
        const QModelIndex cursor = indexOf(active);
        if (cursor.isValid())
            m_view->selectionModel()->setCurrentIndex(cursor, QItemSelectionModel::NoUpdate);
    }
    if (selectedDate() != selected)
        Q_EMIT selectionChanged();
    if (yearShown() != year || monthShown() != month)
        Q_EMIT currentPageChanged(yearShown(), monthShown());

    updateCells();
    if (rangeStart() != oldStart || rangeEnd() != oldEnd)
        Q_EMIT rangeChanged(rangeStart(), rangeEnd());
}

QDate RangeCalendar::clampedFrom(QDate anchor, QDate active)
{
    constexpr qint64 reach = maxRangeDays - 1; // days from the anchor to the far end
    const qint64 days = anchor.daysTo(active);
    if (days > reach)
        return anchor.addDays(reach);
    if (days < -reach)
        return anchor.addDays(-reach);
    return active;
}

QDate RangeCalendar::bounded(QDate date) const
{
    return std::clamp(date, minimumDate(), maximumDate());
}

// The selected date changed through the base class: the keyboard's date editor, a change of the
// minimum or maximum date, or setSelectedDate() from outside. It becomes a one-day range.
void RangeCalendar::onSelectionChanged()
{
    const QDate date = selectedDate();
    if (date == m_anchor)
        return;
    const QDate oldStart = rangeStart();
    const QDate oldEnd = rangeEnd();
    m_anchor = m_active = date;
    if (m_rangeMode)
        updateCells();
    if (rangeStart() != oldStart || rangeEnd() != oldEnd)
        Q_EMIT rangeChanged(rangeStart(), rangeEnd());
}

void RangeCalendar::paintCell(QPainter *painter, const QRect &rect, QDate date) const
{
    if (!m_rangeMode || date < rangeStart() || date > rangeEnd()) {
        QCalendarWidget::paintCell(painter, rect, date);
        return;
    }

    // Every day of the range in one colour, edge to edge, so that the range reads as one band.
    const QCalendar cal = calendar();
    const bool inMonth = date.year(cal) == yearShown() && date.month(cal) == monthShown();
    const QPalette::ColorGroup group = !isEnabled()      ? QPalette::Disabled
                                       : isActiveWindow() ? QPalette::Active
                                                          : QPalette::Inactive;
    QColor band = palette().color(group, QPalette::Highlight);
    if (!inMonth)
        band = lighter(band, palette().color(group, QPalette::Base));

    painter->save();
    painter->fillRect(rect, band);
    painter->setFont(dateTextFormat(date).font().resolve(m_view->font()));
    painter->setPen(palette().color(group, QPalette::HighlightedText));
    painter->drawText(rect, Qt::AlignCenter, locale().toString(date.day(cal)));
    if (m_view->hasFocus() && date == cursorDate()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(m_view);
        focus.rect = rect;
        focus.backgroundColor = band;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, m_view);
    }
    painter->restore();
}

bool RangeCalendar::eventFilter(QObject *watched, QEvent *event)
{
    // A key with Alt is an access key of the window, never a date typed: the date editor the base
    // class opens for typed text does not take it, and it goes on to the calendar's parents.
    if (watched == m_view && event->type() == QEvent::KeyPress
        && (static_cast<QKeyEvent *>(event)->modifiers() & Qt::AltModifier)) {
        event->ignore();
        return true;
    }
    // With no selection allowed the view is read-only, and the base class already ignores input.
    if (m_rangeMode && selectionMode() != NoSelection) {
        if (watched == m_view->viewport()) {
            switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseMove:
            case QEvent::MouseButtonRelease:
                return mouseEvent(static_cast<QMouseEvent *>(event));
            default:
                break;
            }
        } else if (watched == m_view && event->type() == QEvent::KeyPress) {
            return keyEvent(static_cast<QKeyEvent *>(event));
        }
    }
    return QCalendarWidget::eventFilter(watched, event);
}

// Returns true for the events the base class must not see: its own click handling selects a
// single date and turns to that date's month.
bool RangeCalendar::mouseEvent(QMouseEvent *event)
{
    const auto dateUnderMouse = [&] {
        const QDate date = dateAt(m_view->indexAt(event->position().toPoint()));
        return date.isValid() && date >= minimumDate() && date <= maximumDate() ? date : QDate();
    };

    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        if (event->button() != Qt::LeftButton)
            return false;
        const QDate date = dateUnderMouse();
        m_dragging = date.isValid();
        if (date.isValid()) {
            if (event->modifiers() & Qt::ShiftModifier)
                select(m_anchor, clampedFrom(m_anchor, date), Page::Keep);
            else
                select(date, date, Page::Keep);
        }
        // The base class turns a double click on the selected date into activated().
        return event->type() == QEvent::MouseButtonPress;
    }
    case QEvent::MouseMove: {
        if (!m_dragging)
            return false;
        if (!(event->buttons() & Qt::LeftButton)) {
            m_dragging = false; // the release went elsewhere
            return false;
        }
        const QDate date = dateUnderMouse();
        if (date.isValid())
            select(m_anchor, clampedFrom(m_anchor, date), Page::Keep);
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (event->button() != Qt::LeftButton)
            return false;
        m_dragging = false;
        return true;
    default:
        return false;
    }
}

// Arrow keys, Home and End move the cursor from its date; Page Up and Page Down only turn pages.
bool RangeCalendar::keyEvent(QKeyEvent *event)
{
    const QCalendar cal = calendar();
    const QDate from = cursorDate().isValid() ? cursorDate() : m_active;
    const int forward = isRightToLeft() ? -1 : 1;
    QDate to;
    switch (event->key()) {
    case Qt::Key_PageUp:
        showPreviousMonth();
        return true;
    case Qt::Key_PageDown:
        showNextMonth();
        return true;
    case Qt::Key_Left:
        to = from.addDays(-forward);
        break;
    case Qt::Key_Right:
        to = from.addDays(forward);
        break;
    case Qt::Key_Up:
        to = from.addDays(-daysPerWeek);
        break;
    case Qt::Key_Down:
        to = from.addDays(daysPerWeek);
        break;
    case Qt::Key_Home:
        to = from.addDays(1 - from.day(cal));
        break;
    case Qt::Key_End:
        to = from.addDays(cal.daysInMonth(from.month(cal), from.year(cal)) - from.day(cal));
        break;
    default:
        return false;
    }
    to = bounded(to);
    if (event->modifiers() & Qt::ShiftModifier)
        select(m_anchor, clampedFrom(m_anchor, to), Page::ShowCursor);
    else
        select(to, to, Page::ShowCursor);
    return true;
}

QDate RangeCalendar::firstShownDate() const
{
    // The first day shown is the first of the month or a day of the month before: its number
    // tells which. The base class keeps at least one day of the previous month in the first row.
    const QAbstractItemModel *model = m_view->model();
    const QModelIndex first = model->index(model->rowCount() - weeksShown,
                                           model->columnCount() - daysPerWeek);
    const int day = first.data(Qt::DisplayRole).toInt();
    const QCalendar cal = calendar();
    const QDate firstOfMonth(yearShown(), monthShown(), 1, cal);
    if (day == 1)
        return firstOfMonth;
    const QDate lastOfPrevious = firstOfMonth.addDays(-1);
    return lastOfPrevious.addDays(day - lastOfPrevious.day(cal));
}

QDate RangeCalendar::dateAt(const QModelIndex &index) const
{
    if (!index.isValid())
        return {};
    const QAbstractItemModel *model = m_view->model();
    const int week = index.row() - (model->rowCount() - weeksShown);
    const int weekday = index.column() - (model->columnCount() - daysPerWeek);
    if (week < 0 || weekday < 0)
        return {}; // the heading row or the week-number column
    return firstShownDate().addDays(week * daysPerWeek + weekday);
}

QModelIndex RangeCalendar::indexOf(QDate date) const
{
    const qint64 offset = firstShownDate().daysTo(date);
    if (offset < 0 || offset >= weeksShown * daysPerWeek)
        return {};
    const QAbstractItemModel *model = m_view->model();
    return model->index(model->rowCount() - weeksShown + static_cast<int>(offset) / daysPerWeek,
                        model->columnCount() - daysPerWeek + static_cast<int>(offset) % daysPerWeek);
}

QDate RangeCalendar::cursorDate() const
{
    return dateAt(m_view->currentIndex());
}
