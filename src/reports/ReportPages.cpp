#include "ReportPages.h"

#include "Format.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <deque>
#include <optional>

namespace {

using Kind = ReportControl::Kind;

constexpr double smallestWrapped = 10; // points: a text that wraps is never drawn smaller
constexpr int gap = 72;                // twips, a twentieth of an inch, kept before the next text on a line

QFont fontOf(const ReportFont &font)
{
    QFont qfont(QStringLiteral("Arial"));
    qfont.setStyleHint(QFont::SansSerif);
    qfont.setPointSizeF(font.points);
    qfont.setBold(font.bold);
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    // Unhinted, a text is as wide at every resolution: as measured, so drawn.
    qfont.setHintingPreference(QFont::PreferNoHinting);
    return qfont;
}

// Texts measured as they print, on a device of 1440 dots an inch: lengths come out in twips.
class Ruler
{
public:
    Ruler() : m_device(1, 1, QImage::Format_Mono)
    {
        m_device.setDotsPerMeterX(qRound(1440 / 0.0254));
        m_device.setDotsPerMeterY(qRound(1440 / 0.0254));
    }

    const QFontMetricsF &metrics(const ReportFont &font) { return measured(font).metrics; }

    // Remembered: a report prints the same few units, foods and figures over and over.
    qreal width(const QString &text, const ReportFont &font)
    {
        Measured &measured = this->measured(font);
        const auto known = measured.widths.constFind(text);
        return known != measured.widths.cend() ? *known
                                                : *measured.widths.insert(text, measured.metrics.horizontalAdvance(text));
    }

    // The text broken into lines of at most that width, between words where it can.
    QStringList lines(const QString &text, const ReportFont &font, qreal width) const
    {
        QTextLayout layout(text, fontOf(font), &m_device);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        QStringList lines;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines << text.mid(line.textStart(), line.textLength());
        }
        layout.endLayout();
        return lines;
    }

private:
    struct Measured
    {
        ReportFont font;
        QFontMetricsF metrics;
        QHash<QString, qreal> widths;
    };

    Measured &measured(const ReportFont &font)
    {
        const auto known = std::find_if(m_measured.begin(), m_measured.end(), [&font](const Measured &m) {
            return m.font == font;
        });
        return known != m_measured.end() ? *known
                                         : m_measured.emplace_back(Measured{font, QFontMetricsF(fontOf(font), &m_device), {}});
    }

    QImage m_device;
    std::deque<Measured> m_measured; // grows without moving what it holds
};

// Dot leaders ("Days Reported . . . .") lose dots until they fit; any other text too long for
// its room is cut with an ellipsis.
QString fitted(QString text, const QFontMetricsF &metrics, qreal width)
{
    while (metrics.horizontalAdvance(text) > width && (text.endsWith(u" .") || text.endsWith(u".."))) {
        text.chop(1);
        while (text.endsWith(u' '))
            text.chop(1);
    }
    return metrics.elidedText(text, Qt::ElideRight, width);
}

bool isText(const PageItem &item)
{
    return item.kind == Kind::Label;
}

Qt::Alignment horizontal(const PageItem &item)
{
    return item.alignment & Qt::AlignHorizontal_Mask;
}

// Two boxes on one line: they share more than half the height of the lower one (the designed
// boxes of two rows may overlap a little).
bool onOneLine(const QRect &a, const QRect &b)
{
    const int aHeight = std::max(a.height(), 1);
    const int bHeight = std::max(b.height(), 1);
    const int shared = std::min(a.top() + aHeight, b.top() + bHeight) - std::max(a.top(), b.top());
    return 2 * shared > std::min(aHeight, bHeight);
}

// An item as first placed, its box from the band's corner until the band is placed. A caption
// that numbers pages keeps its %-codes until the number of pages is known.
struct Draft
{
    PageItem item;
    bool numbered = false;
};

