#pragma once

#include <QRect>
#include <QString>

#include <optional>
#include <vector>

// A banded report layout, declared as data: the bands of a three-level result and the controls
// in each, with positions in twips (1440 to the inch) from the band's top-left corner.

// Every report text is Arial (Liberation Sans where Arial is missing).
struct ReportFont
{
    double points = 7.8;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    friend bool operator==(const ReportFont &, const ReportFont &) = default;
};

struct ReportControl
{
    enum class Kind {
        Label,   // text: a caption, in which %i, %D, %p and %P are replaced
        TextBox, // text: the value of a column of the band's level, through format
        Line,    // a thin line from the top-left to the bottom-right corner (height 0: level)
        Bar,     // a filled rectangle, the rule under headings (36 twips high)
    };
    Kind kind = Kind::Label;
    QRect where;          // left, top, width, height in twips
    QString text;         // Label: the caption; TextBox: the column
    QString format;       // TextBox: the display format (see core/Format.h); empty for none
    Qt::Alignment alignment = Qt::AlignLeft;
    std::optional<ReportFont> font; // none: the layout's report font
    // A text too long for its room: false, it is cut with an ellipsis (a dot leader loses dots
    // instead); true, it goes on to a second line (see ReportPages::layOut).
    bool wraps = false;
};

struct ReportBand
{
    int height = 0; // twips
    std::vector<ReportControl> controls;
    bool keepTogether = false; // never split across two pages
};

// The bands, printed in this order as the result is walked: page header (top of every page),
// report header (once), group header (once per row of the middle level), detail (once per row
// of the lowest level), group footer, report footer (once, after the last group), page footer
// (bottom of every page). A group that runs onto another page starts it with its continued
// header, when the layout has one.
struct ReportLayout
{
    QString caption; // of the preview window
    int width = 0;   // twips
    ReportFont font; // the report font
    ReportBand pageHeader;
    ReportBand reportHeader;
    ReportBand groupHeader;
    ReportBand groupHeaderContinued; // no controls: a group runs on with no heading
    ReportBand detail;
    ReportBand groupFooter;
    ReportBand reportFooter;
    ReportBand pageFooter;
};
