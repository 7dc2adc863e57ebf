#include "common/DateSpan.h"
#include "common/Format.h"
#include "common/SignPadded.h"
#include "common/SqlText.h"

#include <QLocale>
#include <QScopeGuard>
#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(DateSpan)

// Formatting of numbers and dates, and the small helpers of src/common.
class TestFormatting : public QObject
{
    Q_OBJECT

private slots:
    void patterns_data();
    void patterns();
    void germanLocale_data();
    void germanLocale();
    void floatAndDouble_data();
    void floatAndDouble();
    void value_data();
    void value();

    void signPaddedWhole_data();
    void signPaddedWhole();
    void signPaddedReal_data();
    void signPaddedReal();
    void sqlTextLiteral_data();
    void sqlTextLiteral();
    void dateSpans_data();
    void dateSpans();
    void spanContains_data();
    void spanContains();
    void calendarDays_data();
    void calendarDays();
};

namespace {

QDateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return wallClock(QDate(year, month, day), QTime(hour, minute, second));
}

// Numbers go to Format::number, dates to Format::date, date-times to Format::dateTime.
QString formatted(const QVariant &value, const QString &pattern)
{
    switch (value.metaType().id()) {
    case QMetaType::Double:
        return Format::number(value.toDouble(), pattern);
    case QMetaType::QDate:
        return Format::date(value.toDate(), pattern);
    default:
        return Format::dateTime(value.toDateTime(), pattern);
    }
}

void addNumber(double value, const char *pattern, const char *expected)
{
    QTest::addRow("%s with %s", qPrintable(QString::number(value, 'g', 17)), pattern)
        << QVariant(value) << QString::fromUtf8(pattern) << QString::fromUtf8(expected);
}

void addDate(const QVariant &value, const char *pattern, const char *expected)
{
    QTest::addRow("%s with %s", qPrintable(value.toString()), pattern)
        << value << QString::fromUtf8(pattern) << QString::fromUtf8(expected);
}

} // namespace