// A band's items for one row, its texts filled in and fitted; the band may have grown.
struct PreparedBand
{
    int height = 0;
    std::vector<Draft> drafts;
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

// How far right the bands of a layout reach, in twips from the left margin.
int extentOf(const ReportLayout &layout)
{
    int extent = 0;
    for (const ReportBand *band : {&layout.pageHeader, &layout.reportHeader, &layout.groupHeader,
                                   &layout.groupHeaderContinued, &layout.detail, &layout.groupFooter,
                                   &layout.reportFooter, &layout.pageFooter}) {
        for (const ReportControl &control : band->controls)
            extent = std::max(extent, control.where.x() + control.where.width());
    }
    return extent;
}

// Fills a band's controls for a row and fits its texts to their room (see ReportPages::layOut).
class BandFitter
{
public:
    BandFitter(Ruler &ruler, const ReportLayout &layout, const Codes &codes, int extent)
        : m_ruler(ruler), m_layout(layout), m_codes(codes), m_extent(extent)
    {
    }

    PreparedBand operator()(const ReportBand &band, const ReportRow &row)
    {
        PreparedBand prepared{band.height, {}};
        m_designed.clear();
        m_widths.clear();
        for (const ReportControl &control : band.controls) {
            prepared.drafts.push_back(draft(control, row));
            m_designed.push_back(&control);
        }
        m_widths.resize(prepared.drafts.size());
        // Numbers and centred texts are never cut: their boxes widen to hold them.
        for (std::size_t i = 0; i < prepared.drafts.size(); ++i) {
            PageItem &item = prepared.drafts[i].item;
            if (!isText(item) || horizontal(item) == Qt::AlignLeft || prepared.drafts[i].numbered)
                continue;
            const int wider = static_cast<int>(std::ceil(width(prepared, i))) - item.where.width();
            if (wider > 0)
                item.where.adjust(horizontal(item) == Qt::AlignRight ? -wider : -wider / 2, 0,
                                  horizontal(item) == Qt::AlignRight ? 0 : wider - wider / 2, 0);
        }
        for (std::size_t i = 0; i < m_designed.size(); ++i) {
            const Draft &draft = prepared.drafts[i];
            if (isText(draft.item) && horizontal(draft.item) == Qt::AlignLeft && !draft.numbered)
                fit(prepared, i);
        }
        return prepared;
    }

private:
    Draft draft(const ReportControl &control, const ReportRow &row) const
    {
        Draft draft;
        PageItem &item = draft.item;
        item.kind = control.kind == Kind::TextBox ? Kind::Label : control.kind;
        item.where = control.where;
        if (control.kind == Kind::Label || control.kind == Kind::TextBox) {
            item.font = control.font.value_or(m_layout.font);
            item.alignment = control.alignment;
            if (!(item.alignment & Qt::AlignHorizontal_Mask))
                item.alignment |= Qt::AlignLeft;
            draft.numbered = control.kind == Kind::Label
                             && (control.text.contains(u"%p") || control.text.contains(u"%P"));
            if (control.kind == Kind::TextBox)
                item.text = Format::value(row.value(control.text), control.format);
            else
                item.text = draft.numbered ? control.text : filled(control.text, m_codes);
        }
        return draft;
    }

    qreal width(const PreparedBand &band, std::size_t i)
    {
        if (!m_widths[i])
            m_widths[i] = m_ruler.width(band.drafts[i].item.text, band.drafts[i].item.font);
        return *m_widths[i];
    }

    // Where the ink of an item starts.
    int inkLeft(const PreparedBand &band, std::size_t i)
    {
        const PageItem &item = band.drafts[i].item;
        if (!isText(item) || horizontal(item) == Qt::AlignLeft || band.drafts[i].numbered)
            return item.where.left();
        const int spare = std::max(0, item.where.width() - static_cast<int>(std::ceil(width(band, i))));
        return item.where.left() + (horizontal(item) == Qt::AlignRight ? spare : spare / 2);
    }

    void fit(PreparedBand &band, std::size_t i)
    {
        const ReportControl &control = *m_designed[i];
        const QRect designed = control.where;
        int right = control.wraps ? m_extent : designed.x() + designed.width();
        for (std::size_t j = 0; j < m_designed.size(); ++j) {
            const QRect other = m_designed[j]->where;
            if (j != i && other.x() >= designed.x() + designed.width() && onOneLine(other, designed))
                right = std::min(right, inkLeft(band, j) - gap);
        }
        PageItem &item = band.drafts[i].item;
        const int room = std::max(0, right - item.where.x());
        if (control.wraps)
            wrap(band, i, room);
        else if (width(band, i) > room)
            item.text = fitted(item.text, m_ruler.metrics(item.font), room);
        item.where.setWidth(control.wraps ? room : std::min(item.where.width(), room));
    }

