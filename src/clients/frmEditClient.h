#pragma once

#include "Clients.h"
#include "EntryChecks.h"

#include "FormDialog.h"
#include <QString>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

// Adds a client, or changes the name and daily calorie budget of one.
//
// The caller sets szClient (empty to add) and calls exec(). After OK, szClient and
// calorieBudget are the client as saved; after Cancel, Esc or the close box, szClient is as the
// caller gave it. OK checks what was typed and saves it in one transaction; when the database
// refuses, the dialog says why and stays open with what was typed.
class frmEditClient : public FormDialog
{
    Q_OBJECT

public:
    explicit frmEditClient(QWidget *parent = nullptr);

    QString szClient;
    double calorieBudget = 0;

    // Reads the client to change and sets the dialog up. False when it cannot be changed (the
    // reason has been shown): the dialog is then not to be shown.
    bool Form_Load() override;

    QLabel *lblName;
    QLineEdit *txtName;
    QLabel *lblBudget;
    QLineEdit *txtBudget;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;

private:
    std::optional<EntryChecks::ClientEntry> ValidateClient();
    void cmdOK_click();
    // Shows the client's name and budget in the boxes.
    void showClient(const Client &client);
    // After a save refused because another user changed the client: says so and offers to show
    // the client as it is now.
    void offerReload();

    std::optional<Client> m_stored; // the client being changed, as read; none when adding
    // The client as the diary held it when last read here: a save requires the row to hold it
    // still. It moves on when the user keeps their changes over another user's.
    std::optional<Client> m_read;
};
