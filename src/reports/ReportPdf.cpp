#include "ReportPdf.h"

#include "OutputFile.h"

#include <QLocale>
#include <QPdfWriter>

namespace ReportPdf {

QPageLayout defaultPaper()
{
    const QPageSize paper(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                             : QPageSize::A4);
    return QPageLayout(paper, QPageLayout::Portrait, QMarginsF());
}

QSize twips(const QPageLayout &page)
{
    return page.fullRectPoints().size() * 20;
}

Status write(const QString &path, const std::vector<ReportPage> &pages, const QPageLayout &page, const QString &title)
{
    return OutputFile::write(path, [&](QIODevice &file) {
        QPdfWriter pdf(&file);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Mealwright"));
        pdf.setResolution(1440);
        pdf.setPageLayout(QPageLayout(page.pageSize(), page.orientation(), QMarginsF()));
        return ReportPages::print(pdf, pages) ? Status() : Status::failure(QStringLiteral("the report could not be drawn."));
    });
}

} // namespace ReportPdf
