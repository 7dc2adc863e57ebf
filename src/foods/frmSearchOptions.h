#pragma once

#include "FormDialog.h"

class QComboBox;
class QLabel;
class QPushButton;

// "Find the [first|next] entry that [starts with|contains] the text: ..." The food list's Find
// shows it modally and reads szText, fFindFirst and fLeftMatch once it is hidden. It lives as
// long as the program and is only ever hidden, so it keeps the texts searched before (oldest
// first), the last text and both choices; after every OK it proposes "next".
class frmSearchOptions : public FormDialog
{
    Q_OBJECT

public:
    explicit frmSearchOptions(QWidget *parent = nullptr);

    QString szText; // empty after Cancel
    bool fFindFirst = true;
    bool fLeftMatch = true;

    QLabel *Label1;
    QComboBox *cboFirst;
    QLabel *Label2;
    QComboBox *cboMatch;
    QLabel *Label3;
    QComboBox *cboText;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;

    // The set-up before each showing: the first time "first", "starts with", no history and OK
    // disabled; afterwards the choices and texts of the last showing. The text box takes the focus.
    bool Form_Load() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Closing by the window frame is a Cancel.
    void reject() override;

private:
    bool IsNewSearchText() const;
    void cmdOK_click();
    void cmdCancel_click();

    bool m_setUp = false;
};
