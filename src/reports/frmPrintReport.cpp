#include "frmPrintReport.h"

#include "CalorieReports.h"
#include "Clients.h"
#include "Clock.h"
#include "Controls.h"
#include "DateSpan.h"
#include "deMealwright.h"
#include "EntryChecks.h"
#include "MealReportCommand.h"
#include "MessageBox.h"
#include "RangeCalendar.h"
#include "ReportPreview.h"
#include "Twips.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace {

QRadioButton *option(QGroupBox *frame, const QString &name, const QString &caption, const QRect &where)
{
    auto *button = new QRadioButton(caption, frame);
    button->setObjectName(name);
    // Wide enough for its caption in the fonts at hand, and below the frame's caption: the frames
    // have room to the right and below.
    button->setGeometry(where.x(), std::max(where.y(), frame->contentsRect().top()),
                        std::max(where.width(), button->sizeHint().width()), where.height());
    return button;
}

QGroupBox *frame(QWidget *parent, const QString &name, const QString &caption, const QRect &where)
{
    auto *box = new QGroupBox(caption, parent);
    box->setObjectName(name);
    box->setGeometry(where);
    return box;
}

} // namespace

frmPrintReport::frmPrintReport(QWidget *parent)
    : FormDialog(parent)
    , lblClientLabel(Controls::label(this, QStringLiteral("lblClientLabel"), QStringLiteral("Client"),
                                     twipRect(120, 120, 432, 192)))
    , dbcClient(new QComboBox(this))
    , fraInterval(frame(this, QStringLiteral("fraInterval"), QStringLiteral("Interval"), twipRect(120, 840, 1812, 1452)))
    , optOneDay(option(fraInterval, QStringLiteral("optOneDay"), QStringLiteral("One day"), twipRect(240, 360, 1332, 252)))
    , optOneWeek(option(fraInterval, QStringLiteral("optOneWeek"), QStringLiteral("One week"), twipRect(240, 720, 1332, 252)))
    , optSelectedDays(option(fraInterval, QStringLiteral("optSelectedDays"), QStringLiteral("Selected days"),
                             twipRect(240, 1080, 1332, 252)))
    , mvwReport(new RangeCalendar(this))
    , fraDetails(frame(this, QStringLiteral("fraDetails"), QStringLiteral("Details"), twipRect(120, 2520, 4812, 975)))
    , optShowSummary(option(fraDetails, QStringLiteral("optShowSummary"), QStringLiteral("Show daily summary only"),
                            twipRect(240, 240, 2052, 255)))
    , optShowDetails(option(fraDetails, QStringLiteral("optShowDetails"), QStringLiteral("Show details of all meals"),
                            twipRect(240, 600, 2052, 255)))
    , cmdOK(new QPushButton(QStringLiteral("OK"), this))
    , cmdCancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    Controls::fixedDialog(this, QStringLiteral("frmPrintReport"), QStringLiteral("Print Report"), 5052, 4176);

    dbcClient->setObjectName(QStringLiteral("dbcClient"));
    dbcClient->setGeometry(twipRect(120, 360, 1812, 288));
    mvwReport->setObjectName(QStringLiteral("mvwReport"));
    mvwReport->setGeometry(twipRect(2280, 120, 2664, 2256));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twipRect(120, 3660, 1095, 375));
    cmdOK->setDefault(true);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(twipRect(3840, 3660, 1095, 375));

    Controls::setTabOrder({dbcClient, mvwReport, optOneDay, optOneWeek, optSelectedDays, optShowSummary,
                           optShowDetails, cmdOK, cmdCancel});

    for (QRadioButton *interval : {optOneDay, optOneWeek, optSelectedDays})
        connect(interval, &QRadioButton::clicked, this, &frmPrintReport::optInterval_click);
    connect(cmdOK, &QPushButton::clicked, this, &frmPrintReport::cmdOK_click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool frmPrintReport::Form_Load()
{
    m_report = {};
    if (!Controls::fillNames(this, dbcClient, Clients(deMealwright::instance().cnMealwright()).names(),
                             QStringLiteral("clients"), &m_clients))
        return false;
    const std::optional<QString> client = EntryChecks::matchingName(m_clients, szClient);
    dbcClient->setCurrentIndex(client ? m_clients.indexOf(*client) : -1);

    optOneDay->setChecked(true);
    mvwReport->setRangeMode(false);
    if (szClient.isEmpty() || !dtBegin.isValid()) {
        mvwReport->setSelectedDate(Clock::today());
    } else {
        const QDate first = dtBegin.date();
        mvwReport->setSelectedDate(first);
        const int days = dtEnd.isValid() ? int(first.daysTo(dtEnd.date())) : 1;
        if (days == 7) {
            optOneWeek->setChecked(true);
        } else if (days > 1) {
            optSelectedDays->setChecked(true);
            mvwReport->setRangeMode(true);
            mvwReport->setRange(first, dtEnd.date().addDays(-1));
        }
    }
    optShowDetails->setChecked(true);
    dbcClient->setFocus();
    return true;
}

void frmPrintReport::optInterval_click()
{
    const QDate current = mvwReport->selectedDate();
    mvwReport->setRangeMode(optSelectedDays->isChecked());
    // Selected days start again from the date the calendar stands on.
    if (optSelectedDays->isChecked())
        mvwReport->setRange(current, current);
}

bool frmPrintReport::ValidateReportOptions()
{
    if (dbcClient->currentIndex() < 0) {
        MessageBox::exclamation(this, QStringLiteral("You must select a client name"));
        dbcClient->setFocus();
        return false;
    }
    if (!mvwReport->selectedDate().isValid()) {
        MessageBox::exclamation(this, QStringLiteral("You must select a report date"));
        mvwReport->setFocus();
        return false;
    }
    szClient = dbcClient->currentText();
    DateSpan span;
    if (optOneWeek->isChecked())
        span = DateSpan::oneWeek(mvwReport->selectedDate());
    else if (optSelectedDays->isChecked())
        span = DateSpan::selectedDays(mvwReport->rangeStart(), mvwReport->rangeEnd());
    else
        span = DateSpan::oneDay(mvwReport->selectedDate());
    dtBegin = span.begin;
    dtEnd = span.end;
    return true;
}

bool frmPrintReport::OpenReportData()
{
    Result<ReportRow> report = MealReportCommand::execute(deMealwright::instance().cnMealwright(), szClient,
                                                          DateSpan{dtBegin, dtEnd});
    if (!report) {
        MessageBox::failure(this, QStringLiteral("The report could not be made."), report.reason());
        return false;
    }
    if (report->value(QStringLiteral("DayCount")).toLongLong() == 0) {
        MessageBox::exclamation(this, QStringLiteral("No data recorded for the selected dates"));
        return false;
    }
    m_report = std::move(*report);
    return true;
}

void frmPrintReport::cmdOK_click()
{
    if (!ValidateReportOptions() || !OpenReportData())
        return;
    const ReportLayout &layout = optShowDetails->isChecked() ? drCalorieReport() : drCalorieSummary();
    ReportPreview::show(this, layout, m_report, QStringLiteral("Calorie Report for ") + szClient);
    m_report = {};
    accept();
}
