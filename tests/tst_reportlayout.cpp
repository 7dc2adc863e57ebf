#include "CalorieReports.h"
#include "DateSpan.h"
#include "ReportPages.h"

#include <QLocale>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Kind = ReportControl::Kind;

namespace {

// A row of a result, its columns named in one text.
ReportRow row(const char *names, const QVariantList &values, std::vector<ReportRow> children = {})
{
    ReportRow r{{}, std::move(children)};
    const QStringList columns = QString::fromLatin1(names).split(u' ');
    for (qsizetype i = 0; i < columns.size(); ++i)
        r.columns.insert(columns[i], values[i]);
    return r;
}

ReportRow entry(QTime when, const char *food, double amount, const char *units, double calories, double fruits,
                double vegetables)
{
    return row("When Food Amount Units Calories Fruits Vegetables",
               {wallClock(QDate(2001, 3, 5), when), food, amount, units, calories, fruits, vegetables});
}

// The day'th of March 2001 (or later), with its supplements, entrees, calories, fruits, vegetables.
ReportRow day(int date, std::vector<ReportRow> entries, QVariantList totals = {0.0, 0.0, 0.0, 0.0, 0.0})
{
    totals << QDate(2001, 2, 28).addDays(date).toString(u"yyyy/MM/dd") << qint64(entries.size());
    return row("TotalSupplements TotalEntrees TotalCalories TotalFruits TotalVegetables DateOnly TotalMeals", totals,
               std::move(entries));
}

ReportRow grandTotals(const QVariantList &values, std::vector<ReportRow> days = {})
{
    return row("DayCount GrandTotalCalories GrandTotalFruits GrandTotalVegetables GrandTotalSupplements "
               "GrandTotalEntrees AverageDailyCalories AverageDailyFruitsAndVegeables",
               values, std::move(days));
}

const QVariantList noTotals{qint64(0), 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};

// Monday, March 5, 2001: five entries, a correction first; Tuesday: one.
ReportRow twoDays()
{
    return grandTotals({qint64(2), 2084.6, 2.46, 1.0, 1.0, 2.0, 1042.3, 1.73},
                       {day(5,
                            {entry({0, 0}, "Correction", 1, "each", -150, 0, -0.5),
                             entry({8, 0}, "Oatmeal", 1, "cup", 300, 0, 0),
                             entry({12, 0}, "Salad", 2, "cup", 100, 0, 1.5),
                             entry({15, 0}, "Soup", 1, "cup", 200, 0, 0),
                             entry({18, 5}, "Apple pie", 1.25, "slice", 1234.6, 2.46, 0)},
                            {0.0, 2.0, 1684.6, 2.46, 1.0}),
                        day(6, {entry({7, 30}, "Vitamins", 1, "each", 400, 0, 0)}, {1.0, 0.0, 400.0, 0.0, 0.0})});
}

// Days of as many entries each, from March 5, 2001 on.
ReportRow days(const QList<int> &entries)
{
    ReportRow top = grandTotals(noTotals);
    for (int d = 0; d < entries.size(); ++d)
        top.children.push_back(day(5 + d, std::vector(entries[d], entry({9, 0}, "Tea", 1, "cup", 2, 0, 0))));
    return top;
}

std::vector<ReportPage> layOut(const ReportLayout &layout, const ReportRow &data, QSize paper = {12240, 15840},
                               const QString &title = u"Calorie Report for Jo"_s)
{
    return ReportPages::layOut({&layout, &data, title, QDate(2026, 12, 7), paper});
}

// The items whose top is at y, left to right, as "x text|x text"; dot leaders without their dots.
QString lineAt(const ReportPage &page, int y)
{
    QMap<int, QString> line;
    for (const PageItem &item : page.items)
        if (item.where.y() == y)
            line[item.where.x()] = u"%1 "_s.arg(item.where.x())
                                   + (item.kind == Kind::Line  ? u"<line>"_s
                                      : item.kind == Kind::Bar ? u"<bar>"_s
                                                               : QString(item.text).remove(QRegularExpression(u" [ .]*$"_s)));
    return line.values().join(u'|');
}

// Where an item's ink goes: a text as wide as it prints, placed in its box as aligned.
QRect inkOf(const PageItem &item)
{
    if (item.kind != Kind::Label)
        return QRect(item.where.topLeft(), QSize(item.where.width(), std::max(item.where.height(), 1)));
    const int width = qCeil(ReportPages::textWidth(item.text, item.font));
    const Qt::Alignment side = item.alignment & Qt::AlignHorizontal_Mask;
    const int spare = item.where.width() - width;
    return {item.where.x() + (side == Qt::AlignRight ? spare : side == Qt::AlignHCenter ? spare / 2 : 0), item.where.y(),
            width, item.where.height()};
}

// "day headings/entry lines/day total rules" on the page; "c" after the headings when one of them
// is a day's heading continued.
QString counts(const ReportPage &page)
{
    int headings = 0, entries = 0, rules = 0;
    QString continued;
    for (const PageItem &item : page.items) {
        headings += item.kind == Kind::Label && (item.font.underline || item.where.width() == 3456);
        continued += item.font.underline && item.text.endsWith(u", 2001 (continued)") ? u"c"_s : QString();
        entries += item.kind == Kind::Label && item.where.x() == 1584 && item.where.width() == 720;
        rules += item.kind == Kind::Line;
    }
    return u"%1%2/%3/%4"_s.arg(headings).arg(continued).arg(entries).arg(rules);
}

} // namespace

