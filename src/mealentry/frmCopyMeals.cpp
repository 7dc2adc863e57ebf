#include "frmCopyMeals.h"

#include "Clients.h"
#include "Controls.h"
#include "Meals.h"
#include "MessageBox.h"
#include "Twips.h"
#include "deMealwright.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

frmCopyMeals::frmCopyMeals(QWidget *parent)
    : FormDialog(parent)
    , dtpDate(new QDateEdit(this))
    , cboWho(new QComboBox(this))
{
    Controls::fixedDialog(this, QStringLiteral("frmCopyMeals"), QStringLiteral("Copy Meals"), 4560, 1680);
    lblPrompt = Controls::label(this, QStringLiteral("lblPrompt"), QString(), twipRect(120, 120, 4320, 240),
                                Qt::AlignLeft | Qt::AlignTop);
    Controls::label(this, QStringLiteral("lblDay"), QStringLiteral("&Day"), twipRect(120, 516, 600, 240),
                    Qt::AlignLeft | Qt::AlignTop)
        ->setBuddy(dtpDate);
    Controls::label(this, QStringLiteral("lblWho"), QStringLiteral("&Client"), twipRect(120, 912, 600, 240),
                    Qt::AlignLeft | Qt::AlignTop)
        ->setBuddy(cboWho);

    dtpDate->setObjectName(QStringLiteral("dtpDate"));
    dtpDate->setGeometry(twipRect(840, 468, 1932, 288));
    dtpDate->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    dtpDate->setDisplayFormat(QStringLiteral("ddd MMM d yyyy"));
    dtpDate->setCalendarPopup(true);
    Controls::altDownOpensCalendar(dtpDate);
    cboWho->setObjectName(QStringLiteral("cboWho"));
    cboWho->setGeometry(twipRect(840, 864, 3600, 288));

    cmdOK = Controls::button(this, QStringLiteral("cmdOK"), QStringLiteral("OK"), twipRect(2040, 1260, 1140, 300));
    cmdCancel = Controls::button(this, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"),
                                 twipRect(3300, 1260, 1140, 300));
    cmdOK->setDefault(true);
    Controls::setTabOrder({dtpDate, cboWho, cmdOK, cmdCancel});
    connect(cmdOK, &QPushButton::clicked, this, &frmCopyMeals::cmdOK_click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool frmCopyMeals::Form_Load()
{
    idCopies.clear();
    QStringList clients;
    if (!Controls::fillNames(this, cboWho, Clients(deMealwright::instance().cnMealwright()).names(),
                             QStringLiteral("clients"), &clients))
        return false;
    cboWho->setCurrentIndex(clients.indexOf(szClient));
    lblPrompt->setText(idMeals.size() == 1 ? QStringLiteral("Copy the selected meal to:")
                                           : QStringLiteral("Copy the %1 selected meals to:").arg(idMeals.size()));
    dtpDate->setDate(dtDay);
    dtpDate->setFocus();
    return true;
}

void frmCopyMeals::cmdOK_click()
{
    if (cboWho->currentIndex() < 0) {
        MessageBox::exclamation(this, QStringLiteral("Choose the client the meals are copied to."));
        cboWho->setFocus();
        return;
    }
    const Result<QList<qint64>> copied = Meals(deMealwright::instance().cnMealwright())
                                             .copyTo(idMeals, dtpDate->date(), cboWho->currentText());
    if (!copied) {
        MessageBox::failure(this, QStringLiteral("The meals could not be copied."), copied.reason());
        return;
    }
    idCopies = *copied;
    accept();
}
