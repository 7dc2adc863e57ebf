#include "CalorieReports.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

using Kind = ReportControl::Kind;

constexpr Qt::Alignment left = Qt::AlignLeft;
constexpr Qt::Alignment right = Qt::AlignRight;
constexpr int barHeight = 36;

// Arial at these sizes (points).
const ReportFont regular{7.8};
const ReportFont bold{7.8, true};
const ReportFont boldMedium{10.2, true};
const ReportFont boldLarge{12, true};
const ReportFont title{16.2, true, true};
const ReportFont dayHeading{10.2, true, true, true};

ReportControl label(const QString &caption, QRect where, Qt::Alignment alignment = left,
                    std::optional<ReportFont> font = std::nullopt)
{
    return {Kind::Label, where, caption, {}, alignment, font};
}

// A column's value through a format; right-aligned unless said otherwise, as numbers are.
ReportControl box(const QString &column, const QString &format, QRect where, ReportFont font,
                  Qt::Alignment alignment = right)
{
    return {Kind::TextBox, where, column, format, alignment, font};
}

// A title: too long for its room, it goes on to a second line.
ReportControl wrapping(ReportControl control)
{
    control.wraps = true;
    return control;
}

ReportControl shape(Kind kind, QRect where)
{
    ReportControl control;
    control.kind = kind;
    control.where = where;
    return control;
}

ReportControl bar(int x, int y, int width)
{
    return shape(Kind::Bar, {x, y, width, barHeight});
}

ReportControl line(int x, int y, int width)
{
    return shape(Kind::Line, {x, y, width, 0});
}

const QString longDate = u"dddd, MMMM d, yyyy"_s;

// The closing block of both reports: its rows once, their places per report.
struct ClosingRow
{
    QString caption;
    QString column;
    QString format;
    QSize label;
    QSize value;
    ReportFont font;
};

const std::array<ClosingRow, 8> closingRows{{
    {u"Days Reported . . . . . . . . . . . . . . . . . . . . . ."_s, u"DayCount"_s, u"0"_s,
     {2592, 240}, {720, 240}, boldMedium},
    {u"Grand Total Calories . . . . . . . . . . . . . . . . ."_s, u"GrandTotalCalories"_s,
     u"#,##0"_s, {2592, 240}, {720, 240}, boldMedium},
    {u"Grand Total Fruits . . . . . . . . . . .  . . . . . . ."_s, u"GrandTotalFruits"_s,
     u"#,##0"_s, {2592, 240}, {720, 240}, boldMedium},
    {u"Grand Total Vegetables . . . . . . . . . . . . . . ."_s, u"GrandTotalVegetables"_s,
     u"#,##0"_s, {2592, 240}, {720, 240}, boldMedium},
    {u"Grand Total Supplements . . . . . . . . . . . . ."_s, u"GrandTotalSupplements"_s,
     u"#,##0"_s, {2592, 240}, {720, 240}, boldMedium},
    {u"Grand Total Entrees . . . . . . . . . . .. . . . . . ."_s, u"GrandTotalEntrees"_s,
     u"#,##0"_s, {2592, 240}, {720, 240}, boldMedium},
    {u"Average Daily Calories . . . . . . . . . . . . . . . . ."_s, u"AverageDailyCalories"_s,
     u"#,##0"_s, {4608, 288}, {864, 288}, boldLarge},
    {u"Average Daily Fruits and Vegetables . . . . . . ."_s, u"AverageDailyFruitsAndVegeables"_s,
     u"#,##0.0"_s, {4608, 288}, {864, 288}, boldLarge},
}};

// Where a closing row's caption and value start.
struct ClosingPlace
{
    int labelLeft;
    int valueLeft;
    int top;
};

ReportBand closingBlock(int height, int headingTop, const std::array<ClosingPlace, 8> &places)
{
    ReportBand band{height,
                    {label(u"Summary"_s, {1440, headingTop, 1176, 300}, left, boldLarge),
                     bar(1440, headingTop + 288, 5760)},
                    true};
    for (std::size_t i = 0; i < closingRows.size(); ++i) {
        const ClosingRow &row = closingRows[i];
        const ClosingPlace &at = places[i];
        band.controls.push_back(label(row.caption, {QPoint(at.labelLeft, at.top), row.label}, left, row.font));
        band.controls.push_back(box(row.column, row.format, {QPoint(at.valueLeft, at.top), row.value}, row.font));
    }
    return band;
}

ReportBand pageFooter(int height)
{
    return {height,
            {bar(0, 0, 8640), label(u"%D"_s, {0, 144, 2880, 240}),
             label(u"Page %p of %P"_s, {6048, 144, 2592, 240}, right)}};
}

const ReportBand blank{6, {}};

