// mealwright-catalogue SR21-FOLDER OUT.tsv: converts the USDA National Nutrient Database,
// Release 21 (FOOD_DES.txt, ABBREV.txt and WEIGHT.txt in SR21-FOLDER) into the food catalogue a
// new diary can start with (see CatalogueConversion.h). The build runs it. Exit status 0 on
// success, 1 when a table cannot be read or the catalogue cannot be written, 2 on a usage error.

#include "CatalogueConversion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace {

bool readTable(const QDir &folder, const char *name, QByteArray &out)
{
    QFile file(folder.filePath(QLatin1String(name)));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "mealwright-catalogue: %s cannot be read: %s\n", qPrintable(file.fileName()),
                     qPrintable(file.errorString()));
        return false;
    }
    out = file.readAll();
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: mealwright-catalogue SR21-FOLDER OUT.tsv\n");
        return 2;
    }
    const QDir folder(arguments[1]);
    QByteArray foodDes, abbrev, weight;
    if (!readTable(folder, "FOOD_DES.txt", foodDes) || !readTable(folder, "ABBREV.txt", abbrev)
        || !readTable(folder, "WEIGHT.txt", weight))
        return 1;

    const CatalogueConversion::Conversion catalogue = CatalogueConversion::convert(foodDes, abbrev, weight);
    if (!catalogue.error.isEmpty()) {
        std::fprintf(stderr, "mealwright-catalogue: %s\n", qPrintable(catalogue.error));
        return 1;
    }
    QSaveFile out(arguments[2]);
    if (!out.open(QIODevice::WriteOnly) || out.write(CatalogueConversion::toTsv(catalogue.entries)) < 0 || !out.commit()) {
        std::fprintf(stderr, "mealwright-catalogue: %s cannot be written: %s\n", qPrintable(arguments[2]),
                     qPrintable(out.errorString()));
        return 1;
    }
    std::printf("%s: %d foods, %zu entries\n", qPrintable(arguments[2]), catalogue.foods, catalogue.entries.size());
    return 0;
}