// The calorie reports laid out on letter paper (1440 twips margins) and drawn.
class TestReportLayout : public QObject
{
    Q_OBJECT

private slots:
    // A German default locale must not show in dates or numbers.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }

    void firstPage_data()
    {
        QTest::addColumn<bool>("summary");
        QTest::addColumn<bool>("empty");
        QTest::addColumn<int>("y");
        QTest::addColumn<QString>("expected");
        const auto add = [](bool summary, bool empty, int y, const char *line) {
            QTest::addRow("%s%s at %d", summary ? "summary" : "report", empty ? " of nothing" : "", y)
                << summary << empty << y << QString::fromUtf8(line);
        };
        // Report: page header 618 and report header 6, so Monday's heading band starts at 2064,
        // its entries at 2454, its total line at 3204 (+120 for the texts), Tuesday at 3618.
        add(false, false, 1440, "1440 Calorie Report for Jo");
        add(false, false, 2454, "1584 12:00 AM|2448 Correction|6780 1.0|7488 each|8352 -150|9648 -0.5");
        add(false, false, 3054, "1584 6:05 PM|2448 Apple pie|6780 1.3|7488 slice|8352 1,235|9072 2.5");
        add(false, false, 3324,
            "2304 5|2880 Foods|3744 No|4320 Supplements|5760 2|6336 Entrees|8352 1,685|9072 2.5|9648 1.0");
        add(false, false, 4278,
            "2304 1|2880 Foods|3744 1|4320 Supplements|5760 No|6336 Entrees|8352 400|9072 0.0|9648 0.0");
        // The closing block after Tuesday's total line, at 4572.
        add(false, false, 5004, "3168 Days Reported|5760 2");
        // Summary: page header 594; a day is 174 + 6 per entry + 6; the closing block at 2436.
        add(true, false, 2040, "1584 Monday, March 5, 2001|5040 5|7272 2|8064 2.5|8640 1.0|9360 1,685");
        add(true, false, 2250, "1584 Tuesday, March 6, 2001|5040 1|6648 1|9360 400");
        add(true, false, 3396, "3156 Grand Total Calories|5748 2,085");
        // No days: the closing block right under the page header, with zeros.
        add(false, true, 2784, "3168 Grand Total Calories|5760 0");
    }
    void firstPage()
    {
        QFETCH(bool, summary);
        QFETCH(bool, empty);
        QFETCH(int, y);
        const auto pages =
            layOut(summary ? drCalorieSummary() : drCalorieReport(), empty ? grandTotals(noTotals) : twoDays());
        QCOMPARE(pages.size(), 1u);
        QTEST(lineAt(pages.front(), y), "expected");
    }

    // Each page as "day headings/entry lines/day total rules"; every page carries its number and
    // the date at footerY; the closing block's heading lands at summaryY on the last page.

