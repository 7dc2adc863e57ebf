#pragma once

#include "ReportLayout.h"
#include "ReportRow.h"

#include <QString>

class QWidget;

// The preview window of a printed report: its pages as they will print, on the printer's paper,
// from which the user prints the report or saves it as a PDF file.
namespace ReportPreview {

// Shows the report modally over owner until the user closes the preview. The window's caption is
// the layout's.
void show(QWidget *owner, const ReportLayout &layout, const ReportRow &data, const QString &title);

} // namespace ReportPreview
