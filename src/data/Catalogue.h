#pragma once

#include "FoodRows.h"
#include "Status.h"

#include <QByteArray>
#include <QString>

#include <vector>

class Connection;

// One entry of the food catalogue a new diary can start with, and the USDA food group it comes
// from ("0900" for fruits), by which the benchmark generator picks foods.
struct CatalogueFood : FoodEntry
{
    QString group;
};

// The food catalogue built into the program: about 5,600 generic foods of the USDA National
// Nutrient Database (Release 21), each in "g", "oz" and its household measures. The build makes
// it with mealwright-catalogue (tools/catalogue, where its rules are) and keeps it as a resource.
namespace Catalogue {

// The entries of a catalogue text as mealwright-catalogue writes it (lines starting with "#"
// are comments), in their order.
Result<std::vector<CatalogueFood>> parse(const QByteArray &text);

// The built-in catalogue, read once; empty with the reason when the resource cannot be read.
const Result<std::vector<CatalogueFood>> &entries();

// Fills a diary with the built-in catalogue in one transaction: adds the units its entries use
// that the Units table lacks ("small", "medium", "large"), then every entry. On failure nothing
// is written. Made for a new diary (see NewDiary::create): an entry already in the diary fails.
Status fill(Connection &connection);

} // namespace Catalogue