    // At its own size on one line or two; smaller until two lines hold it, but never below the
    // smallest size, where the second line is cut with an ellipsis.
    void wrap(PreparedBand &band, std::size_t i, int room)
    {
        Draft &first = band.drafts[i];
        if (width(band, i) <= room)
            return;
        ReportFont font = first.item.font;
        QStringList lines = m_ruler.lines(first.item.text, font, room);
        while (lines.size() > 2 && font.points > smallestWrapped) {
            font.points = std::max(smallestWrapped, font.points - 0.1);
            lines = m_ruler.lines(first.item.text, font, room);
        }
        if (lines.size() < 2)
            return;
        const QString rest = lines.mid(1).join(QString()).trimmed();
        const int height = static_cast<int>(std::ceil(m_ruler.metrics(font).height()));
        const QRect box = first.item.where;
        const int grown = std::max(0, 2 * height - box.height());
        for (Draft &other : band.drafts) {
            const QRect &at = other.item.where;
            if (at.y() + std::max(at.height(), 1) > box.top())
                other.item.where.translate(0, grown);
        }
        band.height += grown;
        first.item.font = font;
        first.item.where = QRect(box.x(), box.y(), room, height);
        first.item.text = lines.front().trimmed();
        Draft second = first;
        second.item.where.translate(0, height);
        second.item.text = fitted(rest, m_ruler.metrics(font), room);
        band.drafts.insert(band.drafts.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(second));
        m_designed.insert(m_designed.begin() + static_cast<std::ptrdiff_t>(i) + 1, m_designed[i]);
        m_widths.insert(m_widths.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::nullopt);
        m_widths[i].reset();
    }

    Ruler &m_ruler;
    const ReportLayout &m_layout;
    const Codes &m_codes;
    const int m_extent;
    std::vector<const ReportControl *> m_designed; // each draft's control
    std::vector<std::optional<qreal>> m_widths;    // each draft's text, measured when needed
};

using DraftPage = std::vector<Draft>;

// One pass over the result, filling pages from the top. Positions are in twips on the sheet.
class Flow
{
public:
    Flow(const ReportPages::Input &input, QSize sheet, int extent)
        : m_layout(*input.layout),
          m_data(*input.data),
          m_codes{input.title, Format::date(input.today, u"dddd, MMMM d, yyyy"), 0, 0},
          m_fit(m_ruler, m_layout, m_codes, extent),
          m_pageHeader(m_fit(m_layout.pageHeader, m_data)),
          m_pageFooter(m_fit(m_layout.pageFooter, m_data)),
          m_top(ReportPages::margin + m_pageHeader.height),
          m_bottom(sheet.height() - ReportPages::margin - m_pageFooter.height)
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
    // Nothing placed yet on this page below its headings.
    bool atTop() const { return m_y == m_fresh; }

    void newPage()
    {
        if (!m_pages.empty())
            endPage();
        m_pages.emplace_back();
        place(m_pageHeader, ReportPages::margin);
        m_y = m_top;
        if (m_group && !m_layout.groupHeaderContinued.controls.empty()) {
            const PreparedBand heading = m_fit(m_layout.groupHeaderContinued, *m_group);
            place(heading, m_y);
            m_y += heading.height;
        }
        m_fresh = m_y;
    }

    void endPage() { place(m_pageFooter, m_bottom); }

    // A day and its entries stay on one page when they fit on an empty one. A longer day starts
    // on a new page unless its header and first entry fit here, then runs on; its total line
    // goes with its last entry.
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
        m_group = &group;
        for (int i = 0; i < entries; ++i) {
            if (i + 1 == entries && !atTop() && m_layout.detail.height + m_layout.groupFooter.height > room())
                newPage();
            band(m_layout.detail, group.children[i]);
        }
        band(m_layout.groupFooter, group);
        m_group = nullptr;
    }