    void pagination_data()
    {
        QTest::addColumn<bool>("summary");
        QTest::addColumn<QList<int>>("entries");
        QTest::addColumn<int>("paper"); // its height; Letter is 15840
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("footerY");
        QTest::addColumn<int>("summaryY");
        // A day of ten is 2304 high: five to a page; the closing block (3462) goes whole to a sixth.
        QTest::newRow("days kept whole") << false << QList<int>(25, 10) << 15840
                                         << QStringList(5, "5/50/5") + QStringList{"0/0/0"} << 14154 << 2058;
        // Longer than a page: it runs on from where it starts, its heading continued on the next.
        QTest::newRow("long day flows") << false << QList<int>{100} << 15840 << QStringList{"1/77/0", "1c/23/1"} << 14154
                                        << 2448 + 23 * 150 + 414;
        // 426 twips are left after five days: room for a heading (390) but not its first line.
        QTest::newRow("heading not left alone") << false << QList<int>{10, 10, 10, 10, 10, 100} << 15840
                                                << QStringList{"5/50/5", "1/77/0", "1c/23/1"} << 14154 << 6312;
        // The total line goes with the day's last line: after 76 lines on the second page 162 twips
        // are left, room for the last line (150) but not with its total line (414).
        QTest::newRow("total line kept with a line") << false << QList<int>{154} << 15840
                                                     << QStringList{"1/77/0", "1c/76/0", "1c/1/1"} << 14154 << 3012;
        // Pages with room for exactly one day of 18 (3504): each day whole on a page of its own, the
        // first after the report header's page.
        QTest::newRow("a day one page high") << false << QList<int>{18, 18} << 7392
                                             << QStringList{"0/0/0", "1/18/1", "1/18/1", "0/0/0"} << 5706 << 2058;
        // Room for the report header and exactly two days: the second fills the page to its foot.
        QTest::newRow("a day fills the page") << false << QList<int>{10, 10} << 8502 << QStringList{"2/20/2", "0/0/0"}
                                              << 6816 << 2058;
        // Summary: 186 a day, 63 on a page; 47 more leave too little room for the closing block (3162).
        QTest::newRow("summary") << true << QList<int>(110, 1) << 15840 << QStringList{"63/0/0", "47/0/0", "0/0/0"} << 14016
                                 << 2310;
    }
    void pagination()
    {
        QFETCH(bool, summary);
        QFETCH(QList<int>, entries);
        QFETCH(int, paper);
        QFETCH(QStringList, expected);
        QFETCH(int, footerY);
        QFETCH(int, summaryY);
        const auto pages = layOut(summary ? drCalorieSummary() : drCalorieReport(), days(entries), {12240, paper});
        QStringList actual;
        for (std::size_t p = 0; p < pages.size(); ++p) {
            actual << counts(pages[p]);
            QCOMPARE(lineAt(pages[p], footerY),
                     u"1440 Monday, December 7, 2026|7488 Page %1 of %2"_s.arg(p + 1).arg(expected.size()));
        }
        QCOMPARE(actual, expected);
        QCOMPARE(lineAt(pages.back(), summaryY), u"2880 Summary"_s);
    }

