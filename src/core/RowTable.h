#pragma once

#include <QString>
#include <QVariant>

#include <optional>
#include <vector>

// A list of rows read from the database, shown in a grid that can re-order them by any field and
// walked by several cursors at once. Each row keeps a bookmark for as long as the list lives: the
// position it had when the list was made. Fields are numbered by the list's own field type.
class RowTable
{
public:
    using Bookmark = int;

    virtual ~RowTable() = default;

    int count() const { return static_cast<int>(m_order.size()); }
    Bookmark bookmarkAt(int position) const { return m_order[static_cast<size_t>(position)]; }
    int positionOf(Bookmark bookmark) const { return m_positionOf[static_cast<size_t>(bookmark)]; }

    // Orders the rows by a sort text made of a field name, a blank and ASC or DESC
    // ("Calories DESC"; the direction may be left out for ASC). Rows with equal values keep the
    // order they came in. False, and nothing changed, for a text that names no field.
    bool sort(QStringView sortText);
    // The sort text last applied; empty while the rows are in the order they came in.
    QString sortText() const { return m_sortText; }

    // The value of a field of the row at a position of the current order.
    QVariant value(int position, int field) const { return valueAt(bookmarkAt(position), field); }
    // The position of the first row at or after fromPosition whose field ID is id; -1 when none.
    int find(qint64 id, int fromPosition = 0) const;

protected:
    explicit RowTable(size_t count);

    // The field named so, without regard to case.
    virtual std::optional<int> fieldByName(QStringView name) const = 0;
    // Negative, zero or positive as row a orders before, with or after row b by the field.
    virtual int compare(Bookmark a, Bookmark b, int field) const = 0;
    virtual QVariant valueAt(Bookmark row, int field) const = 0;
    virtual qint64 idAt(Bookmark row) const = 0;

    // The comparisons the fields share.
    static int compareNumbers(double a, double b) { return a < b ? -1 : (b < a ? 1 : 0); }
    // Texts in the order of the user's language (QLocale()), letter case aside.
    static int compareTexts(const QString &a, const QString &b);

private:
    std::vector<Bookmark> m_order;
    std::vector<int> m_positionOf;
    QString m_sortText;
};
