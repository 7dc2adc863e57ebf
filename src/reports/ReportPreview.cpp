#include "ReportPreview.h"

#include "Clock.h"
#include "FileDialog.h"
#include "MessageBox.h"
#include "ReportPages.h"
#include "ReportPdf.h"

#include <QAction>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QToolBar>

namespace ReportPreview {

namespace {

// Laid out afresh for the sheet as it prints: its size and its orientation.
std::vector<ReportPage> pagesOn(const QPageLayout &page, const ReportLayout &layout, const ReportRow &data,
                                const QString &title)
{
    return ReportPages::layOut({&layout, &data, title, Clock::today(), ReportPdf::twips(page)});
}

} // namespace

void show(QWidget *owner, const ReportLayout &layout, const ReportRow &data, const QString &title)
{
    QPrinter printer(QPrinter::HighResolution);
    // The layout places everything from the corner of the sheet, its own margins included.
    printer.setFullPage(true);
    printer.setDocName(title);
    QPrintPreviewDialog preview(&printer, owner);
    preview.setObjectName(QStringLiteral("ReportPreview"));
    preview.setWindowTitle(layout.caption);
    // Asked again whenever the paper, its orientation or the printer changes.
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter *target) {
        if (!ReportPages::print(*target, pagesOn(target->pageLayout(), layout, data, title)))
            MessageBox::critical(&preview, QStringLiteral("The report could not be drawn for the printer."));
    });

    QAction *savePdf = new QAction(QStringLiteral("Save as PDF..."), &preview);
    savePdf->setObjectName(QStringLiteral("savePdf"));
    QObject::connect(savePdf, &QAction::triggered, &preview, [&] {
        FileDialog::Request request{QStringLiteral("Save as PDF"), QStringLiteral("PDF files (*.pdf)"),
                                    QStringLiteral("pdf"), title + QStringLiteral(".pdf")};
        const QString path = FileDialog::saveFile(&preview, request);
        if (path.isEmpty())
            return;
        const QPageLayout page = printer.pageLayout();
        if (const Status written = ReportPdf::write(path, pagesOn(page, layout, data, title), page, title); !written)
            MessageBox::failure(&preview, QStringLiteral("The report could not be saved."), written.reason());
    });
    if (auto *toolbar = preview.findChild<QToolBar *>()) {
        toolbar->addSeparator();
        toolbar->addAction(savePdf);
    }
    // Large enough to read a page.
    if (const QScreen *screen = owner ? owner->screen() : nullptr)
        preview.resize(screen->availableSize() * 0.85);
    preview.exec();
}

} // namespace ReportPreview
