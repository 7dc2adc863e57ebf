#include "CsvReader.h"
#include "CsvWriter.h"
#include "DateSpan.h"
#include "Format.h"
#include "SignPadded.h"

#include <QLocale>
#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

QDateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return wallClock(QDate(year, month, day), QTime(hour, minute, second));
}

struct Case
{
    QVariant value;
    const char *pattern, *expected;
};

void rows(std::initializer_list<Case> cases)
{
    for (const auto &[value, pattern, expected] : cases)
        QTest::addRow("%s %s with %s", value.typeName(), qPrintable(value.toString()), pattern)
            << value << QString::fromUtf8(pattern) << QString::fromUtf8(expected);
}

} // namespace

// Formatting of numbers and dates, sign-padded numbers, CSV fields and calendar spans.
class TestFormatting : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    void patterns_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");

        // Grouping, padding and optional digits; a carry may add a digit and a separator.
        rows({{1234.6, "#,##0", "1,235"}, {1234567.89, "#,##0", "1,234,568"}, {999.0, "#,##0", "999"},
              {0.0, "#,##0", "0"}, {1e20, "#,##0", "100,000,000,000,000,000,000"},
              {999.95, "#,##0.0", "1,000.0"}, {0.4, "#", ""}, {0.25, "#.0", ".3"},
              {1.5, "00.00", "01.50"}, {1.234, "0.0#", "1.23"}, {1.0, "0.0#", "1.0"}});

        // Half away from zero, on the shortest decimal form: 0.15 and 1.005 are stored just below.
        // Products are rounded on the decimal they stand for, twelve significant digits (more only
        // for a longer whole part): 100 x 0.0055 is stored as 0.54999999999999993.
        rows({{0.15, "0.0", "0.2"}, {1.005, "0.00", "1.01"}, {-1234.5, "#,##0", "-1,235"},
              {0.05, "0.0", "0.1"}, {-0.05, "0.0", "-0.1"}, {-0.04, "0.0", "0.0"}, {1e-20, "0.0", "0.0"},
              {100 * 0.0055, "0.0", "0.6"}, {-100 * 0.0055, "0.0", "-0.6"}, {0.285 * 300, "#,##0", "86"},
              {0.5499999, "0.0", "0.5"}, {0.1 + 0.2, "", "0.3"}, {123456789012345.67, "#,##0.0", "123,456,789,012,346.0"}});

        // A float is rounded on its own shortest form, not on the digits of its widened double.
        rows({{0.45f, "0.0", "0.5"}, {double(0.45f), "0.0", "0.4"}, {1.005f, "0.00", "1.01"},
              {double(1.005f), "0.00", "1.00"}, {0.1f, "", "0.1"},
              {double(0.1f), "", "0.10000000149"}});

        // Sections: positive; negative (its sign not shown); zero, for an exact zero only.
        // Literal text, quoted or escaped, the sign before it.
        rows({{-2.46, "0.0;0.0;\\ ", "2.5"}, {0.04, "0.0;0.0;\\ ", "0.0"}, {-0.04, "0.0;-0.0;\\ ", "-0.0"},
              {0.35, "0;-0;\"No\"", "0"}, {-0.0, "0;-0;\"No\"", "No"}, {0, "0;0;\"No\"", "No"},
              {-2.5, "0.0;;\\ ", "-2.5"}, {0.0, "0.0;0.0;", "0.0"}, {-5.0, "0;(0)", "(5)"}, {-5.0, "\"none\";\"less\"", "less"},
              {-1234.5, "$#,##0.00", "-$1,234.50"}, {1500.0, "0 \"kcal\"", "1500 kcal"},
              {5.0, "\"a;b\" 0", "a;b 5"}, {0.125, "0.0%", "12.5%"}});

        // No digits to show; the general form never uses an exponent.
        rows({{qQNaN(), "0.0", "NaN"}, {-qInf(), "0", "-Infinity"}, {-2.5, "", "-2.5"},
              {-0.0, "", "0"}, {1e20, "", "100000000000000000000"}, {1e-7, "", "0.0000001"}});

        // Dates and times: "m" after an hour (or its ":") is minutes, elsewhere the month.
        const QVariant t = at(2001, 3, 5, 18, 5, 9);
        rows({{t, "dddd, MMMM d, yyyy", "Monday, March 5, 2001"}, {t, "dd/mm/yyyy", "05/03/2001"},
              {t, "mmm dd hh:mm AM/PM", "Mar 05 06:05 PM"}, {t, "h:nn am/pm", "6:05 pm"},
              {t, "h:nn A/P", "6:05 P"}, {t, "hh:mm:ss", "18:05:09"}, {t, "h:m:s", "18:5:9"},
              {t, "hh mm", "18 03"}, {t, "d/m/yy", "5/3/01"}, {t, "y", "64"},
              {t, "\\d d \"of\" mmmm", "d 5 of March"}, {t, "", "3/5/2001 6:05:09 PM"},
              {at(2001, 3, 5), "h:nn AM/PM", "12:00 AM"}, {at(2001, 3, 5), "hh:nn", "00:00"},
              {at(2001, 3, 5, 12), "h:nn AM/PM", "12:00 PM"}, {QDate(2001, 12, 31), "", "12/31/2001"},
              {QDate(), "dd/mm/yyyy", ""}});
        // A wall-clock time in the spring-forward gap of the test's time zone stays as it is.
        rows({{at(2021, 3, 14, 2, 30), "h:nn AM/PM", "2:30 AM"},
              {u"2021-03-14 02:30:00"_s, "h:nn AM/PM", "2:30 AM"}});

        // Names are US English whatever the locale.
        const char *const names[] = {"Sunday Sun", "Monday Mon", "Tuesday Tue", "Wednesday Wed",
            "Thursday Thu", "Friday Fri", "Saturday Sat", "January Jan", "February Feb", "March Mar",
            "April Apr", "May May", "June Jun", "July Jul", "August Aug", "September Sep",
            "October Oct", "November Nov", "December Dec"};
        for (int i = 0; i < 19; ++i)
            rows({{i < 7 ? at(2001, 3, 4 + i) : at(2001, i - 6, 1), i < 7 ? "dddd ddd" : "mmmm mmm",
                   names[i]}});

        // Any kind of value: text that reads as a date or a number, nulls, whole numbers exactly.
        rows({{u"2001/03/05"_s, "dddd, MMMM d, yyyy", "Monday, March 5, 2001"},
              {u"2001-03-05"_s, "d mmm yy", "5 Mar 01"}, {u"soon"_s, "d mmm", "soon"},
              {u"2001-03-05 18:05:00"_s, "mmm dd hh:mm AM/PM", "Mar 05 06:05 PM"},
              {u"2001/03/05"_s, "0.0", "2001/03/05"}, {u"12.34"_s, "0.0", "12.3"},
              {u"abc"_s, "0.0", "abc"}, {u"12345678901234567"_s, "#,##0", "12,345,678,901,234,567"},
              {QVariant(QMetaType(QMetaType::Double)), "0.0", ""},
              {qint64(9007199254740993), "#,##0", "9,007,199,254,740,993"},
              {std::numeric_limits<qint64>::min(), "0", "-9223372036854775808"},
              {std::numeric_limits<quint64>::max(), "#,##0", "18,446,744,073,709,551,615"}});
    }
    void patterns()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, pattern);
        QTEST(Format::value(value, pattern), "expected");
    }

    // German names, a decimal comma and a point for grouping must not leak into any pattern.
    void germanLocale_data() { patterns_data(); }
    void germanLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German));
        patterns();
    }

    // Written with a point and no grouping whatever the user's locale.
    void signPadded()
    {
        QLocale::setDefault(QLocale(QLocale::German));
        QStringList padded;
        for (const double value : {42.0, -7.0, 0.0, -0.0, -0.25, 0.1, 1e-7, 1e20, 12345678.5})
            padded << ::signPadded(value);
        QCOMPARE(padded, (QStringList{" 42", "-7", " 0", " 0", "-0.25", " 0.1", " 0.0000001",
                                      " 100000000000000000000", " 12345678.5"}));
    }

    // A field as the CSV file holds it, and as a spreadsheet reads it back (libcsv, a separate
    // reader): quotes only where a comma, quote, line break or edge blank needs them; text that
    // would run as a formula marked as text with an apostrophe.
    void csvFields_data()
    {
        QTest::addColumn<bool>("typed"); // text a person typed, rather than a date or a number
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("readBack");
        const auto row = [](const char *name, bool typed, const QString &value, const QString &written, const QString &read) {
            QTest::newRow(name) << typed << value << written << read;
        };
        row("plain", true, u"Apple"_s, u"Apple"_s, u"Apple"_s);
        row("comma", true, u"Coffee, black"_s, u"\"Coffee, black\""_s, u"Coffee, black"_s);
        row("quotes", true, u"5\" sub"_s, u"\"5\"\" sub\""_s, u"5\" sub"_s);
        row("line break", true, u"Stew\r\nwith beans"_s, u"\"Stew\r\nwith beans\""_s, u"Stew\r\nwith beans"_s);
        row("lone LF", true, u"a\nb"_s, u"\"a\nb\""_s, u"a\nb"_s);
        row("edge blanks", true, u" tea "_s, u"\" tea \""_s, u" tea "_s);
        row("formula", true, u"=HYPERLINK(\"http://x\",\"y\")"_s, u"\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""_s,
            u"'=HYPERLINK(\"http://x\",\"y\")"_s);
        row("plus", true, u"+1 slice"_s, u"'+1 slice"_s, u"'+1 slice"_s);
        row("minus", true, u"-ve"_s, u"'-ve"_s, u"'-ve"_s);
        row("at", true, u"@SUM(A1)"_s, u"'@SUM(A1)"_s, u"'@SUM(A1)"_s);
        row("tab", true, u"\t=1"_s, u"'\t=1"_s, u"'\t=1"_s);
        row("equals inside", true, u"a=b"_s, u"a=b"_s, u"a=b"_s);
        row("accents", true, u"Crème brûlée"_s, u"Crème brûlée"_s, u"Crème brûlée"_s);
        row("empty", true, QString(), QString(), QString());
        // A date or a number is no formula: "-" stays a minus sign.
        row("not typed", false, u"-5"_s, u"-5"_s, u"-5"_s);
    }

    void csvFields()
    {
        QFETCH(bool, typed);
        QFETCH(QString, value);
        QFETCH(QString, written);
        QFETCH(QString, readBack);
        const QString field = typed ? CsvWriter::text(value) : CsvWriter::field(value);
        QCOMPARE(field, written);
        // Between two other fields, on a line of its own after a header.
        const QByteArray file = CsvWriter::line({u"A"_s, u"B"_s, u"C"_s}) + CsvWriter::line({u"1"_s, field, u"2"_s});
        QVERIFY(file.endsWith("2\r\n"));
        const Result<CsvTable> table = CsvReader::read(file, {u"A"_s, u"B"_s, u"C"_s});
        QVERIFY2(table.ok(), qPrintable(table.reason()));
        QCOMPARE(table->records.size(), size_t(2));
        QCOMPARE(table->records[1].fields, QStringList({u"1"_s, readBack, u"2"_s}));
    }

    // Numbers with a point in any locale, without float noise, grouping or exponent.
    void csvNumbers()
    {
        QLocale::setDefault(QLocale(QLocale::German));
        QStringList written;
        for (const double value : {0.0, -0.0, 1500.0, 0.1 + 0.2, 1424.6000000000001, -2.5, 1e-7, 123456789012.5,
                                   std::numeric_limits<double>::infinity()})
            written << CsvWriter::number(value);
        QCOMPARE(written, (QStringList{"0", "0", "1500", "0.3", "1424.6", "-2.5", "0.0000001", "123456789012.5", ""}));
    }

    // Half-open, midnight to midnight, in wall-clock time held as UTC (the "Z"); both ends count.
    // Each span as "begin end first..last days".
    void dateSpans()
    {
        const auto iso = [](const auto &value) { return value.toString(Qt::ISODate); };
        QStringList spans;
        for (const DateSpan &s : {DateSpan::oneDay(QDate(2021, 3, 14)),
                                  DateSpan::oneWeek(QDate(2002, 12, 28)),
                                  DateSpan::selectedDays(QDate(1999, 12, 30), QDate(2000, 1, 5)),
                                  DateSpan::selectedDays(QDate(2001, 3, 5), QDate(2001, 3, 5))})
            spans << u"%1 %2 %3..%4 %5"_s
                         .arg(iso(s.begin), iso(s.end), iso(s.firstDay()), iso(s.lastDay()))
                         .arg(calendarDaysInclusive(s.firstDay(), s.lastDay()));
        QCOMPARE(spans, (QStringList{
            "2021-03-14T00:00:00Z 2021-03-15T00:00:00Z 2021-03-14..2021-03-14 1",
            "2002-12-28T00:00:00Z 2003-01-04T00:00:00Z 2002-12-28..2003-01-03 7",
            "1999-12-30T00:00:00Z 2000-01-06T00:00:00Z 1999-12-30..2000-01-05 7",
            "2001-03-05T00:00:00Z 2001-03-06T00:00:00Z 2001-03-05..2001-03-05 1"}));
    }
};

QTEST_MAIN(TestFormatting)
#include "tst_formatting.moc"
