#pragma once

#include "ReportRow.h"

#include <QDateTime>
#include "FormDialog.h"
#include <QString>
#include <QStringList>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class RangeCalendar;

// Asks which client, which days and which report to print, then shows that report in its
// preview window and closes when the preview closes.
//
// The caller sets szClient (empty: nothing preset) and the span dtBegin..dtEnd to preset, then
// calls exec(). On OK szClient, dtBegin and dtEnd receive what was chosen. A span without data
// is refused and the dialog stays.
class frmPrintReport : public FormDialog
{
    Q_OBJECT

public:
    explicit frmPrintReport(QWidget *parent = nullptr);

    QString szClient;
    QDateTime dtBegin; // inclusive, a midnight
    QDateTime dtEnd;   // exclusive, a midnight

    // Reads the clients and presets the choices. False when the clients could not be read (the
    // reason has been shown): the dialog is then not to be shown.
    bool Form_Load() override;

    QLabel *lblClientLabel;
    QComboBox *dbcClient;
    QGroupBox *fraInterval;
    QRadioButton *optOneDay;
    QRadioButton *optOneWeek;
    QRadioButton *optSelectedDays;
    RangeCalendar *mvwReport;
    QGroupBox *fraDetails;
    QRadioButton *optShowSummary;
    QRadioButton *optShowDetails;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;

private:
    bool ValidateReportOptions();
    bool OpenReportData();
    void optInterval_click();
    void cmdOK_click();

    QStringList m_clients;
    ReportRow m_report;
};
