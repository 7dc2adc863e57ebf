#pragma once

#include "ReportLayout.h"
#include "ReportRow.h"

#include <QDate>
#include <QSize>

#include <vector>

class QPagedPaintDevice;
class QPainter;

// What a report prints on one page: texts, lines and bars placed in twips from the paper's
// top-left corner (the margins included).
struct PageItem
{
    ReportControl::Kind kind = ReportControl::Kind::Label; // Label for every text
    QRect where;
    QString text;
    ReportFont font;
    Qt::Alignment alignment = Qt::AlignLeft;

    friend bool operator==(const PageItem &, const PageItem &) = default;
};

struct ReportPage
{
    std::vector<PageItem> items;
};

// The two steps of printing a report: the layout step places the bands of a layout on pages;
// the paint step draws the pages on any paint device. Tests check the first one's items.
namespace ReportPages {

inline constexpr int margin = 1440; // twips, on all four sides

struct Input
{
    const ReportLayout *layout = nullptr;
    const ReportRow *data = nullptr; // the top row; its children are the groups
    QString title;                   // printed for %i
    QDate today;                     // printed for %D, in the long form ("Monday, December 7, 2026")
    QSize paper;                     // twips, the whole sheet
};

// Walks the result through the bands and gives the pages, %p and %P filled in once every page
// is placed. The page header starts at the top margin, the page footer ends at the bottom one,
// and the other bands flow between them:
//  - a group (its header, its detail lines, its footer) that fits on an empty page is never
//    split: it starts a new page when it does not fit in the rest of this one. A longer group
//    starts a new page unless its header and first detail line fit, then runs on;
//  - a band kept together that does not fit starts a new page; any other band is split between
//    its controls (those below the cut go to the next page), and blank space at its foot is
//    not carried over;
//  - a text that is blank once formatted or filled in (the " " that "0.0;-0.0;\ " gives for
//    zero, a missing value) is left out: it draws nothing.
// Nothing depends on the machine's locale.
std::vector<ReportPage> layOut(const Input &input);

// Draws one page, scaled from twips to the painter's device (its logical DPI). Texts are Arial,
// single-line, centred vertically in their box unless the item says otherwise, and never
// clipped; dot leaders ("Days Reported . . .") are shortened to end at their box's edge.
void paint(QPainter &painter, const ReportPage &page);
// Draws every page on a device that pages (a printer, a PDF writer), a new page for each. The
// items are placed from the corner of the sheet whatever margins the device keeps. False when
// the device refused to paint or to start a page: then the pages are not all on it.
bool print(QPagedPaintDevice &device, const std::vector<ReportPage> &pages);

} // namespace ReportPages
