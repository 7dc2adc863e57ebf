#include "MealCsv.h"

#include "CsvWriter.h"
#include "OutputFile.h"

#include <QDateTime>
#include <QIODevice>

namespace MealCsv {

namespace {

QString figure(const ReportRow &row, const char *column)
{
    return CsvWriter::number(row.value(QLatin1String(column)).toDouble());
}

void appendMeals(QByteArray &csv, const ReportRow &day)
{
    for (const ReportRow &meal : day.children) {
        const QVariant when = meal.value(QStringLiteral("When"));
        const QString whenText = when.typeId() == QMetaType::QDateTime
            ? CsvWriter::field(when.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")))
            : CsvWriter::text(when.toString());
        csv += CsvWriter::line({whenText, CsvWriter::text(meal.value(QStringLiteral("Food")).toString()),
                                figure(meal, "Amount"), CsvWriter::text(meal.value(QStringLiteral("Units")).toString()),
                                figure(meal, "Calories"), figure(meal, "Vegetables"), figure(meal, "Fruits"),
                                figure(meal, "Supplements"), figure(meal, "Entrees")});
    }
}

void appendDay(QByteArray &csv, const ReportRow &day, std::optional<double> calorieBudget)
{
    const double calories = day.value(QStringLiteral("TotalCalories")).toDouble();
    QString budget;
    QString underBudget;
    if (calorieBudget) {
        budget = CsvWriter::number(*calorieBudget);
        underBudget = calories <= *calorieBudget ? QStringLiteral("yes") : QStringLiteral("no");
    }
    const QString date = day.value(QStringLiteral("DateOnly")).toString().replace(u'/', u'-');
    csv += CsvWriter::line({CsvWriter::text(date), QString::number(day.value(QStringLiteral("TotalMeals")).toLongLong()),
                            CsvWriter::number(calories), figure(day, "TotalFruits"), figure(day, "TotalVegetables"),
                            figure(day, "TotalSupplements"), figure(day, "TotalEntrees"), budget, underBudget});
}

} // namespace

QByteArray content(const ReportRow &report, Lines lines, std::optional<double> calorieBudget)
{
    QByteArray csv;
    if (lines == Lines::PerMeal)
        csv = CsvWriter::line({QStringLiteral("When"), QStringLiteral("Food"), QStringLiteral("Amount"),
                               QStringLiteral("Units"), QStringLiteral("Calories"), QStringLiteral("Vegetables"),
                               QStringLiteral("Fruits"), QStringLiteral("Supplements"), QStringLiteral("Entrees")});
    else
        csv = CsvWriter::line({QStringLiteral("Date"), QStringLiteral("Foods"), QStringLiteral("Calories"),
                               QStringLiteral("Fruits"), QStringLiteral("Vegetables"), QStringLiteral("Supplements"),
                               QStringLiteral("Entrees"), QStringLiteral("Budget"), QStringLiteral("Under Budget")});
    for (const ReportRow &day : report.children) {
        if (lines == Lines::PerMeal)
            appendMeals(csv, day);
        else
            appendDay(csv, day, calorieBudget);
    }
    return csv;
}

Status write(const QString &path, const ReportRow &report, Lines lines, std::optional<double> calorieBudget)
{
    const QByteArray csv = content(report, lines, calorieBudget);
    return OutputFile::write(path, [&](QIODevice &device) {
        if (device.write(csv) != csv.size())
            return Status::failure(device.errorString());
        return Status();
    });
}

} // namespace MealCsv
