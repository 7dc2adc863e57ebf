#include "FormDialog.h"

int FormDialog::exec()
{
    if (!Form_Load())
        return Rejected;
    return QDialog::exec();
}
