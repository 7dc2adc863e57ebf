#pragma once

#include "FormDialog.h"

#include <QDate>
#include <QList>
#include <QString>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;

// Copies meals to another day, each at its own time of day, and optionally to another client:
// yesterday's breakfast eaten again today, or a whole day repeated.
//
// The caller sets idMeals, szClient (the client the meals are copied to at first) and dtDay
// (the day offered at first), then calls exec(). OK copies all of the meals in one transaction;
// when that fails the dialog says why and stays open with what was chosen.
class frmCopyMeals : public FormDialog
{
    Q_OBJECT

public:
    explicit frmCopyMeals(QWidget *parent = nullptr);

    QList<qint64> idMeals;
    QString szClient;
    QDate dtDay;
    QList<qint64> idCopies; // out: the new meals, after OK

    bool Form_Load() override;

    QLabel *lblPrompt;
    QDateEdit *dtpDate;
    QComboBox *cboWho;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;

private:
    void cmdOK_click();
};
