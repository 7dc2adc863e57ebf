#pragma once

#include "ReportPages.h"
#include "Status.h"

#include <QPageLayout>
#include <QPageSize>
#include <QString>

#include <vector>

// Reports as PDF files, with no window and no printer.
namespace ReportPdf {

// The page a report is laid out on when no printer says otherwise: upright Letter where the
// system's measurements are US ones, A4 elsewhere; no margins (the layout places its own).
QPageLayout defaultPaper();
// A sheet in twips, as the layout step takes it: the page layout's paper in its orientation (a
// landscape one is wider than high).
QSize twips(const QPageLayout &page);

// Writes the pages to a PDF file on the paper of a page layout, in its orientation. An existing
// file is replaced only when the whole report has been written; after a failure it is as it was.
Status write(const QString &path, const std::vector<ReportPage> &pages, const QPageLayout &page,
             const QString &title);

} // namespace ReportPdf