    // Places a band at the current position. A band kept together that does not fit starts a
    // new page; any other is cut between its items at the foot of the page, and the items
    // below the cut go on the next page. No item is ever cut in two, and blank space at the
    // foot of a band is not carried over (the position then lies below the foot of the page,
    // so that whatever comes next starts a new one).
    void band(const ReportBand &band, const ReportRow &row)
    {
        if (band.controls.empty()) {
            m_y += band.height;
            return;
        }
        PreparedBand prepared = m_fit(band, row);
        if (prepared.height > room() && band.keepTogether && !atTop())
            newPage();
        std::vector<Draft> &rest = prepared.drafts;
        int offset = 0; // the band's y at the top of the part still to place
        while (!rest.empty() && prepared.height - offset > room()) {
            const int foot = offset + room();
            int cut = prepared.height;
            for (const Draft &draft : rest) {
                if (draft.item.where.y() + draft.item.where.height() > foot)
                    cut = std::min(cut, draft.item.where.y());
            }
            if (cut == offset && atTop())
                break; // taller than a page from here on: it runs over the foot
            const auto below = std::stable_partition(rest.begin(), rest.end(), [cut](const Draft &d) {
                return d.item.where.y() < cut;
            });
            for (auto draft = rest.begin(); draft != below; ++draft)
                put(*draft, m_y - offset);
            rest.erase(rest.begin(), below);
            if (!rest.empty()) {
                newPage();
                offset = cut;
            }
        }
        for (const Draft &draft : rest)
            put(draft, m_y - offset);
        m_y += prepared.height - offset;
    }

    void place(const PreparedBand &band, int top)
    {
        for (const Draft &draft : band.drafts)
            put(draft, top);
    }

    void put(Draft draft, int bandTop)
    {
        draft.item.where.translate(ReportPages::margin, bandTop);
        m_pages.back().push_back(std::move(draft));
    }

    const ReportLayout &m_layout;
    const ReportRow &m_data; // the top row: the report's and the pages' headers and footers
    const Codes m_codes;
    Ruler m_ruler;
    BandFitter m_fit;
    const PreparedBand m_pageHeader;
    const PreparedBand m_pageFooter;
    const int m_top;    // where the bands start under the page header
    const int m_bottom; // where the page footer starts
    int m_y = 0;
    int m_fresh = 0;                    // where this page's bands start, under a continued header
    const ReportRow *m_group = nullptr; // the group being placed, after its header
    std::vector<DraftPage> m_pages;
};

// An item drawn smaller, from the corner of the margins.
PageItem scaled(PageItem item, double scale)
{
    const auto at = [scale](int twips) {
        return ReportPages::margin + static_cast<int>(std::lround((twips - ReportPages::margin) * scale));
    };
    const auto length = [scale](int twips) { return static_cast<int>(std::lround(twips * scale)); };
    item.where = QRect(at(item.where.x()), at(item.where.y()), length(item.where.width()), length(item.where.height()));
    item.font.points *= scale;
    return item;
}

} // namespace

namespace ReportPages {

std::vector<ReportPage> layOut(const Input &input)
{
    if (!input.layout || !input.data)
        return {};
    const int extent = extentOf(*input.layout);
    const int room = input.paper.width() - 2 * margin;
    const double scale = room > 0 && room < extent ? double(room) / extent : 1.0;
    const QSize sheet(extent + 2 * margin,
                      2 * margin + static_cast<int>((input.paper.height() - 2 * margin) / scale));
    const std::vector<DraftPage> drafts = Flow(input, scale < 1 ? sheet : input.paper, extent).run();

    Codes codes{input.title, Format::date(input.today, u"dddd, MMMM d, yyyy"), 0,
                static_cast<int>(drafts.size())};
    std::vector<ReportPage> pages(drafts.size());
    for (std::size_t p = 0; p < drafts.size(); ++p) {
        codes.page = static_cast<int>(p) + 1;
        for (const Draft &draft : drafts[p]) {
            PageItem item = draft.item;
            if (draft.numbered)
                item.text = filled(item.text, codes);
            if (item.kind == Kind::Label && item.text.trimmed().isEmpty())
                continue;
            pages[p].items.push_back(scale < 1 ? scaled(std::move(item), scale) : std::move(item));
        }
    }
    return pages;
}

qreal textWidth(const QString &text, const ReportFont &font)
{
    return Ruler().width(text, font);
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
            painter.setFont(fontOf(item.font));
            painter.setPen(Qt::black);
            painter.drawText(where, static_cast<int>(alignment) | Qt::TextDontClip | Qt::TextSingleLine, item.text);
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