void TestFormatting::patterns_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");

    // Grouping and whole numbers.
    addNumber(1234.6, "#,##0", "1,235");
    addNumber(1234567.89, "#,##0", "1,234,568");
    addNumber(999, "#,##0", "999");
    addNumber(1000, "#,##0", "1,000");
    addNumber(0, "#,##0", "0");
    addNumber(-1234.5, "#,##0", "-1,235");
    addNumber(1e20, "#,##0", "100,000,000,000,000,000,000");
    addNumber(1234.5, "#,##0.0", "1,234.5");
    addNumber(999.95, "#,##0.0", "1,000.0");
    addNumber(0, "0", "0");
    addNumber(123456789012.0, "0", "123456789012");
    addNumber(0, "##0", "0");
    addNumber(5.5, "##0", "6");
    addNumber(12345, "##0", "12345");
    addNumber(0, "###0", "0");
    addNumber(1234.4, "###0", "1234");
    addNumber(0.4, "#", "");
    addNumber(1.5, "00.00", "01.50");

    // Decimals, rounded half away from zero on the shortest decimal form.
    addNumber(0.15, "0.0", "0.2");
    addNumber(2.45, "0.0", "2.5");
    addNumber(2.46, "0.0", "2.5");
    addNumber(0.05, "0.0", "0.1");
    addNumber(0.95, "0.0", "1.0");
    addNumber(9.95, "0.0", "10.0");
    addNumber(-0.05, "0.0", "-0.1");
    addNumber(-0.04, "0.0", "0.0");
    addNumber(-0.0, "0.0", "0.0");
    addNumber(1e-20, "0.0", "0.0");
    addNumber(1, "0.0", "1.0");
    addNumber(0.25, "#0.0", "0.3");
    addNumber(12.34, "#0.0", "12.3");
    addNumber(0.25, "#.0", ".3");
    addNumber(1.005, "0.00", "1.01");
    addNumber(2.675, "0.00", "2.68");
    addNumber(0, "0.00", "0.00");
    addNumber(-2.5, "0", "-3");
    addNumber(2.5, "0", "3");
    addNumber(0.5, "0", "1");
    addNumber(0.49, "0", "0");
    addNumber(1.5, "0.0#", "1.5");
    addNumber(1.234, "0.0#", "1.23");
    addNumber(1, "0.0#", "1.0");

    // Sections: positive; negative; zero.
    addNumber(2.46, "0.0;0.0;\\ ", "2.5");
    addNumber(-2.46, "0.0;0.0;\\ ", "2.5");
    addNumber(0, "0.0;0.0;\\ ", " ");
    addNumber(0.04, "0.0;0.0;\\ ", " ");
    addNumber(-0.04, "0.0;0.0;\\ ", " ");
    addNumber(0.05, "0.0;0.0;\\ ", "0.1");
    addNumber(-7, "0;0;\\ ", "7");
    addNumber(0, "0;0;\\ ", " ");
    addNumber(0.4, "0;0;\\ ", " ");
    addNumber(0.5, "0;0;\\ ", "1");
    addNumber(0, "0;0;\"No\"", "No");
    addNumber(3, "0;0;\"No\"", "3");
    addNumber(-3, "0;0;\"No\"", "3");
    addNumber(-2.5, "0.0;;\\ ", "-2.5");
    addNumber(0, "0.0;0.0;", "0.0");
    addNumber(-5, "0;(0)", "(5)");
    addNumber(-5, "0;-0", "-5");

    // Literal text around the number.
    addNumber(-1234.5, "$#,##0.00", "-$1,234.50");
    addNumber(1500, "0 \"kcal\"", "1500 kcal");
    addNumber(5, "\"a;b\" 0", "a;b 5");
    addNumber(5, "0\\;", "5;");
    addNumber(-5, "\"none\";\"less\"", "less");
    addNumber(1.5, "0%", "150%");
    addNumber(0.125, "0.0%", "12.5%");

    // Values without digits, and the general form.
    addNumber(std::numeric_limits<double>::quiet_NaN(), "0.0", "NaN");
    addNumber(std::numeric_limits<double>::infinity(), "#,##0", "Infinity");
    addNumber(-std::numeric_limits<double>::infinity(), "0", "-Infinity");
    addNumber(2.5, "", "2.5");
    addNumber(100, "", "100");
    addNumber(-3, "", "-3");
    addNumber(-0.0, "", "0");
    addNumber(1e20, "", "100000000000000000000");
    addNumber(1e-7, "", "0.0000001");

    // Dates and times.
    const QDateTime evening = at(2001, 3, 5, 18, 5, 9);
    addDate(at(2002, 8, 13), "ddd, mmm d, yyyy", "Tue, Aug 13, 2002");
    addDate(at(2002, 8, 13), "ddd, mmm d", "Tue, Aug 13");
    addDate(evening, "dddd, MMMM d, yyyy", "Monday, March 5, 2001");
    addDate(evening, "dd/mm/yyyy", "05/03/2001");
    addDate(evening, "mmm dd hh:mm AM/PM", "Mar 05 06:05 PM");
    addDate(evening, "h:nn AM/PM", "6:05 PM");
    addDate(evening, "h:nn am/pm", "6:05 pm");
    addDate(evening, "h:nn A/P", "6:05 P");
    addDate(evening, "hh:mm:ss", "18:05:09");
    addDate(evening, "h:m:s", "18:5:9");
    addDate(evening, "hh mm", "18 03");
    addDate(evening, "d/m/yy", "5/3/01");
    addDate(evening, "y", "64");
    addDate(evening, "\\d d \"of\" mmmm", "d 5 of March");
    addDate(at(2001, 3, 5, 0, 0), "h:nn AM/PM", "12:00 AM");
    addDate(at(2001, 3, 5, 0, 30), "mmm dd hh:mm AM/PM", "Mar 05 12:30 AM");
    addDate(at(2001, 3, 5, 12, 0), "h:nn AM/PM", "12:00 PM");
    addDate(at(2001, 3, 5, 23, 59), "h:nn AM/PM", "11:59 PM");
    addDate(at(2001, 3, 5, 0, 0), "hh:nn", "00:00");
    addDate(at(2021, 3, 14, 2, 30), "h:nn AM/PM", "2:30 AM");
    addDate(at(2005, 1, 9), "dd/mm/yy", "09/01/05");
    addDate(at(2001, 3, 5, 18, 5, 9), "", "3/5/2001 6:05:09 PM");
    addDate(QDate(2001, 12, 31), "", "12/31/2001");
    addDate(QDate(2001, 3, 5), "dddd d", "Monday 5");

    const char *const days[] = {"Sunday Sun", "Monday Mon", "Tuesday Tue", "Wednesday Wed",
                                "Thursday Thu", "Friday Fri", "Saturday Sat"};
    for (int i = 0; i < 7; ++i)
        addDate(at(2001, 3, 4 + i), "dddd ddd", days[i]);
    const char *const months[] = {"January Jan", "February Feb", "March Mar", "April Apr",
                                  "May May", "June Jun", "July Jul", "August Aug",
                                  "September Sep", "October Oct", "November Nov",
                                  "December Dec"};
    for (int i = 0; i < 12; ++i) {
        addDate(at(2001, i + 1, 1), "mmmm mmm", months[i]);
        addDate(at(2001, i + 1, 1), "MMMM MMM", months[i]);
    }
}

