#include "MatchList.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStringListModel>
#include <QTimer>

#include <algorithm>

namespace {

// Rows the list shows at once; more scroll.
constexpr int visibleRows = 10;

} // namespace

MatchList::MatchList(QComboBox *box)
    : QObject(box), m_box(box), m_view(new QListView(box)), m_model(new QStringListModel(this))
{
    // A pop-up window of its own, as a combo box's list is, so that it can reach below the
    // dialog. The keys still go to the box, which passes them on.
    m_view->setWindowFlags(Qt::Popup);
    m_view->setObjectName(box->objectName() + QStringLiteral("Matches"));
    m_view->setModel(m_model);
    m_view->setFont(box->font()); // a window of its own takes the program's font otherwise
    m_view->setFocusPolicy(Qt::NoFocus);
    m_view->setFocusProxy(box);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setUniformItemSizes(true);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setTextElideMode(Qt::ElideRight);
    m_view->installEventFilter(this);
    box->installEventFilter(this);
    connect(box->lineEdit(), &QLineEdit::textEdited, this, &MatchList::typed);
    connect(m_view, &QListView::clicked, this, &MatchList::take);
    // A text the program sets closes the list. Typing changes the text before it reports the
    // edit, so this looks once the edit has been reported.
    connect(box->lineEdit(), &QLineEdit::textChanged, this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (isOpen() && m_box->currentText() != m_typed)
                close();
        });
    });
}

void MatchList::setNames(const QStringList &names)
{
    m_match.setNames(names);
}

void MatchList::setRecent(const std::vector<std::pair<QString, qint64>> &mealsPerFood)
{
    m_match.setRecent(mealsPerFood);
}

QStringList MatchList::shown() const
{
    return isOpen() ? m_model->stringList() : QStringList();
}

int MatchList::highlighted() const
{
    const QModelIndex current = m_view->currentIndex();
    return isOpen() && current.isValid() && m_view->selectionModel()->isSelected(current) ? current.row() : -1;
}

bool MatchList::isOpen() const
{
    return m_view->isVisible();
}

void MatchList::typed(const QString &text)
{
    const QStringList names = m_match.matches(text);
    if (names.isEmpty()) {
        close();
        return;
    }
    m_typed = text;
    m_model->setStringList(names); // nothing highlighted
    open();
}

void MatchList::open()
{
    const int rows = std::min(int(m_model->rowCount()), visibleRows);
    const int frame = 2 * m_view->frameWidth();
    // As wide as the longest name shown, so that names are read whole, and never narrower
    // than the box.
    int widest = 0;
    for (const QString &name : m_model->stringList())
        widest = std::max(widest, m_view->fontMetrics().horizontalAdvance(name));
    const int scrollBar = m_model->rowCount() > rows ? m_view->verticalScrollBar()->sizeHint().width() : 0;
    QRect place(m_box->mapToGlobal(QPoint(0, m_box->height())),
                QSize(std::max(m_box->width(), widest + frame + scrollBar + 8),
                      rows * std::max(1, m_view->sizeHintForRow(0)) + frame));
    if (const QScreen *screen = m_box->screen()) {
        const QRect room = screen->availableGeometry();
        // Above the box when the screen has no room below it; within the screen's width.
        if (place.bottom() > room.bottom())
            place.moveBottom(m_box->mapToGlobal(QPoint(0, 0)).y() - 1);
        place.setWidth(std::min(place.width(), room.width()));
        if (place.right() > room.right())
            place.moveRight(room.right());
    }
    m_view->setGeometry(place);
    m_view->scrollToTop();
    if (!m_view->isVisible())
        m_view->show();
}

void MatchList::close()
{
    m_view->hide();
}

void MatchList::move(int rows)
{
    const int count = m_model->rowCount();
    const int current = highlighted();
    const int next = current < 0 ? (rows > 0 ? 0 : count - 1) : std::clamp(current + rows, 0, count - 1);
    m_view->setCurrentIndex(m_model->index(next));
}

void MatchList::take(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    const QString name = index.data().toString();
    close();
    // As picking from the box's own list: the text changes and whatever follows it follows.
    m_box->setEditText(name);
}

bool MatchList::boxKey(QKeyEvent *key)
{
    if (!isOpen())
        return false;
    const bool plain = !(key->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier));
    switch (key->key()) {
    case Qt::Key_Down:
    case Qt::Key_Up:
        if (!plain)
            break; // Alt+Down: the box's own list
        move(key->key() == Qt::Key_Down ? 1 : -1);
        return true;
    case Qt::Key_PageDown:
    case Qt::Key_PageUp:
        move(key->key() == Qt::Key_PageDown ? visibleRows : -visibleRows);
        return true;
    case Qt::Key_Escape:
        close();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (highlighted() >= 0) {
            take(m_view->currentIndex());
            return true;
        }
        break;
    case Qt::Key_Tab:
        if (highlighted() >= 0)
            take(m_view->currentIndex()); // and the focus moves on
        break;
    default:
        return false;
    }
    close();
    return false;
}

bool MatchList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view) {
        // The list has the keyboard while it is up: the keys are the box's.
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease
            || event->type() == QEvent::ShortcutOverride) {
            QApplication::sendEvent(m_box, event);
            return true;
        }
        // A press anywhere else while the list has the mouse closes it, and does nothing more.
        if (event->type() == QEvent::MouseButtonPress
            && !m_view->rect().contains(m_view->mapFromGlobal(static_cast<QMouseEvent *>(event)->globalPosition().toPoint()))) {
            close();
            return true;
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::KeyPress:
        return boxKey(static_cast<QKeyEvent *>(event));
    case QEvent::FocusOut:
        if (static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
            close();
        break;
    case QEvent::Hide:
        close();
        break;
    default:
        break;
    }
    return false;
}
