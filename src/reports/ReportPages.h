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
    QSize paper;                     // twips, the whole sheet as it prints (landscape: wider than high)
};

// Walks the result through the bands and gives the pages, %p and %P filled in once every page
// is placed. The page header starts at the top margin, the page footer ends at the bottom one,
// and the other bands flow between them:
//  - a group (its header, its detail lines, its footer) that fits on an empty page is never
//    split: it starts a new page when it does not fit in the rest of this one. A longer group
//    starts a new page unless its header and first detail line fit, then runs on: each page it
//    runs onto starts with its continued header, and its footer goes with its last detail line;
//  - a band kept together that does not fit starts a new page; any other band is split between
//    its controls (those below the cut go to the next page), and blank space at its foot is
//    not carried over;
//  - a text that is blank once formatted or filled in (the " " that "0.0;-0.0;\ " gives for
//    zero, a missing value) is left out: it draws nothing.
// Texts are fitted here, so that the paint step draws them as they are (and tests see what
// prints). A left-aligned text has the room of its box, ended a twentieth of an inch before the
// next text on its line where that one reaches further left; a control that wraps (a title) has
// the room up to that next text, or to the right end of the bands, whatever its box. A text too
// long for its room is cut with an ellipsis (a dot leader, "Days Reported . . .", loses dots
// instead); one that wraps goes on to a second line, at its own size if two lines hold it,
// smaller only if they need it and never below 10 points (cut there if it must be): its band
// grows by the extra height, and what stands beside or below it moves down. Right-aligned and
// centred texts (the numbers) are never cut: a box too small is widened. A caption that numbers
// pages (%p, %P) is placed as it is. Every text item's box then holds its text.
// On paper too narrow for the bands between the margins, the report is laid out on a sheet as
// wide as they need, of the paper's proportions, then drawn smaller (positions and sizes
// scaled) to fit the paper: nothing is cut or left out.
// Nothing depends on the machine's locale.
std::vector<ReportPage> layOut(const Input &input);

// How wide a text prints in that font, in twips.
qreal textWidth(const QString &text, const ReportFont &font);

// Draws one page, scaled from twips to the painter's device (its logical DPI). Texts are Arial,
// single-line, centred vertically in their box unless the item says otherwise, and never
// clipped.
void paint(QPainter &painter, const ReportPage &page);
// Draws every page on a device that pages (a printer, a PDF writer), a new page for each. The
// items are placed from the corner of the sheet whatever margins the device keeps. False when
// the device refused to paint or to start a page: then the pages are not all on it.
bool print(QPagedPaintDevice &device, const std::vector<ReportPage> &pages);

} // namespace ReportPages
