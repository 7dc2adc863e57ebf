#include "ReportPages.h"

#include "Format.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace {

using Kind = ReportControl::Kind;

// An item as first placed: a label's caption keeps its %-codes until the number of pages is known.
struct Draft
{
    PageItem item;
    bool caption = false;
};

using DraftPage = std::vector<Draft>;

// One pass over the result, filling pages from the top. Positions are in twips on the sheet.
class Flow
{
public:
    explicit Flow(const ReportPages::Input &input)
        : m_layout(*input.layout),
          m_data(*input.data),
          m_top(ReportPages::margin + m_layout.pageHeader.height),
          m_bottom(input.paper.height() - ReportPages::margin - m_layout.pageFooter.height)
    {
    }

    std::vector<DraftPage> run()
    {
        newPage();
        band(m_layout.reportHeader, m_data);
        for (const ReportRow &group : m_data.children)
            this->group(group);
        band(m_layout.reportFooter, m_data);
        endPage();
        return std::move(m_pages);
    }

private:
    int room() const { return m_bottom - m_y; }
    bool atTop() const { return m_y == m_top; }

    void newPage()
    {
        if (!m_pages.empty())
            endPage();
        m_pages.emplace_back();
        for (const ReportControl &control : m_layout.pageHeader.controls)
            put(control, m_data, ReportPages::margin);
        m_y = m_top;
    }

    void endPage()
    {
        for (const ReportControl &control : m_layout.pageFooter.controls)
            put(control, m_data, m_bottom);
    }

    // A day and its entries stay on one page when they fit on an empty one. A longer day starts
    // on a new page unless its header and first entry fit here, then runs on.
    void group(const ReportRow &group)
    {
        const int entries = static_cast<int>(group.children.size());
        const int whole = m_layout.groupHeader.height + entries * m_layout.detail.height
                          + m_layout.groupFooter.height;
        const int start = m_layout.groupHeader.height
                          + (entries > 0 ? m_layout.detail.height : m_layout.groupFooter.height);
        if (!atTop() && (whole <= m_bottom - m_top ? whole : start) > room())
            newPage();
        band(m_layout.groupHeader, group);
        for (const ReportRow &entry : group.children)
            band(m_layout.detail, entry);
        band(m_layout.groupFooter, group);
    }

    // Places a band at the current position. A band kept together that does not fit starts a
    // new page; any other is cut between its controls at the foot of the page, and the controls
    // below the cut go on the next page. No control is ever cut in two, and blank space at the
    // foot of a band is not carried over (the position then lies below the foot of the page,
    // so that whatever comes next starts a new one).
    void band(const ReportBand &band, const ReportRow &row)
    {
        if (band.height > room() && band.keepTogether && !atTop())
            newPage();
        std::vector<const ReportControl *> rest;
        for (const ReportControl &control : band.controls)
            rest.push_back(&control);
        int offset = 0; // the band's y at the top of the part still to place
        while (!rest.empty() && band.height - offset > room()) {
            const int foot = offset + room();
            int cut = band.height;
            for (const ReportControl *control : rest) {
                if (control->where.y() + control->where.height() > foot)
                    cut = std::min(cut, control->where.y());
            }
            if (cut == offset && atTop())
                break; // taller than a page from here on: it runs over the foot
            const auto below = std::stable_partition(rest.begin(), rest.end(), [cut](const ReportControl *c) {
                return c->where.y() < cut;
            });
            for (auto control = rest.begin(); control != below; ++control)
                put(**control, row, m_y - offset);
            rest.erase(rest.begin(), below);
            if (!rest.empty()) {
                newPage();
                offset = cut;
            }
        }
        for (const ReportControl *control : rest)
            put(*control, row, m_y - offset);
        m_y += band.height - offset;
    }

    void put(const ReportControl &control, const ReportRow &row, int bandTop)
    {
        Draft draft;
        PageItem &item = draft.item;
        item.kind = control.kind == Kind::TextBox ? Kind::Label : control.kind;
        item.where = control.where.translated(ReportPages::margin, bandTop);
        if (control.kind == Kind::Label || control.kind == Kind::TextBox) {
            item.font = control.font.value_or(m_layout.font);
            item.alignment = control.alignment;
            draft.caption = control.kind == Kind::Label;
            item.text = draft.caption ? control.text : Format::value(row.value(control.text), control.format);
        }
        m_pages.back().push_back(std::move(draft));
    }

    const ReportLayout &m_layout;
    const ReportRow &m_data; // the top row: the report's and the pages' headers and footers
    const int m_top;    // where the bands start under the page header
    const int m_bottom; // where the page footer starts
    int m_y = 0;
    std::vector<DraftPage> m_pages;
};

