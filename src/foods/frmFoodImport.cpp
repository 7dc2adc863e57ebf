#include "frmFoodImport.h"

#include "BuildInfo.h"
#include "deMealwright.h"
#include "MessageBox.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

frmFoodImport::frmFoodImport(QWidget *parent)
    : m_parent(parent)
{
    cdlImportFile.title = QStringLiteral("Import Foods");
    cdlImportFile.filter = QStringLiteral("CSV files (*.csv);;All files (*)");
    cdlImportFile.defaultSuffix = QStringLiteral("csv");
}

bool frmFoodImport::exec()
{
    const QString path = FileDialog::openExistingFile(m_parent, cdlImportFile);
    if (path.isEmpty())
        return false;
    cdlImportFile.selectedFile = path;
    const QString fileName = QFileInfo(path).fileName();

    QProgressDialog progress(QStringLiteral("Importing foods from %1...").arg(fileName), QStringLiteral("Cancel"), 0, 1,
                             m_parent);
    progress.setWindowTitle(QString::fromUtf8(BuildInfo::title));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    const auto onProgress = [&progress](qint64 done, qint64 total) {
        progress.setMaximum(static_cast<int>(std::max<qint64>(total, 1)));
        progress.setValue(static_cast<int>(done));
        return !progress.wasCanceled();
    };
    const Result<FoodImportSummary> imported =
        FoodImport::importFile(deMealwright::instance().cnMealwright(), path, onProgress);
    progress.close();

    if (!imported) {
        MessageBox::failure(m_parent,
                            QStringLiteral("The foods of %1 could not be imported.").arg(QDir::toNativeSeparators(path)),
                            imported.reason());
        return false;
    }
    if (imported->cancelled) {
        MessageBox::note(m_parent, QStringLiteral("The import was cancelled: no food entry was added."));
        return false;
    }
    MessageBox::note(m_parent, summaryText(fileName, *imported));
    return imported->added > 0;
}

QString frmFoodImport::summaryText(const QString &fileName, const FoodImportSummary &summary)
{
    const auto count = [](int n, const char *one, const char *many) {
        return QStringLiteral("%1 %2").arg(n).arg(QString::fromLatin1(n == 1 ? one : many));
    };
    QStringList lines = {
        QStringLiteral("Imported from %1:").arg(fileName),
        count(summary.added, "food entry added", "food entries added"),
        count(summary.alreadyThere, "entry already there, left as it was", "entries already there, left as they were"),
        count(summary.skipped, "line skipped", "lines skipped"),
    };
    if (!summary.firstSkipped.empty()) {
        lines << QString();
        for (const SkippedLine &skipped : summary.firstSkipped)
            lines << QStringLiteral("Line %1: %2").arg(skipped.line).arg(skipped.reason);
        const int more = summary.skipped - static_cast<int>(summary.firstSkipped.size());
        if (more > 0)
            lines << QStringLiteral("... and %1 more %2.").arg(more).arg(QLatin1String(more == 1 ? "line" : "lines"));
    }
    return lines.join(QLatin1Char('\n'));
}
