#include "RowTable.h"

#include <QCollator>

#include <algorithm>
#include <numeric>

RowTable::RowTable(size_t count)
    : m_order(count)
    , m_positionOf(count)
{
    std::iota(m_order.begin(), m_order.end(), 0);
    std::iota(m_positionOf.begin(), m_positionOf.end(), 0);
}

bool RowTable::sort(QStringView sortText)
{
    const QStringView text = sortText.trimmed();
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    const QStringView name = blank < 0 ? text : text.left(blank);
    const QStringView direction = blank < 0 ? QStringView() : text.mid(blank + 1).trimmed();
    const std::optional<int> field = fieldByName(name);
    const bool descending = direction.compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0;
    if (!field || (!direction.isEmpty() && !descending && direction.compare(QLatin1String("ASC"), Qt::CaseInsensitive) != 0))
        return false;

    // Start from the order the rows came in, so that rows with equal values always keep it.
    std::iota(m_order.begin(), m_order.end(), 0);
    std::stable_sort(m_order.begin(), m_order.end(), [&](Bookmark a, Bookmark b) {
        const int order = compare(a, b, *field);
        return descending ? order > 0 : order < 0;
    });
    for (size_t position = 0; position < m_order.size(); ++position)
        m_positionOf[static_cast<size_t>(m_order[position])] = static_cast<int>(position);
    m_sortText = sortText.toString();
    return true;
}

int RowTable::find(qint64 id, int fromPosition) const
{
    for (int position = qMax(0, fromPosition); position < count(); ++position)
        if (idAt(bookmarkAt(position)) == id)
            return position;
    return -1;
}

int RowTable::compareTexts(const QString &a, const QString &b)
{
    // A collator is costly to make: one is kept for as long as the language stays the same.
    thread_local QCollator collator = [] {
        QCollator made{QLocale()};
        made.setCaseSensitivity(Qt::CaseInsensitive);
        return made;
    }();
    if (collator.locale() != QLocale()) {
        collator.setLocale(QLocale());
        collator.setCaseSensitivity(Qt::CaseInsensitive);
    }
    return collator.compare(a, b);
}