struct Codes
{
    QString title;
    QString today;
    int page = 0;
    int pages = 0;
};

// %i, %D, %p and %P in one pass, so that a title holding "%p" is printed as it is.
QString filled(const QString &caption, const Codes &codes)
{
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar code = i + 1 < caption.size() && caption[i] == u'%' ? caption[i + 1] : QChar();
        if (code == u'i')
            text += codes.title;
        else if (code == u'D')
            text += codes.today;
        else if (code == u'p')
            text += QString::number(codes.page);
        else if (code == u'P')
            text += QString::number(codes.pages);
        else {
            text += caption[i];
            continue;
        }
        ++i;
    }
    return text;
}

QFont fontOf(const ReportFont &font)
{
    QFont qfont(QStringLiteral("Arial"));
    qfont.setStyleHint(QFont::SansSerif);
    qfont.setPointSizeF(font.points);
    qfont.setBold(font.bold);
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    return qfont;
}

// Dot leaders ("Days Reported . . . .") stop at the box's edge rather than run into the value
// beside them. Nothing else is ever shortened (a long text is drawn smaller instead).
QString fitted(QString text, const QFontMetricsF &metrics, qreal width)
{
    while (metrics.horizontalAdvance(text) > width && (text.endsWith(u" .") || text.endsWith(u".."))) {
        text.chop(1);
        while (text.endsWith(u' '))
            text.chop(1);
    }
    return text;
}

} // namespace

namespace ReportPages {

std::vector<ReportPage> layOut(const Input &input)
{
    if (!input.layout || !input.data)
        return {};
    const std::vector<DraftPage> drafts = Flow(input).run();

    Codes codes{input.title, Format::date(input.today, u"dddd, MMMM d, yyyy"), 0,
                static_cast<int>(drafts.size())};
    std::vector<ReportPage> pages(drafts.size());
    for (std::size_t p = 0; p < drafts.size(); ++p) {
        codes.page = static_cast<int>(p) + 1;
        for (const Draft &draft : drafts[p]) {
            PageItem item = draft.item;
            if (draft.caption)
                item.text = filled(item.text, codes);
            if (item.kind == Kind::Label && item.text.trimmed().isEmpty())
                continue;
            pages[p].items.push_back(std::move(item));
        }
    }
    return pages;
}

void paint(QPainter &painter, const ReportPage &page)
{
    const QPaintDevice *device = painter.device();
    if (!device)
        return;
    const double sx = device->logicalDpiX() / 1440.0;
    const double sy = device->logicalDpiY() / 1440.0;
    const auto onDevice = [sx, sy](const QRect &r) {
        return QRectF(r.x() * sx, r.y() * sy, r.width() * sx, r.height() * sy);
    };

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (const PageItem &item : page.items) {
        const QRectF where = onDevice(item.where);
        switch (item.kind) {
        case Kind::Label:
        case Kind::TextBox: {
            // Centred on the box's middle: the detail lines are shorter than their font's line.
            Qt::Alignment alignment = item.alignment;
            if (!(alignment & Qt::AlignVertical_Mask))
                alignment |= Qt::AlignVCenter;
            QFont font = fontOf(item.font);
            const QString text = fitted(item.text, QFontMetricsF(font, device), where.width());
            // A text longer than its box (a long name) is drawn smaller rather than over its neighbour.
            if (const qreal width = QFontMetricsF(font, device).horizontalAdvance(text); width > where.width())
                font.setPointSizeF(font.pointSizeF() * where.width() / width);
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(where, static_cast<int>(alignment) | Qt::TextDontClip | Qt::TextSingleLine, text);
            break;
        }
        case Kind::Line: {
            QPen pen(Qt::black, std::max(12 * std::min(sx, sy), 1.0)); // 12 twips, at least a pixel
            pen.setCapStyle(Qt::FlatCap);
            painter.setPen(pen);
            painter.drawLine(where.topLeft(), where.bottomRight());
            break;
        }
        case Kind::Bar:
            painter.fillRect(where, Qt::black);
            break;
        }
    }
    painter.restore();
}

bool print(QPagedPaintDevice &device, const std::vector<ReportPage> &pages)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    // Items are placed from the corner of the sheet; the painter starts at the device's margins.
    const QPointF origin = device.pageLayout().paintRectPixels(device.logicalDpiX()).topLeft();
    for (std::size_t p = 0; p < pages.size(); ++p) {
        if (p > 0 && !device.newPage()) {
            painter.end();
            return false;
        }
        painter.save();
        painter.translate(-origin);
        paint(painter, pages[p]);
        painter.restore();
    }
    return painter.end();
}

} // namespace ReportPages
