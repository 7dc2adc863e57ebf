#include "ReportPdf.h"

#include <QLocale>
#include <QPdfWriter>
#include <QSaveFile>

namespace ReportPdf {

QPageSize defaultPaper()
{
    return QPageSize(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                         : QPageSize::A4);
}

QSize twips(const QPageSize &paper)
{
    return paper.sizePoints() * 20;
}

Status write(const QString &path, const std::vector<ReportPage> &pages, const QPageSize &paper, const QString &title)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Status::failure(QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Mealwright"));
        pdf.setResolution(1440);
        pdf.setPageSize(paper);
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        ReportPages::print(pdf, pages);
    }
    if (!file.commit())
        return Status::failure(QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
    return {};
}

} // namespace ReportPdf