void TestFormatting::patterns()
{
    QFETCH(QVariant, value);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(formatted(value, pattern), expected);
}

void TestFormatting::germanLocale_data()
{
    patterns_data();
}

// German names, a decimal comma and a point for grouping must not leak into any pattern.
void TestFormatting::germanLocale()
{
    QFETCH(QVariant, value);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    const QLocale previous;
    const auto restore = qScopeGuard([&] { QLocale::setDefault(previous); });
    QLocale::setDefault(QLocale(QLocale::German));
    QCOMPARE(formatted(value, pattern), expected);
}

void TestFormatting::floatAndDouble_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("asFloat");
    QTest::addColumn<QString>("widened");

    QTest::newRow("0.15") << 0.15f << "0.0" << "0.2" << "0.2";
    QTest::newRow("1234.5") << 1234.5f << "#,##0" << "1,235" << "1,235";
    QTest::newRow("0.45, below half when widened") << 0.45f << "0.0" << "0.5" << "0.4";
    QTest::newRow("1.005, below half when widened") << 1.005f << "0.00" << "1.01" << "1.00";
    QTest::newRow("0.1, nine decimals") << 0.1f << "0.000000000" << "0.100000000" << "0.100000001";
    QTest::newRow("0.1, general form") << 0.1f << "" << "0.1" << "0.10000000149011612";
    QTest::newRow("-2.5") << -2.5f << "0" << "-3" << "-3";
}

void TestFormatting::floatAndDouble()
{
    QFETCH(float, value);
    QFETCH(QString, pattern);
    QFETCH(QString, asFloat);
    QFETCH(QString, widened);
    QCOMPARE(Format::number(value, pattern), asFloat);
    QCOMPARE(Format::number(static_cast<double>(value), pattern), widened);
}

