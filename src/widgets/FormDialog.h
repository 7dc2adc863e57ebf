#pragma once

#include <QDialog>

// A modal dialog that sets itself up just before it shows: exec() runs Form_Load() and shows the
// dialog only when that succeeds. A Form_Load that fails has already said why (the record is gone,
// the database could not be read), and exec() then gives Rejected at once.
class FormDialog : public QDialog
{
    Q_OBJECT

public:
    using QDialog::QDialog;

    // Reads what the dialog shows and sets its controls; false when it cannot be shown.
    virtual bool Form_Load() = 0;
    int exec() override;
};
