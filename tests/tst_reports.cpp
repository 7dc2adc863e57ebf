#include "RangeCalendar.h"
#include "Windows.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <tuple>

namespace {

// The exit code and standard error of a run of the report tool, in the given locale.
std::pair<int, QString> runTool(const QStringList &arguments, const QString &locale = QStringLiteral("C.UTF-8"))
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), locale);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(MEALWRIGHT_REPORT), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {-1, QStringLiteral("the tool did not finish normally")};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError())};
}

// What a Poppler tool prints about a PDF file.
QString poppler(const QString &tool, QStringList arguments)
{
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestReports : public DiaryTest
{
    Q_OBJECT

public:
    TestReports() : DiaryTest({}, wallClock(QDate(2002, 8, 20), QTime(9, 0))) {}

private Q_SLOTS:

    void spans_data()
    {
        QTest::addColumn<QString>("interval");
        QTest::addColumn<QDate>("first"); // the calendar's date, or the range's first day
        QTest::addColumn<QDate>("last");  // the range's last day
        QTest::addColumn<bool>("summary");
        QTest::addColumn<QDate>("end");   // the span's end, a midnight
        QTest::addColumn<QString>("caption");
        // 14 August 2002 is a Wednesday.
        QTest::newRow("one day") << "optOneDay" << QDate(2002, 8, 13) << QDate() << false << QDate(2002, 8, 14) << "Calorie Report";
        QTest::newRow("week from a Wednesday") << "optOneWeek" << QDate(2002, 8, 14) << QDate() << true << QDate(2002, 8, 21)
                                               << "Calorie Summary";
        QTest::newRow("selected days") << "optSelectedDays" << QDate(2002, 8, 13) << QDate(2002, 8, 15) << false
                                       << QDate(2002, 8, 16) << "Calorie Report";
    }

    void spans()
    {
        QFETCH(QString, interval);
        QFETCH(QDate, first);
        QFETCH(QDate, last);
        QFETCH(bool, summary);
        QFETCH(QDate, end);
        QFETCH(QString, caption);
        frmPrintReport dialog;
        dialog.szClient = QStringLiteral("Ann");
        dialog.dtBegin = wallClock(QDate(2002, 8, 1));
        dialog.dtEnd = wallClock(QDate(2002, 8, 5)); // a range of four days, collapsed below
        QVERIFY(dialog.Form_Load());
        dialog.mvwReport->setSelectedDate(first);
        dialog.findChild<QRadioButton *>(interval)->click();
        if (last.isValid()) {
            QCOMPARE(dialog.mvwReport->rangeEnd(), first); // a fresh range on the calendar's date
            dialog.mvwReport->setRange(first, last);
        }
        (summary ? dialog.optShowSummary : dialog.optShowDetails)->setChecked(true);

        // Turned on its side, the report is laid out again for the sheet and saved so.
        QString shown;
        const QString pdf = m_dir->filePath(QStringLiteral("landscape.pdf"));
        FileDialog::setTestMode(true);
        whenModal([&shown, &pdf](QWidget *preview) {
            shown = preview->windowTitle();
            for (QAction *action : preview->findChildren<QAction *>())
                if (action->text() == u"Landscape")
                    action->trigger();
            FileDialog::setNextAnswer(pdf);
            preview->findChild<QAction *>(QStringLiteral("savePdf"))->trigger();
            preview->close();
        });
        dialog.show();
        dialog.cmdOK->click();
        // The dialog closes with the preview, with the span chosen.
        QCOMPARE(QVariantList({shown, dialog.isVisible(), dialog.result(), dialog.szClient, dialog.dtBegin, dialog.dtEnd}),
                 QVariantList({caption, false, int(QDialog::Accepted), "Ann", wallClock(first), wallClock(end)}));
        QCOMPARE(messages(), QStringList());
        const QStringList size = poppler("pdfinfo", {pdf}).section(QStringLiteral("Page size:"), 1).simplified().split(u' ');
        QVERIFY(size.size() > 2 && size[0].toDouble() > size[2].toDouble());
    }

    void refusals()
    {
        frmPrintReport dialog;
        dialog.szClient.clear();
        QVERIFY(dialog.Form_Load());
        dialog.show();
        dialog.cmdOK->click();
        // Ann ate nothing on 19 August.
        dialog.dbcClient->setCurrentText(QStringLiteral("Ann"));
        dialog.mvwReport->setSelectedDate(QDate(2002, 8, 19));
        dialog.cmdOK->click();
        QCOMPARE(messages(), QStringList({"! You must select a client name", "! No data recorded for the selected dates"}));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.dbcClient->currentText(), QStringLiteral("Ann")); // kept as the user set it
    }

    void tool_data()
    {
        QTest::addColumn<QStringList>("arguments"); // "DB" stands for the diary, "PDF" for the output
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        const auto row = [](const char *name, const char *arguments, int exitCode, const char *said) {
            QTest::newRow(name) << (*arguments ? QString::fromUtf8(arguments).split(u'|') : QStringList()) << exitCode
                                << QString::fromUtf8(said);
        };
        row("no arguments", "", 2, "Usage:");
        row("no --pdf", "DB|Ann|2002-08-13|2002-08-13", 2, "--pdf FILE is missing");
        row("no such day", "DB|Ann|2002-02-30|2002-03-01|--pdf|PDF", 1, "2002-02-30 is not a day");
        row("reversed", "DB|Ann|2002-08-14|2002-08-13|--pdf|PDF", 1, "comes before");
        row("367 days", "DB|Ann|2002-01-01|2003-01-02|--pdf|PDF", 1, "is 367 days; a report covers at most 366");
        row("unknown client", "DB|Zoe|2002-08-13|2002-08-13|--pdf|PDF", 1, "has no client named Zoe");
        row("no data", "DB|Bob|2002-08-14|2002-08-20|--pdf|PDF", 1, "No data recorded for the selected dates");
        row("no database", "missing.mdb|Ann|2002-08-13|2002-08-13|--pdf|PDF", 1, "cannot be opened");
        row("empty client", "DB||2002-08-13|2002-08-13|--pdf|PDF", 2, "the CLIENT is empty");
        row("line break in a name", "DB|Zoe\nAnn|2002-08-13|2002-08-13|--pdf|PDF", 1, "has no client named Zoe\\nAnn");
        row("report over the diary", "DB|Ann|2002-08-13|2002-08-13|--pdf|DB", 1, "was not written: it is the diary that is open");
    }

    void tool()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        const QString pdf = m_dir->filePath(QStringLiteral("report.pdf"));
        QFile existing(pdf);
        QVERIFY(existing.open(QIODevice::WriteOnly) && existing.write("last week's report") > 0 && existing.flush());
        for (QString &argument : arguments)
            argument = argument == u"DB" ? m_path : argument == u"PDF" ? pdf : argument;
        const auto before = TestDatabase::snapshot(m_dir->path());

        const auto [code, error] = runTool(arguments);
        QCOMPARE(code, exitCode);
        QVERIFY2(error.contains(said) && error.count(u'\n') <= (exitCode == 2 ? 3 : 1), qPrintable(error));
        // The file that was there is left as it was, and nothing else appears.
        QCOMPARE(TestDatabase::snapshot(m_dir->path()), before);
    }

    void toolWritesThePdf_data()
    {
        QTest::addColumn<QStringList>("arguments"); // after the diary: client, days, options
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("paper");
        QTest::addColumn<QStringList>("printed"); // each in the text; "-" before one that must not be
        // The client as the diary spells it; the first day's heading or line; the closing block. Only
        // the detail lists the foods. The paper is the one the locale measures in.
        QTest::newRow("detail on Letter") << QStringList{"ann", "2002-08-13", "2002-08-15"} << "en_US.UTF-8" << "(letter)"
                                          << QStringList{"Calorie Report for Ann", "Tuesday, August 13, 2002",
                                                         "Chicken pasta", "Days Reported", "Page 1 of 1"};
        QTest::newRow("summary on A4") << QStringList{"ann", "2002-08-13", "2002-08-15", "--summary"} << "de_DE.UTF-8"
                                       << "(A4)"
                                       << QStringList{"Calorie Report for Ann", "Tuesday, August 13, 2002", "-Chicken pasta"};
        // 366 days, both ends of a leap year.
        QTest::newRow("leap year") << QStringList{"Ann", "2004-01-01", "2004-12-31", "--summary"} << "C.UTF-8" << "(A4)"
                                   << QStringList{"Thursday, January 1, 2004", "Friday, December 31, 2004", "-2002"};
    }

    void toolWritesThePdf()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, locale);
        QFETCH(QString, paper);
        QFETCH(QStringList, printed);
        change({"INSERT INTO Meals (Who, \"When\", Food, Amount, Units) VALUES ('Ann', '2004-01-01 00:00:00',"
                " 'Apple', 1, 'each'), ('Ann', '2004-12-31 23:59:59', 'Apple', 1, 'each')"});
        const QString pdf = m_dir->filePath(QStringLiteral("report.pdf"));
        const auto [code, error] = runTool(QStringList{m_path} + arguments + QStringList{"--pdf", pdf}, locale);
        QCOMPARE(std::pair(code, error), std::pair(0, QString()));
        const QString text = poppler("pdftotext", {"-layout", pdf, "-"});
        for (const QString &expected : printed)
            QVERIFY2(text.contains(expected.mid(expected.startsWith(u'-'))) != expected.startsWith(u'-'), qPrintable(expected));
        QVERIFY(poppler("pdfinfo", {pdf}).contains(paper));
    }
};

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
