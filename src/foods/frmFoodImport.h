#pragma once

#include "FileDialog.h"
#include "FoodImport.h"

#include <QString>

class QWidget;

// Foods > Import...: asks for a CSV file, merges it into the open diary's food catalogue behind
// a progress dialog that can cancel (then nothing is kept), and ends with a summary of what was
// added, what was there already and which lines were skipped, and why. A file that cannot be
// read or a write that fails says why; the catalogue is then as it was.
class frmFoodImport
{
public:
    explicit frmFoodImport(QWidget *parent);

    // The whole command; true when entries were added, so that the windows read them.
    bool exec();

    // The file dialog; it offers the last file imported again.
    FileDialog::Request cdlImportFile;

    // The summary shown at the end, for the file named.
    static QString summaryText(const QString &fileName, const FoodImportSummary &summary);

private:
    QWidget *m_parent;
};
