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

// Ann's meals of Tuesday 13 to Thursday 15 August 2002 as CSV, worked out from the fixture: the
// meals without a food entry (30, 31) are left out, Milk comes before Shake at 08:00, and the
// protein bar (1.5 bars, entree and supplement) counts 1.5 of each.
const QByteArray annPerMeal = "When,Food,Amount,Units,Calories,Vegetables,Fruits,Supplements,Entrees\r\n"
                              "2002-08-13T00:00:00,Apple,1,each,95,0,1,0,0\r\n"
                              "2002-08-13T08:00:00,Milk,1,cup,100,0,0,0,0\r\n"
                              "2002-08-13T08:00:00,Shake,2,packet,340,0,0,2,0\r\n"
                              "2002-08-13T18:05:00,Chicken pasta,1,each,250,0.5,0,0,1\r\n"
                              "2002-08-13T23:59:59,Protein bar,1.5,bar,300,0,0,1.5,1.5\r\n"
                              "2002-08-14T00:00:00,Broccoli,2,cup,60,2,0,0,0\r\n"
                              "2002-08-15T19:00:00,Milk,8,fl oz,100,0,0,0,0\r\n";
const QByteArray perDayHeader = "Date,Foods,Calories,Fruits,Vegetables,Supplements,Entrees,Budget,Under Budget\r\n";
// The three days' figures before the budget columns.
const QByteArray annDays[] = {"2002-08-13,5,1085,1,0.5,3.5,2.5", "2002-08-14,1,60,0,2,0,0", "2002-08-15,1,100,0,0,0,0"};

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<not readable>");
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
        row("no --pdf", "DB|Ann|2002-08-13|2002-08-13", 2, "--pdf FILE or --csv FILE is missing");
        row("--daily without --csv", "DB|Ann|2002-08-13|2002-08-13|--daily|--pdf|PDF", 2, "--daily is for the CSV file");
        row("--summary without --pdf", "DB|Ann|2002-08-13|2002-08-13|--summary|--csv|CSV", 2, "--summary is for the PDF file");
        row("both to one file", "DB|Ann|2002-08-13|2002-08-13|--pdf|PDF|--csv|PDF", 2, "--pdf and --csv name the same file");
        row("CSV over the diary", "DB|Ann|2002-08-13|2002-08-13|--csv|DB", 1, "was not written: it is the diary that is open");
        row("CSV with no data", "DB|Bob|2002-08-14|2002-08-20|--csv|CSV", 1, "No data recorded for the selected dates");
        row("no such day", "DB|Ann|2002-02-30|2002-03-01|--pdf|PDF", 1, "2002-02-30 is not a day");
        row("reversed", "DB|Ann|2002-08-14|2002-08-13|--pdf|PDF", 1, "comes before");
        row("367 days", "DB|Ann|2002-01-01|2003-01-02|--pdf|PDF", 1, "is 367 days; a report covers at most 366");
        row("unknown client", "DB|Zoe|2002-08-13|2002-08-13|--pdf|PDF", 1, "has no client named Zoe");
        row("no data", "DB|Bob|2002-08-14|2002-08-20|--pdf|PDF", 1, "No data recorded for the selected dates");
        row("no database", "missing.mdb|Ann|2002-08-13|2002-08-13|--pdf|PDF", 1, "cannot be opened");
        row("empty client", "DB||2002-08-13|2002-08-13|--pdf|PDF", 2, "the CLIENT is empty");
        row("line break in a name", "DB|Zoe\nAnn|2002-08-13|2002-08-13|--pdf|PDF", 1, "has no client named Zoe\\nAnn");
        row("report over the diary", "DB|Ann|2002-08-13|2002-08-13|--pdf|DB", 1, "was not written: it is the diary that is open");
        // On a server: its address in place of the file, and what is wrong with it said plainly.
        row("no such database", "SERVER/tst_reports_none|Ann|2002-08-13|2002-08-13|--pdf|PDF", 1,
            "tst_reports_none on 127.0.0.1 cannot be opened: The server holds no database by that name.");
    }

    void tool()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        const bool server = arguments.value(0).startsWith(u"SERVER");
        if (server && !TestDatabase::onServer())
            QSKIP("a case of a diary on a server");
        if (TestDatabase::onServer() && arguments.count(QStringLiteral("DB")) > 1)
            QSKIP("a diary on a server is no file that an output could be written over");
        const QString pdf = m_dir->filePath(QStringLiteral("report.pdf"));
        QFile existing(pdf);
        QVERIFY(existing.open(QIODevice::WriteOnly) && existing.write("last week's report") > 0 && existing.flush());
        for (QString &argument : arguments)
            argument = argument == u"DB"    ? m_path
                       : argument == u"PDF" ? pdf
                       : argument == u"CSV" ? m_dir->filePath(QStringLiteral("meals.csv"))
                                            : argument;
        if (server)
            arguments[0].replace(QStringLiteral("SERVER/"), m_path.section(u'/', 0, 2) + u'/');
        const auto before = TestDatabase::snapshot(m_dir->path());

        const auto [code, error] = runTool(arguments);
        QCOMPARE(code, exitCode);
        QVERIFY2(error.contains(said) && error.count(u'\n') <= (exitCode == 2 ? 3 : 1), qPrintable(error));
        // The file that was there is left as it was, and nothing else appears.
        QCOMPARE(TestDatabase::snapshot(m_dir->path()), before);
    }

    // The CSV file of the tool, per meal or per day; the day's "under budget" is at or under it,
    // and a client without a budget has neither column filled.
    void toolWritesTheCsv_data()
    {
        QTest::addColumn<QString>("budget"); // Ann's, as SQL
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("per meal") << "1500" << QStringList() << annPerMeal;
        const auto days = [](const char *first, const char *rest) {
            return perDayHeader + annDays[0] + first + annDays[1] + rest + annDays[2] + rest;
        };
        QTest::newRow("per day") << "1500" << QStringList{"--daily"} << days(",1500,yes\r\n", ",1500,yes\r\n");
        QTest::newRow("exactly on the budget") << "1085" << QStringList{"--daily"} << days(",1085,yes\r\n", ",1085,yes\r\n");
        QTest::newRow("just over") << "1084.5" << QStringList{"--daily"} << days(",1084.5,no\r\n", ",1084.5,yes\r\n");
        QTest::newRow("no budget") << "'lots'" << QStringList{"--daily"} << days(",,\r\n", ",,\r\n");
        // Both files in one run, the PDF's --summary beside the CSV's --daily.
        QTest::newRow("with the PDF") << "60" << QStringList{"--daily", "--summary", "--pdf", "PDF"}
                                      << perDayHeader + annDays[0] + ",60,no\r\n" + annDays[1] + ",60,yes\r\n" + annDays[2]
                + ",60,no\r\n";
    }

    void toolWritesTheCsv()
    {
        QFETCH(QString, budget);
        QFETCH(QStringList, options);
        QFETCH(QByteArray, expected);
        if (TestDatabase::onServer() && budget.startsWith(u'\''))
            QSKIP("a number column on a server holds no text");
        change({QStringLiteral("UPDATE Clients SET CalorieBudget = %1 WHERE Who = 'Ann'").arg(budget)});
        const QString csv = m_dir->filePath(QStringLiteral("ann.csv"));
        const QString pdf = m_dir->filePath(QStringLiteral("ann.pdf"));
        for (QString &option : options)
            option = option == u"PDF" ? pdf : option;
        QFile old(csv);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("last week's export, much longer than this week's would be"));
        old.close();
        const auto [code, error] = runTool(QStringList{m_path, "ann", "2002-08-13", "2002-08-15", "--csv", csv} + options);
        QCOMPARE(std::pair(code, error), std::pair(0, QString()));
        QCOMPARE(contentOf(csv), expected);
        QCOMPARE(QFile::exists(pdf), options.contains(pdf));
    }

    // Meals > Export... writes the active view's client and span as the tool does; it offers the
    // folder and the choice of the last export again, and a failed write says why and leaves the
    // file alone.
    void exportFromTheView()
    {
        auto frame = startFrame(m_path);
        frmMealView *view = openMealView(*frame, 0);
        Q_EMIT frame->mnuMeals->aboutToShow();
        QVERIFY(frame->mnuMealExport->isEnabled());
        view->optSelectedDays->click();
        view->mvwDates->setRange(QDate(2002, 8, 13), QDate(2002, 8, 15));
        FileDialog::setTestMode(true);
        const QString first = m_dir->filePath(QStringLiteral("first.csv"));
        FileDialog::setNextAnswer(first);
        frame->mnuMealExport->trigger();
        QCOMPARE(contentOf(first), annPerMeal);
        QCOMPARE(QFileInfo(FileDialog::requests().last().selectedFile).fileName(), "Ann 2002-08-13 to 2002-08-15.csv");

        // One line a day, from the same folder; the next export offers that choice again.
        const QString second = m_dir->filePath(QStringLiteral("second.csv"));
        FileDialog::setNextAnswer(second);
        FileDialog::setNextChecked(true);
        frame->mnuMealExport->trigger();
        QCOMPARE(contentOf(second), perDayHeader + annDays[0] + ",1500,yes\r\n" + annDays[1] + ",1500,yes\r\n"
                                        + annDays[2] + ",1500,yes\r\n");
        QCOMPARE(FileDialog::requests().last().selectedFile, m_dir->filePath("Ann 2002-08-13 to 2002-08-15.csv"));

        // Cancelled: nothing is written. Over the open diary: refused, the diary as it was.
        view->optOneDay->click();
        const auto before = TestDatabase::snapshot(m_dir->path());
        frame->mnuMealExport->trigger();
        QCOMPARE(FileDialog::requests().last().selectedFile, m_dir->filePath("Ann 2002-08-13.csv"));
        QVERIFY(FileDialog::requests().last().checked);
        if (!TestDatabase::onServer()) { // (a server diary is no file to write over)
            FileDialog::setNextAnswer(m_path);
            frame->mnuMealExport->trigger();
            QCOMPARE(TestDatabase::snapshot(m_dir->path()), before);
            const QStringList shown = messages();
            QVERIFY(shown.size() == 1 && shown[0].startsWith("X The meals of Ann could not be exported.\n\n")
                    && shown[0].contains("it is the diary that is open"));
        }

        // A day without meals has nothing to export, and no file is asked for.
        const qsizetype asked = FileDialog::requests().size();
        view->mvwDates->setSelectedDate(QDate(2002, 8, 19));
        frame->mnuMealExport->trigger();
        QCOMPARE(messages(), QStringList({"! No data recorded for the selected dates"}));
        QCOMPARE(FileDialog::requests().size(), asked);
        FileDialog::setTestMode(false);
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
