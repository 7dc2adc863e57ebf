#include "EntryChecks.h"

#include "DateSpan.h"
#include "Format.h"

#include <QLocale>
#include <QRegularExpression>

namespace EntryChecks {

std::optional<double> readDecimal(const QString &text)
{
    static const QRegularExpression plain(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)\\s*$"));
    if (!plain.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

namespace {

QChar foldAscii(QChar c)
{
    return c >= u'A' && c <= u'Z' ? QChar(c.unicode() + (u'a' - u'A')) : c;
}

} // namespace

bool sameName(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (foldAscii(a[i]) != foldAscii(b[i]))
            return false;
    return true;
}

std::optional<QString> matchingName(const QStringList &items, const QString &text)
{
    // An exact match wins over one that differs only in case.
    if (items.contains(text))
        return text;
    for (const QString &item : items)
        if (sameName(item, text))
            return item;
    return std::nullopt;
}

QString shownValue(double stored)
{
    return Format::number(stored, u"0.00");
}

std::optional<double> valueFromBox(const QString &text, std::optional<double> stored)
{
    if (stored && text == shownValue(*stored))
        return stored;
    return readDecimal(text);
}

std::optional<QString> amountFault(const QString &text)
{
    const std::optional<double> amount = readDecimal(text);
    if (!amount)
        return QStringLiteral("Amount must be numeric");
    if (*amount < 0)
        return QStringLiteral("Amount must be >= 0!");
    if (*amount > largestAmount)
        return QStringLiteral("Amount must be at most %1").arg(Format::number(largestAmount, u"#,##0"));
    return std::nullopt;
}

MealCheck checkMeal(const MealTexts &meal, const QStringList &foods, const QStringList &unitsOfFood)
{
    using Outcome = MealCheck::Outcome;
    if (meal.client.isEmpty())
        return {Outcome::Fault, MealField::Client, QStringLiteral("You must select a client name")};
    if (meal.food.isEmpty())
        return {Outcome::Fault, MealField::Food, QStringLiteral("You must enter a description of the food")};
    if (meal.amount.isEmpty())
        return {Outcome::Fault, MealField::Amount, QStringLiteral("You must enter the amount eaten")};
    // An amount typed and confirmed with Enter never left its box: it is checked here too.
    if (const std::optional<QString> fault = amountFault(meal.amount))
        return {Outcome::Fault, MealField::Amount, *fault};
    if (!matchingName(foods, meal.food))
        return {Outcome::OfferFood, MealField::Food,
                QStringLiteral("'%1' is not in the Foods table\r\n"
                               "Click OK to add it now or CANCEL to select a different food")
                    .arg(meal.food)};
    if (meal.units.isEmpty())
        return {Outcome::Fault, MealField::Units, QStringLiteral("You must enter the units used for measurement")};
    if (!matchingName(unitsOfFood, meal.units))
        return {Outcome::OfferUnits, MealField::Units,
                QStringLiteral("No food entry for '%1' in %2\r\n"
                               "Click OK to define one now or CANCEL to change the units")
                    .arg(meal.food, meal.units)};
    return {};
}

QDateTime joinDateAndTime(QDate date, QTime time)
{
    return wallClock(date, QTime(time.hour(), time.minute(), time.second()));
}

const std::vector<StandardTime> &standardMealTimes()
{
    static const std::vector<StandardTime> times = {
        {QStringLiteral("Breakfast"), QTime(6, 0)},  {QStringLiteral("Morning"), QTime(10, 0)},
        {QStringLiteral("Lunch"), QTime(12, 0)},     {QStringLiteral("Afternoon"), QTime(15, 0)},
        {QStringLiteral("Dinner"), QTime(18, 0)},    {QStringLiteral("Evening"), QTime(21, 0)},
    };
    return times;
}

std::optional<Fault<FoodField>> checkFood(const FoodTexts &entry, const QStringList &validUnits)
{
    if (entry.food.isEmpty())
        return Fault<FoodField>{FoodField::Food, QStringLiteral("You must enter a description of the food")};
    if (entry.calories.isEmpty())
        return Fault<FoodField>{FoodField::Calories, QStringLiteral("You must enter the number of calories per unit")};
    if (entry.units.isEmpty())
        return Fault<FoodField>{FoodField::Units, QStringLiteral("You must enter the units used for measurement")};
    if (entry.fruits.isEmpty())
        return Fault<FoodField>{FoodField::Fruits, QStringLiteral("You must enter the fruit servings per unit")};
    if (entry.vegetables.isEmpty())
        return Fault<FoodField>{FoodField::Vegetables, QStringLiteral("You must enter the vegetable servings per unit")};
    if (!matchingName(validUnits, entry.units))
        return Fault<FoodField>{FoodField::Units,
                                QStringLiteral("'%1' are not valid units\r\nSelect a valid unit").arg(entry.units)};
    // Nothing the user did not type is stored: a box that does not hold a number is refused.
    const std::pair<FoodField, const char *> numbers[] = {
        {FoodField::Calories, "Calories per unit must be numeric"},
        {FoodField::Vegetables, "Vegetable servings must be numeric"},
        {FoodField::Fruits, "Fruit servings must be numeric"},
    };
    for (const auto &[field, message] : numbers) {
        const QString &text = field == FoodField::Calories     ? entry.calories
                              : field == FoodField::Vegetables ? entry.vegetables
                                                               : entry.fruits;
        if (!readDecimal(text))
            return Fault<FoodField>{field, QString::fromLatin1(message)};
    }
    return std::nullopt;
}

QString alreadyDefined(const QString &food, const QString &units)
{
    return QStringLiteral("%1 in units %2 is already defined in the food table").arg(food, units);
}

std::variant<ClientEntry, Fault<ClientField>> checkClient(const ClientTexts &client, const QStringList &otherClients)
{
    using ClientFault = Fault<ClientField>;
    const QString name = client.name.trimmed();
    if (name.isEmpty())
        return ClientFault{ClientField::Name, QStringLiteral("Please enter the client's name")};
    // Characters as a person counts them, not UTF-16 units.
    if (name.toUcs4().size() > clientNameLength)
        return ClientFault{ClientField::Name,
                           QStringLiteral("The name can be at most %1 characters long").arg(clientNameLength)};
    if (const std::optional<QString> existing = matchingName(otherClients, name))
        return ClientFault{ClientField::Name, clientExists(*existing)};
    if (client.budget.trimmed().isEmpty())
        return ClientFault{ClientField::Budget, QStringLiteral("Please enter the daily calorie budget")};
    const std::optional<double> budget = readDecimal(client.budget);
    if (!budget || *budget <= 0 || *budget > largestCalorieBudget)
        return ClientFault{ClientField::Budget,
                           QStringLiteral("The daily calorie budget must be a number above 0 and at most %1")
                               .arg(Format::number(largestCalorieBudget, u"#,##0"))};
    return ClientEntry{name, *budget};
}

QString clientExists(const QString &existing)
{
    return QStringLiteral("There is already a client named \"%1\".").arg(existing);
}

QString budgetText(double budget)
{
    // Fixed notation (never "1e-05") with the fewest digits that read back as the same number,
    // so that a budget not retyped is saved as it was.
    return QString::number(budget, 'f', QLocale::FloatingPointShortest);
}

} // namespace EntryChecks
