#pragma once

#include "Clients.h"

#include "FormDialog.h"
#include <QString>

#include <vector>

class QPushButton;
class QTableWidget;

// Lists the clients, sorted by name, with their daily calorie budgets and the day of their last
// meal, and adds, changes (renames, with their meals) and deletes them (with their meals).
//
// The caller connects to its signals and calls exec(). After each change the list is read again
// and the client changed stays selected. The dialog knows nothing of the windows that show a
// client: they follow the signals.
class frmClients : public FormDialog
{
    Q_OBJECT

public:
    explicit frmClients(QWidget *parent = nullptr);

    // Reads the clients into the list. False when they could not be read (the reason has been
    // shown): the dialog is then not to be shown.
    bool Form_Load() override;

    QTableWidget *grdClients;
    QPushButton *cmdAdd;
    QPushButton *cmdChange;
    QPushButton *cmdDelete;
    QPushButton *cmdClose;

Q_SIGNALS:
    // A client was added (oldName empty) or changed; their meals are under newName now.
    void clientChanged(const QString &oldName, const QString &newName, double calorieBudget);
    // A client and all of their meals are gone.
    void clientRemoved(const QString &name);

private:
    // Reads the list again and selects the client named select (none when it is empty or gone).
    bool ReQueryClients(const QString &select);
    // The client of the selected row; empty when none is selected.
    QString selectedClient() const;
    int selectedRow() const; // -1 when none is selected
    // Widens the list (and the dialog) so that the longest name shows whole, within the screen;
    // a name longer still is cut with "..." and shows whole in its tooltip.
    void fitNames();
    void grdClients_selectionChanged();
    void editClient(const QString &who);
    void cmdDelete_click();

    std::vector<ClientLastMeal> m_clients;
};