    // On any paper, upright or on its side: every item within the margins, every text within its
    // box and clear of the others, the texts of Letter paper (nothing cut off or left out), only a
    // long food cut. The title at its designed 16.2 points while it fits beside the column
    // headings; longer, on two lines (the rule under the page header moves down), smaller only
    // when two lines need it, never below 10 points, and cut only then.
    void fitsThePaper_data()
    {
        QTest::addColumn<bool>("summary");
        QTest::addColumn<QSize>("paper");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected"); // the title: its lines, its size, whole or cut
        const QString name = u"Maeve Fionnuala O'Brien-Fitzgerald"_s;
        // Letter, A4 and A5, each upright and on its side.
        for (const QSize paper : {QSize(12240, 15840), QSize(11906, 16838), QSize(8391, 11906)})
            for (const QSize sheet : {paper, paper.transposed()})
                for (const bool summary : {false, true})
                    QTest::addRow("%s on %dx%d", summary ? "summary" : "report", sheet.width(), sheet.height()) << summary
                        << sheet << name << (summary ? "2 smaller whole" : "2 designed whole");
        const QSize letter(12240, 15840);
        QTest::newRow("report, 14 letters") << false << letter << "Caoimhe Sheehy" << "1 designed whole";
        QTest::newRow("summary, short") << true << letter << "Jo" << "1 designed whole";
        QTest::newRow("summary, 14 letters") << true << letter << "Caoimhe Sheehy" << "2 designed whole";
        QTest::newRow("report, 140 letters") << false << letter << name.repeated(4) << "2 smallest cut";
    }
    void fitsThePaper()
    {
        QFETCH(bool, summary);
        QFETCH(QSize, paper);
        QFETCH(QString, name);
        // A long food, a day over two pages, totals of six and seven digits.
        ReportRow data = days({100, 1});
        data.columns = grandTotals({qint64(2), 1234567.0, 123456.0, 999999.0, 1.0, 2.0, 617283.5, 100.0}).columns;
        data.children[1].children[0].columns[u"Food"_s] = u"Slow-roasted heirloom tomato and fennel soup with sourdough croutons and basil oil"_s;
        const QString title = u"Calorie Report for "_s + name;
        const ReportLayout &layout = summary ? drCalorieSummary() : drCalorieReport();
        const auto textsOn = [&](QSize sheet) {
            QSet<QString> texts;
            for (const ReportPage &page : layOut(layout, data, sheet, title))
                for (const PageItem &item : page.items)
                    texts << (item.text.startsWith(u"Page ") || item.text.endsWith(u"(continued)") ? QString() : item.text);
            return texts;
        };
        QCOMPARE(textsOn(paper), textsOn({12240, 15840}));
        const auto pages = layOut(layout, data, paper, title);
        QStringList lines;  // of the title, on the first page
        QSet<double> sizes; // of the title, in points as designed: the page number's are 7.8
        for (const ReportPage &page : pages) {
            std::vector<QRect> inks;
            int bottom = 0;
            for (const PageItem &item : page.items) {
                const bool isTitle = item.font.bold && item.font.italic && !item.font.underline;
                if (isTitle && &page == &pages.front())
                    lines << item.text;
                inks.push_back(inkOf(item));
                QVERIFY2(QRect(QPoint(), paper).marginsRemoved({1440, 1440, 1440, 1440}).contains(inks.back()), qPrintable(item.text));
                // Drawn smaller, a text may come out a hair wider than its box.
                QVERIFY2(ReportPages::textWidth(item.text, item.font) <= item.where.width() * 1.01 + 2, qPrintable(item.text));
                if (item.text.endsWith(u'…')) // only the food, at its size (the page number's), or a title
                    QVERIFY(isTitle || (item.text.startsWith(u"Slow-roasted") && item.font.points == page.items.back().font.points));
                if (isTitle)
                    sizes << std::round(item.font.points / page.items.back().font.points * 78) / 10;
                bottom = isTitle ? item.where.y() + item.where.height() : bottom;
                QVERIFY(item.kind != Kind::Bar || item.where.y() + 12 >= bottom); // the summary's rule runs 12 into its title
            }
            // Texts on a line a point apart at least; the boxes of two rows may overlap by 12.
            for (std::size_t i = 0; i < inks.size(); ++i)
                for (std::size_t j = 0; j < i; ++j)
                    QVERIFY2(page.items[i].kind != Kind::Label || page.items[j].kind != Kind::Label
                                 || !inks[i].adjusted(-20, 12, 20, -12).intersects(inks[j]),
                             qPrintable(page.items[i].text + u" and "_s + page.items[j].text));
        }
        const double size = sizes.size() == 1 ? *sizes.begin() : 0;
        const bool whole = lines.join(QString()).remove(u' ') == QString(title).remove(u' ');
        const char *scale = size == 16.2 ? "designed" : size == 10 ? "smallest" : size > 10 ? "smaller" : "?";
        QTEST(u"%1 %2 %3"_s.arg(lines.size()).arg(scale, whole ? "whole" : "cut"), "expected");
    }

    // Printed to a PDF in Liberation Sans for Arial, from the corner of the sheet.
    void printedPdf()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"report.pdf"_s);
        const auto pages = layOut(drCalorieReport(), days(QList<int>(12, 10)));
        QCOMPARE(pages.size(), 3u);
        {
            QPdfWriter pdf(path);
            pdf.setPageSize(QPageSize(QPageSize::Letter));
            QVERIFY(ReportPages::print(pdf, pages));
        }
        // A device that refuses to paint is a failure, not a report.
        QPdfWriter nowhere{QString()};
        QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
        QVERIFY(!ReportPages::print(nowhere, pages));
        QProcess words, fonts;
        words.start(u"pdftotext"_s, {u"-bbox"_s, u"-l"_s, u"1"_s, path, u"-"_s});
        fonts.start(u"pdffonts"_s, {path});
        QVERIFY(words.waitForFinished() && fonts.waitForFinished());
        QVERIFY(fonts.readAllStandardOutput().contains("LiberationSans-BoldItalic"));
        // The title's box starts an inch (72 points) from the corner of the sheet, whatever margins
        // the writer keeps; its 16.2 pt line (18.1 points) is centred in the box's 21.6, from 73.75.
        const QRegularExpression title(uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>Calorie</word>)re"_s);
        const QRegularExpressionMatch found = title.match(QString::fromUtf8(words.readAllStandardOutput()));
        QVERIFY(qAbs(found.captured(1).toDouble() - 72) < 0.5 && qAbs(found.captured(2).toDouble() - 73.75) < 0.5);
    }
};

QTEST_MAIN(TestReportLayout)
#include "tst_reportlayout.moc"