void TestFormatting::value_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, const QVariant &value, const char *pattern,
                        const char *expected) {
        QTest::newRow(name) << value << QString::fromUtf8(pattern) << QString::fromUtf8(expected);
    };
    const auto text = [](const char *text) { return QVariant(QString::fromUtf8(text)); };

    const char *longDate = "dddd, MMMM d, yyyy";
    row("text date with slashes", text("2001/03/05"), longDate, "Monday, March 5, 2001");
    row("text date with dashes", text("2001-03-05"), longDate, "Monday, March 5, 2001");
    row("text date-time", text("2001-03-05 18:05:00"), "mmm dd hh:mm AM/PM", "Mar 05 06:05 PM");
    row("text date-time in the spring gap", text("2021-03-14 02:30:00"), "h:nn AM/PM", "2:30 AM");
    row("text that is no date", text("soon"), longDate, "soon");
    row("text date, number pattern", text("2001/03/05"), "0.0", "2001/03/05");
    row("text date, no pattern", text("2001/03/05"), "", "2001/03/05");
    row("text number", text("12.34"), "0.0", "12.3");
    row("text whole number, exactly", text("12345678901234567"), "#,##0",
        "12,345,678,901,234,567");
    row("text that is no number", text("abc"), "0.0", "abc");
    row("empty text", text(""), "0", "");

    row("null", QVariant(), "0.0", "");
    row("database null", QVariant(QMetaType(QMetaType::Double)), "0.0", "");
    row("int zero", QVariant(0), "0;0;\"No\"", "No");
    row("int negative", QVariant(-7), "0;0;\\ ", "7");
    row("qint64 beyond double", QVariant(qint64(9007199254740993)), "#,##0",
        "9,007,199,254,740,993");
    row("qint64 minimum", QVariant(std::numeric_limits<qint64>::min()), "0",
        "-9223372036854775808");
    row("quint64 maximum", QVariant(std::numeric_limits<quint64>::max()), "#,##0",
        "18,446,744,073,709,551,615");
    row("uint", QVariant(1234u), "0.0", "1234.0");
    row("int general", QVariant(100), "", "100");
    row("double", QVariant(0.15), "0.0", "0.2");
    row("float", QVariant(0.45f), "0.0", "0.5");
    row("date", QVariant(QDate(2001, 3, 5)), "dd/mm/yyyy", "05/03/2001");
    row("date general", QVariant(QDate(2001, 3, 5)), "", "3/5/2001");
    row("invalid date", QVariant(QDate()), "dd/mm/yyyy", "");
    row("date-time", QVariant(at(2001, 3, 5, 18, 5)), "h:nn AM/PM", "6:05 PM");
    row("date-time general, midnight", QVariant(at(2001, 3, 5)), "", "3/5/2001 12:00:00 AM");
}

void TestFormatting::value()
{
    QFETCH(QVariant, value);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(Format::value(value, pattern), expected);
}

void TestFormatting::signPaddedWhole_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("positive") << qint64(42) << " 42";
    QTest::newRow("zero") << qint64(0) << " 0";
    QTest::newRow("negative") << qint64(-7) << "-7";
    QTest::newRow("minimum") << std::numeric_limits<qint64>::min() << "-9223372036854775808";
}

void TestFormatting::signPaddedWhole()
{
    QFETCH(qint64, value);
    QFETCH(QString, expected);
    QCOMPARE(signPadded(value), expected);
}

void TestFormatting::signPaddedReal_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("2.5") << 2.5 << " 2.5";
    QTest::newRow("-0.25") << -0.25 << "-0.25";
    QTest::newRow("1e-7") << 1e-7 << " 0.0000001";
    QTest::newRow("0.1") << 0.1 << " 0.1";
    QTest::newRow("zero") << 0.0 << " 0";
    QTest::newRow("negative zero") << -0.0 << " 0";
    QTest::newRow("1e20") << 1e20 << " 100000000000000000000";
    QTest::newRow("12345678.5") << 12345678.5 << " 12345678.5";
}

void TestFormatting::signPaddedReal()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    const QLocale previous;
    const auto restore = qScopeGuard([&] { QLocale::setDefault(previous); });
    QLocale::setDefault(QLocale(QLocale::German));
    QCOMPARE(signPadded(value), expected);
}

void TestFormatting::sqlTextLiteral_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "bread"
                           << "'bread'";
    QTest::newRow("apostrophe") << "O'Brien"
                                << "'O''Brien'";
    QTest::newRow("empty") << ""
                           << "''";
    QTest::newRow("one apostrophe") << "'"
                                    << "''''";
    QTest::newRow("only apostrophes") << "'''"
                                      << "''''''''";
    QTest::newRow("quoted word") << "it's 'x'"
                                 << "'it''s ''x'''";
    QTest::newRow("double quote kept") << "5\" pan"
                                       << "'5\" pan'";
}

void TestFormatting::sqlTextLiteral()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(::sqlTextLiteral(text), expected);
}