ReportLayout calorieReport()
{
    ReportLayout layout;
    layout.caption = u"Calorie Report"_s;
    layout.width = 8820;
    layout.font = bold;
    layout.pageHeader = {618,
                         {wrapping(label(u"%i"_s, {0, 0, 4320, 432}, left, title)),
                          label(u"Calories"_s, {6636, 228, 852, 204}, right, boldMedium),
                          label(u"Fruits"_s, {7560, 228, 504, 204}, right, bold),
                          label(u"Vegs"_s, {8136, 228, 504, 204}, right, bold),
                          bar(0, 432, 8640)}};
    layout.reportHeader = blank;
    layout.groupHeader = {390, {box(u"DateOnly"_s, longDate, {0, 144, 3480, 240}, dayHeading, left)}};
    // At the top of each page a day runs onto: "Monday, March 5, 2001 (continued)".
    layout.groupHeaderContinued = {
        390, {box(u"DateOnly"_s, longDate + u" \"(continued)\""_s, {0, 144, 8640, 240}, dayHeading, left)}};
    layout.detail = {150,
                     {box(u"When"_s, u"h:nn AM/PM"_s, {144, 0, 720, 150}, regular, left),
                      box(u"Food"_s, {}, {1008, 0, 4104, 150}, regular, left),
                      box(u"Amount"_s, u"0.0"_s, {5340, 0, 576, 150}, regular),
                      box(u"Units"_s, {}, {6048, 0, 720, 150}, regular, left),
                      box(u"Calories"_s, u"#,##0"_s, {6912, 0, 576, 150}, regular),
                      box(u"Fruits"_s, u"0.0;-0.0;\\ "_s, {7632, 0, 432, 150}, regular),
                      box(u"Vegetables"_s, u"0.0;-0.0;\\ "_s, {8208, 0, 432, 150}, regular)},
                     true};
    // A day's total line reads "5 Foods  No Supplements  2 Entrees".
    layout.groupFooter = {414,
                          {line(0, 12, 8676),
                           box(u"TotalMeals"_s, u"0"_s, {864, 120, 540, 192}, boldMedium),
                           label(u"Foods"_s, {1440, 120, 624, 192}, left, boldMedium),
                           box(u"TotalSupplements"_s, u"0;-0;\"No\""_s, {2304, 120, 540, 192}, boldMedium),
                           label(u"Supplements"_s, {2880, 120, 1284, 192}, left, boldMedium),
                           box(u"TotalEntrees"_s, u"0;-0;\"No\""_s, {4320, 120, 540, 192}, boldMedium),
                           label(u"Entrees"_s, {4896, 120, 864, 192}, left, boldMedium),
                           box(u"TotalCalories"_s, u"#,##0"_s, {6912, 120, 576, 192}, boldMedium),
                           box(u"TotalFruits"_s, u"0.0"_s, {7632, 120, 432, 192}, boldMedium),
                           box(u"TotalVegetables"_s, u"0.0"_s, {8208, 120, 432, 192}, boldMedium)}};
    layout.reportFooter = closingBlock(3462, 0,
                                       {{{1728, 4320, 432},
                                         {1728, 4320, 720},
                                         {1728, 4320, 1008},
                                         {1728, 4320, 1296},
                                         {1728, 4320, 1584},
                                         {1728, 4320, 1872},
                                         {1728, 6336, 2304},
                                         {1728, 6336, 2592}}});
    layout.pageFooter = pageFooter(390);
    return layout;
}

ReportLayout calorieSummary()
{
    ReportLayout layout;
    layout.caption = u"Calorie Summary"_s;
    layout.width = 9072;
    layout.font = regular;
    layout.pageHeader = {594,
                         // The title ends where the column headings begin.
                         {wrapping(label(u"%i"_s, {0, 60, 3888, 432}, left, title)),
                          label(u"Total"_s, {3948, 0, 4692, 288}, Qt::AlignHCenter, boldLarge),
                          bar(12, 480, 8640),
                          label(u"Foods"_s, {3948, 312, 516, 192}, right, bold),
                          label(u"Supplements"_s, {4572, 300, 1068, 192}, right, bold),
                          label(u"Entrees"_s, {5748, 300, 660, 192}, right, bold),
                          label(u"Fruits"_s, {6624, 288, 444, 204}, right, bold),
                          label(u"Vegs"_s, {7200, 288, 432, 204}, right, bold),
                          label(u"Calories"_s, {7920, 288, 720, 204}, right, bold)}};
    layout.reportHeader = blank;
    // One line per day; nothing for zero supplements, entrees, fruits or vegetables.
    layout.groupHeader = {174,
                          {box(u"DateOnly"_s, longDate, {144, 0, 3456, 174}, regular, left),
                           box(u"TotalMeals"_s, u"0"_s, {3600, 0, 864, 174}, regular),
                           box(u"TotalSupplements"_s, u"0;-0;\\ "_s, {5208, 0, 432, 174}, regular),
                           box(u"TotalEntrees"_s, u"0;-0;\\ "_s, {5832, 0, 576, 174}, regular),
                           box(u"TotalFruits"_s, u"0.0;-0.0;\\ "_s, {6624, 0, 432, 174}, regular),
                           box(u"TotalVegetables"_s, u"0.0;-0.0;\\ "_s, {7200, 0, 432, 174}, regular),
                           box(u"TotalCalories"_s, u"#,##0"_s, {7920, 0, 720, 174}, regular)}};
    layout.detail = blank;
    layout.groupFooter = blank;
    layout.reportFooter = closingBlock(3162, 276,
                                       {{{1728, 4320, 708},
                                         {1716, 4308, 960},
                                         {1728, 4320, 1200},
                                         {1728, 4320, 1440},
                                         {1728, 4320, 1668},
                                         {1728, 4320, 1920},
                                         {1716, 6324, 2304},
                                         {1716, 6324, 2592}}});
    layout.pageFooter = pageFooter(528);
    return layout;
}

} // namespace

const ReportLayout &drCalorieReport()
{
    static const ReportLayout layout = calorieReport();
    return layout;
}

const ReportLayout &drCalorieSummary()
{
    static const ReportLayout layout = calorieSummary();
    return layout;
}
