#pragma once

#include "Clients.h"

#include <QDialog>
#include <QString>

#include <vector>

class QListWidget;
class QPushButton;

// Asks which client a new meal view is for. After it closes, szClient holds the chosen
// client's name, or the empty text when the user cancelled (by Cancel, Esc or the close box);
// fCalorieBudget and fFVbudget hold that client's daily budgets. The values stay between
// showings; the list is read afresh each time the dialog is shown.
class frmSelectClient : public QDialog
{
    Q_OBJECT

public:
    explicit frmSelectClient(QWidget *parent = nullptr);

    QString szClient;
    float fCalorieBudget = 0;
    float fFVbudget = 0;

    // Servings of fruit and vegetables a day: the same for every client.
    static constexpr float fruitAndVegetableBudget = 5;

    QListWidget *dblClients;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void Form_Load();
    void dblClients_selectionChanged();

    std::vector<Client> rsClients;
};