void TestFormatting::dateSpans_data()
{
    QTest::addColumn<DateSpan>("span");
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<QDate>("last");

    QTest::newRow("day at the end of a year")
        << DateSpan::oneDay(QDate(2001, 12, 31)) << QDate(2001, 12, 31) << QDate(2002, 1, 1)
        << QDate(2001, 12, 31);
    QTest::newRow("day at the end of a month")
        << DateSpan::oneDay(QDate(2001, 4, 30)) << QDate(2001, 4, 30) << QDate(2001, 5, 1)
        << QDate(2001, 4, 30);
    QTest::newRow("day the clocks go forward")
        << DateSpan::oneDay(QDate(2021, 3, 14)) << QDate(2021, 3, 14) << QDate(2021, 3, 15)
        << QDate(2021, 3, 14);
    QTest::newRow("week across a year")
        << DateSpan::oneWeek(QDate(2002, 12, 28)) << QDate(2002, 12, 28) << QDate(2003, 1, 4)
        << QDate(2003, 1, 3);
    QTest::newRow("week over a leap day")
        << DateSpan::oneWeek(QDate(2000, 2, 28)) << QDate(2000, 2, 28) << QDate(2000, 3, 6)
        << QDate(2000, 3, 5);
    QTest::newRow("week in a common February")
        << DateSpan::oneWeek(QDate(2001, 2, 28)) << QDate(2001, 2, 28) << QDate(2001, 3, 7)
        << QDate(2001, 3, 6);
    QTest::newRow("days across a year")
        << DateSpan::selectedDays(QDate(1999, 12, 30), QDate(2000, 1, 5)) << QDate(1999, 12, 30)
        << QDate(2000, 1, 6) << QDate(2000, 1, 5);
    QTest::newRow("one selected day")
        << DateSpan::selectedDays(QDate(2001, 3, 5), QDate(2001, 3, 5)) << QDate(2001, 3, 5)
        << QDate(2001, 3, 6) << QDate(2001, 3, 5);
}

void TestFormatting::dateSpans()
{
    QFETCH(DateSpan, span);
    QFETCH(QDate, first);
    QFETCH(QDate, end);
    QFETCH(QDate, last);
    QCOMPARE(span.begin, at(first.year(), first.month(), first.day()));
    QCOMPARE(span.end, at(end.year(), end.month(), end.day()));
    QCOMPARE(span.begin.time(), QTime(0, 0));
    QCOMPARE(span.end.time(), QTime(0, 0));
    QCOMPARE(span.firstDay(), first);
    QCOMPARE(span.lastDay(), last);
}

void TestFormatting::spanContains_data()
{
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<bool>("inside");

    QTest::newRow("begin") << at(2002, 12, 28) << true;
    QTest::newRow("just before begin") << at(2002, 12, 27, 23, 59, 59) << false;
    QTest::newRow("over the new year") << at(2003, 1, 1, 0, 30) << true;
    QTest::newRow("last millisecond") << at(2003, 1, 4).addMSecs(-1) << true;
    QTest::newRow("end") << at(2003, 1, 4) << false;
}

void TestFormatting::spanContains()
{
    QFETCH(QDateTime, moment);
    QFETCH(bool, inside);
    QCOMPARE(DateSpan::oneWeek(QDate(2002, 12, 28)).contains(moment), inside);
}

void TestFormatting::calendarDays_data()
{
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<int>("days");

    QTest::newRow("same day") << QDate(2001, 3, 5) << QDate(2001, 3, 5) << 1;
    QTest::newRow("new year's eve to new year") << QDate(2001, 12, 31) << QDate(2002, 1, 1) << 2;
    QTest::newRow("over a leap day") << QDate(2000, 2, 28) << QDate(2000, 3, 1) << 3;
    QTest::newRow("common February") << QDate(2001, 2, 28) << QDate(2001, 3, 1) << 2;
    QTest::newRow("across a year") << QDate(1999, 12, 30) << QDate(2000, 1, 5) << 7;
    QTest::newRow("over the clock change") << QDate(2021, 3, 13) << QDate(2021, 3, 15) << 3;
    QTest::newRow("a leap year") << QDate(2000, 1, 1) << QDate(2000, 12, 31) << 366;
}

void TestFormatting::calendarDays()
{
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    QFETCH(int, days);
    QCOMPARE(calendarDaysInclusive(first, last), days);
}

QTEST_MAIN(TestFormatting)
#include "tst_formatting.moc"
