#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// The food catalogue a new diary can start with, made from the USDA National Nutrient Database
// for Standard Reference, Release 21 (public domain): FOOD_DES.txt names the foods, ABBREV.txt
// gives their energy per 100 g and WEIGHT.txt their household measures. Every rule of the
// conversion is here, and README.md states them:
//
// - Foods: every food of FOOD_DES except baby foods (group 0300), brand-name products (see
//   isBrandName) and foods with no energy value in ABBREV. The name is Long_Desc as it stands.
// - Units: "g" (1 g) and "oz" (28.3495 g) for every food, and each household measure of WEIGHT
//   that maps onto a unit (see unitOfMeasure), grams per unit = Gm_Wgt / Amount. When several
//   measures of a food map onto the same unit, the first one (lowest Seq) counts. A food with a
//   "medium" measure and none for "each" is also in "each", one of medium size.
// - Calories per unit = kcal per 100 g x grams per unit / 100.
// - Servings: a serving is 80 g; fruit servings for the fruit group (0900), vegetable servings
//   for the vegetable (1100) and legume (1600) groups. A serving of dried fruit (see
//   isDriedFruit) is 30 g. A juice (see isJuice) counts at most one serving per unit.
// - Flags: the entree flag for the group "Meals, Entrees, and Side Dishes" (2200); the supplement
//   flag for meal replacements (see isMealReplacement).
// - Every number is stored rounded to 4 decimal places.
namespace CatalogueConversion {

// One line of the catalogue: a food in one unit, with the values per unit.
struct Entry
{
    QString group; // the USDA food group code, e.g. "0900"
    QString food;
    QString units;
    double caloriesPerUnit = 0;
    double vegetableServings = 0;
    double fruitServings = 0;
    bool entree = false;
    bool supplement = false;

    friend bool operator==(const Entry &, const Entry &) = default;
};

// A food of FOOD_DES, with the fields the rules read.
struct Food
{
    QString number;       // NDB_No
    QString group;        // FdGrp_Cd
    QString name;         // Long_Desc
    QString manufacturer; // ManufacName
};

// A line of the USDA files: its fields, split at "^", with the "~" around text taken off.
QStringList fields(QStringView line);

// A brand-name product: one with a manufacturer (ManufacName), one whose name holds a word of
// two or more letters all in capitals (SR21 writes brand and restaurant names so: "KELLOGG'S",
// "OSCAR MAYER", "POPEYES"), other than the abbreviations SR21 uses for generic foods (USDA,
// TV, III, VPP, NFSMI), and the few brands it writes in mixed case (Malt-O-Meal, Reddi Wip,
// Ready Crust, Ensure).
bool isBrandName(const Food &food);
// Whether the food is in the catalogue (by its description alone; a food with no energy value
// is left out as well): not a baby food and not a brand-name product.
bool isKept(const Food &food);

// The unit a household measure (Msre_Desc) of the food maps onto, or the empty text when it
// maps onto none. Letter case is ignored. A measure that says what something else yields
// ("fruit yields", "unit (yield from 1 lb ...)") maps onto none. Otherwise by its first word:
// "fl oz" -> "fl oz"; "cup(s)" -> "cup"; "tbsp", "tablespoon(s)" -> "tbsp"; "tsp",
// "teaspoon(s)" -> "tsp"; "slice(s)" -> "slice"; "piece(s)" -> "piece"; "small", "medium",
// "large" alone or followed by "(" or "," -> that size ("small box" is none); a word for a
// container, a weight or a portion (serving, package, can, oz, lb, ...) -> none; "each",
// "item", "whole", "fruit", or a word that is, singular or plural, a word of the food's name
// ("apple" for "Apples, raw", "sandwich", "egg", "raisins") -> "each", one whole item.
QString unitOfMeasure(QStringView measure, QStringView foodName);

// A juice: the part of the name before its first comma holds the word "juice" ("Orange juice,
// raw", "Juice, apple", "Vegetable juice cocktail"), unlike fruit packed in juice ("Peaches,
// canned, juice pack").
bool isJuice(QStringView name);
// Dried fruit, of the fruit group: not a juice, the name holds "dried" or "dehydrated", or it
// starts with "Raisins", "Prunes" or "Dates"; but not when it holds "stewed", "cooked" or
// "canned".
bool isDriedFruit(const Food &food);
// A meal replacement: the name holds "instant breakfast", "meal replacement", "liquid
// nutrition" or starts with "Formulated bar" (most of those in SR21 are brand-name products).
bool isMealReplacement(QStringView name);

// The grams of one fruit or vegetable serving of the food.
double servingGrams(const Food &food);

// The entries of one food of energy kcalPer100g, in the units of its measures: pairs of
// Msre_Desc and grams per unit, in the order of Seq.
struct Measure
{
    QString description;
    double grams = 0;
};
std::vector<Entry> entriesOf(const Food &food, double kcalPer100g, const std::vector<Measure> &measures);

struct Conversion
{
    std::vector<Entry> entries; // by food in the order of FOOD_DES, then g, oz, the measures in order of Seq
    int foods = 0;              // foods kept
    QString error;              // set when the tables could not be read
};
// The catalogue from the contents of FOOD_DES.txt, ABBREV.txt and WEIGHT.txt.
Conversion convert(const QByteArray &foodDes, const QByteArray &abbrev, const QByteArray &weight);

// The catalogue as text: a comment line, then one entry a line, tab-separated: group, food,
// units, calories, vegetable servings, fruit servings, entree (0 or 1), supplement (0 or 1).
QByteArray toTsv(const std::vector<Entry> &entries);

} // namespace CatalogueConversion
