#include "CatalogueConversion.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace CatalogueConversion {

namespace {

constexpr double gramsPerOunce = 28.3495;
constexpr double servingOfFruitOrVegetable = 80;
constexpr double servingOfDriedFruit = 30;

const QString babyFoods = QStringLiteral("0300");
const QString fruitGroup = QStringLiteral("0900");
const QStringList vegetableGroups = {QStringLiteral("1100"), QStringLiteral("1600")};
const QString entreeGroup = QStringLiteral("2200");

// Words in capitals that SR21 uses for generic foods, not for brands.
const QSet<QString> genericCapitals = {QStringLiteral("USDA"), QStringLiteral("TV"), QStringLiteral("III"),
                                       QStringLiteral("VPP"), QStringLiteral("NFSMI")};
// Brands SR21 writes in mixed case.
const QStringList mixedCaseBrands = {QStringLiteral("Malt-O-Meal"), QStringLiteral("Reddi Wip"),
                                     QStringLiteral("Ready Crust"), QStringLiteral("Ensure")};

// First words of a measure that name a container, a weight or a portion, never one item.
const QSet<QString> notAnItem = {
    QStringLiteral("serving"), QStringLiteral("servings"), QStringLiteral("package"), QStringLiteral("packet"),
    QStringLiteral("can"),     QStringLiteral("container"), QStringLiteral("bottle"), QStringLiteral("box"),
    QStringLiteral("bag"),     QStringLiteral("portion"),  QStringLiteral("recipe"),  QStringLiteral("unit"),
    QStringLiteral("units"),   QStringLiteral("lb"),       QStringLiteral("oz"),      QStringLiteral("quart"),
    QStringLiteral("pint"),    QStringLiteral("gallon"),   QStringLiteral("jigger"),  QStringLiteral("g"),
    QStringLiteral("nlea"),    QStringLiteral("raw"),
};
// First words of a measure that name one whole item whatever the food.
const QSet<QString> wholeItem = {QStringLiteral("each"), QStringLiteral("item"), QStringLiteral("whole"),
                                 QStringLiteral("fruit")};
// First words of a measure and the unit they map onto.
const QHash<QString, QString> unitWords = {
    {QStringLiteral("cup"), QStringLiteral("cup")},         {QStringLiteral("cups"), QStringLiteral("cup")},
    {QStringLiteral("tbsp"), QStringLiteral("tbsp")},       {QStringLiteral("tablespoon"), QStringLiteral("tbsp")},
    {QStringLiteral("tablespoons"), QStringLiteral("tbsp")}, {QStringLiteral("tsp"), QStringLiteral("tsp")},
    {QStringLiteral("teaspoon"), QStringLiteral("tsp")},    {QStringLiteral("teaspoons"), QStringLiteral("tsp")},
    {QStringLiteral("slice"), QStringLiteral("slice")},     {QStringLiteral("slices"), QStringLiteral("slice")},
    {QStringLiteral("piece"), QStringLiteral("piece")},     {QStringLiteral("pieces"), QStringLiteral("piece")},
};
const QStringList sizes = {QStringLiteral("small"), QStringLiteral("medium"), QStringLiteral("large")};

// The runs of letters of a text.
QStringList wordsOf(QStringView text)
{
    static const QRegularExpression letters(QStringLiteral("[A-Za-z]+"));
    QStringList words;
    for (auto match = letters.globalMatch(text); match.hasNext();)
        words << match.next().captured();
    return words;
}

bool holdsWord(QStringView text, QStringView word)
{
    const QStringList words = wordsOf(text);
    return std::any_of(words.cbegin(), words.cend(),
                       [word](const QString &w) { return w.compare(word, Qt::CaseInsensitive) == 0; });
}

// The singular and plural forms a word may take in a name: "apple", "apples"; "cherry",
// "cherries"; "peach", "peaches".
QSet<QString> formsOf(const QString &word)
{
    QSet<QString> forms = {word, word + QLatin1Char('s'), word + QStringLiteral("es")};
    if (word.endsWith(QLatin1Char('s')))
        forms << word.chopped(1);
    if (word.endsWith(QStringLiteral("es")))
        forms << word.chopped(2);
    if (word.endsWith(QStringLiteral("ies")))
        forms << word.chopped(3) + QLatin1Char('y');
    if (word.endsWith(QLatin1Char('y')))
        forms << word.chopped(1) + QStringLiteral("ies");
    return forms;
}

double rounded(double value)
{
    return std::round(value * 10000) / 10000;
}

// A number as the catalogue writes it: at most 4 decimals, no trailing zeros.
QByteArray numberText(double value)
{
    QByteArray text = QByteArray::number(rounded(value), 'f', 4);
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.'))
        text.chop(1);
    return text == "-0" ? QByteArray("0") : text;
}

QList<QByteArray> linesOf(const QByteArray &table)
{
    QList<QByteArray> lines = table.split('\n');
    for (QByteArray &line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    lines.removeIf([](const QByteArray &line) { return line.isEmpty(); });
    return lines;
}

} // namespace

QStringList fields(QStringView line)
{
    QStringList parts;
    for (QStringView field : line.split(QLatin1Char('^'))) {
        if (field.size() >= 2 && field.startsWith(QLatin1Char('~')) && field.endsWith(QLatin1Char('~')))
            field = field.sliced(1, field.size() - 2);
        parts << field.toString();
    }
    return parts;
}

bool isBrandName(const Food &food)
{
    if (!food.manufacturer.trimmed().isEmpty())
        return true;
    for (const QString &brand : mixedCaseBrands)
        if (food.name.contains(brand))
            return true;
    const QStringList words = wordsOf(food.name);
    return std::any_of(words.cbegin(), words.cend(), [](const QString &word) {
        return word.size() >= 2 && word == word.toUpper() && !genericCapitals.contains(word);
    });
}

bool isKept(const Food &food)
{
    return food.group != babyFoods && !isBrandName(food);
}

QString unitOfMeasure(QStringView measure, QStringView foodName)
{
    const QString text = measure.trimmed().toString().toLower();
    if (text.contains(QStringLiteral("yield")))
        return {};
    if (text.startsWith(QStringLiteral("fl oz")))
        return QStringLiteral("fl oz");
    qsizetype end = 0;
    while (end < text.size() && text[end] >= u'a' && text[end] <= u'z')
        ++end;
    if (end == 0)
        return {};
    const QString word = text.left(end);
    const QString rest = text.mid(end).trimmed();

    if (const auto unit = unitWords.constFind(word); unit != unitWords.cend())
        return *unit;
    if (sizes.contains(word))
        return rest.isEmpty() || rest.startsWith(QLatin1Char('(')) || rest.startsWith(QLatin1Char(',')) ? word : QString();
    if (notAnItem.contains(word))
        return {};
    if (wholeItem.contains(word))
        return QStringLiteral("each");
    const QSet<QString> forms = formsOf(word);
    const QStringList nameWords = wordsOf(foodName);
    const bool named = std::any_of(nameWords.cbegin(), nameWords.cend(),
                                   [&forms](const QString &w) { return forms.contains(w.toLower()); });
    return named ? QStringLiteral("each") : QString();
}

bool isJuice(QStringView name)
{
    const qsizetype comma = name.indexOf(QLatin1Char(','));
    return holdsWord(comma < 0 ? name : name.left(comma), u"juice");
}

bool isDriedFruit(const Food &food)
{
    if (food.group != fruitGroup || isJuice(food.name))
        return false;
    for (const char16_t *prepared : {u"stewed", u"cooked", u"canned"})
        if (holdsWord(food.name, prepared))
            return false;
    if (holdsWord(food.name, u"dried") || holdsWord(food.name, u"dehydrated"))
        return true;
    const QString first = food.name.section(QLatin1Char(','), 0, 0).trimmed();
    return first == QLatin1String("Raisins") || first == QLatin1String("Prunes") || first == QLatin1String("Dates");
}

bool isMealReplacement(QStringView name)
{
    for (const char *phrase : {"instant breakfast", "meal replacement", "liquid nutrition"})
        if (name.contains(QLatin1String(phrase), Qt::CaseInsensitive))
            return true;
    return name.startsWith(QLatin1String("Formulated bar"), Qt::CaseInsensitive);
}

double servingGrams(const Food &food)
{
    return isDriedFruit(food) ? servingOfDriedFruit : servingOfFruitOrVegetable;
}

std::vector<Entry> entriesOf(const Food &food, double kcalPer100g, const std::vector<Measure> &measures)
{
    const bool fruit = food.group == fruitGroup;
    const bool vegetable = vegetableGroups.contains(food.group);
    const bool juice = isJuice(food.name);
    const double serving = servingGrams(food);
    const bool entree = food.group == entreeGroup;
    const bool supplement = isMealReplacement(food.name);

    std::vector<Entry> entries;
    const auto add = [&](const QString &units, double grams) {
        if (std::any_of(entries.cbegin(), entries.cend(), [&units](const Entry &e) { return e.units == units; }))
            return; // the first measure of a unit counts
        double servings = fruit || vegetable ? grams / serving : 0;
        if (juice)
            servings = std::min(servings, 1.0);
        entries.push_back({food.group, food.name, units, rounded(kcalPer100g * grams / 100),
                           vegetable ? rounded(servings) : 0, fruit ? rounded(servings) : 0, entree, supplement});
    };
    add(QStringLiteral("g"), 1);
    add(QStringLiteral("oz"), gramsPerOunce);
    for (const Measure &measure : measures) {
        const QString units = unitOfMeasure(measure.description, food.name);
        if (!units.isEmpty() && measure.grams > 0)
            add(units, measure.grams);
    }
    // One whole item of a food that has no measure of its own for it is one of medium size.
    const auto medium = std::find_if(entries.cbegin(), entries.cend(), [](const Entry &e) { return e.units == u"medium"; });
    if (medium != entries.cend()) {
        Entry each = *medium;
        each.units = QStringLiteral("each");
        if (std::none_of(entries.cbegin(), entries.cend(), [](const Entry &e) { return e.units == u"each"; }))
            entries.push_back(std::move(each));
    }
    return entries;
}

Conversion convert(const QByteArray &foodDes, const QByteArray &abbrev, const QByteArray &weight)
{
    Conversion result;
    const auto malformed = [&result](const char *table, int line) {
        result.entries.clear();
        result.foods = 0;
        result.error = QStringLiteral("%1 is malformed at line %2").arg(QLatin1String(table)).arg(line);
        return result;
    };

    QHash<QString, double> energy; // kcal per 100 g by NDB_No
    int number = 0;
    for (const QByteArray &line : linesOf(abbrev)) {
        ++number;
        const QStringList f = fields(QString::fromLatin1(line));
        if (f.size() < 4)
            return malformed("ABBREV.txt", number);
        bool ok = false;
        const double kcal = f[3].toDouble(&ok);
        if (ok)
            energy.insert(f[0], kcal);
        else if (!f[3].isEmpty())
            return malformed("ABBREV.txt", number);
    }

    struct Weighed
    {
        int seq;
        Measure measure;
    };
    QHash<QString, std::vector<Weighed>> measures; // by NDB_No
    number = 0;
    for (const QByteArray &line : linesOf(weight)) {
        ++number;
        const QStringList f = fields(QString::fromLatin1(line));
        bool ok[3] = {false, false, false};
        if (f.size() < 5)
            return malformed("WEIGHT.txt", number);
        const int seq = f[1].toInt(&ok[0]);
        const double amount = f[2].toDouble(&ok[1]);
        const double grams = f[4].toDouble(&ok[2]);
        if (!ok[0] || !ok[1] || !ok[2])
            return malformed("WEIGHT.txt", number);
        if (amount > 0)
            measures[f[0]].push_back({seq, {f[3], grams / amount}});
    }

    number = 0;
    for (const QByteArray &line : linesOf(foodDes)) {
        ++number;
        const QStringList f = fields(QString::fromLatin1(line));
        if (f.size() < 6)
            return malformed("FOOD_DES.txt", number);
        const Food food{f[0], f[1], f[2], f[5]};
        const auto kcal = energy.constFind(food.number);
        if (!isKept(food) || kcal == energy.cend())
            continue;
        std::vector<Weighed> weighed = measures.value(food.number);
        std::stable_sort(weighed.begin(), weighed.end(), [](const Weighed &a, const Weighed &b) { return a.seq < b.seq; });
        std::vector<Measure> inOrder;
        for (const Weighed &w : weighed)
            inOrder.push_back(w.measure);
        for (Entry &entry : entriesOf(food, *kcal, inOrder))
            result.entries.push_back(std::move(entry));
        ++result.foods;
    }
    if (result.foods == 0)
        result.error = QStringLiteral("no food of FOOD_DES.txt was kept");
    return result;
}

QByteArray toTsv(const std::vector<Entry> &entries)
{
    QByteArray text = "# The food catalogue, made by mealwright-catalogue from the USDA National Nutrient Database, "
                      "Release 21 (public domain).\n"
                      "# group\tfood\tunits\tkcal per unit\tvegetable servings\tfruit servings\tentree\tsupplement\n";
    for (const Entry &e : entries) {
        text += e.group.toUtf8() + '\t' + e.food.toUtf8() + '\t' + e.units.toUtf8() + '\t' + numberText(e.caloriesPerUnit)
                + '\t' + numberText(e.vegetableServings) + '\t' + numberText(e.fruitServings) + '\t'
                + (e.entree ? '1' : '0') + '\t' + (e.supplement ? '1' : '0') + '\n';
    }
    return text;
}

} // namespace CatalogueConversion
