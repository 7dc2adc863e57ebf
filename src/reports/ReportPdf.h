#pragma once

#include "ReportPages.h"
#include "Status.h"

#include <QPageSize>
#include <QString>

#include <vector>

// Reports as PDF files, with no window and no printer.
namespace ReportPdf {

// The paper a report is laid out on when no printer says otherwise: Letter where the system's
// measurements are US ones, A4 elsewhere.
QPageSize defaultPaper();
// A paper size in twips, as the layout step takes it.
QSize twips(const QPageSize &paper);

// Writes the pages to a PDF file on paper of that size. An existing file is replaced only when
// the whole report has been written; after a failure it is as it was.
Status write(const QString &path, const std::vector<ReportPage> &pages, const QPageSize &paper,
             const QString &title);

} // namespace ReportPdf
