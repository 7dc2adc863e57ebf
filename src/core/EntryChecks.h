#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>
#include <vector>

// The rules the meal and food editors check before they save: what counts as a number typed
// by hand, which names are the same, and which message a faulty entry gets, in the order the
// user meets them.
namespace EntryChecks {

// A number typed by hand: an optional sign and digits with at most one decimal point
// ("12", "-1.5", ".25"); blanks around it are ignored. None for anything else, the empty text
// included.
std::optional<double> readDecimal(const QString &text);

// Two names are the same as the database compares them: without regard to the case of the
// letters A to Z (so "apple" is "Apple", but "ä" is not "Ä").
bool sameName(const QString &a, const QString &b);
// The item of items that is the same name as text; none when there is none.
std::optional<QString> matchingName(const QStringList &items, const QString &text);

// A value shown in a box with two decimals and read back from it: the stored value while the
// text is still the one shown for it, so that saving an entry does not round what the user did
// not touch; otherwise the number typed. None when the text is not a number.
QString shownValue(double stored);
std::optional<double> valueFromBox(const QString &text, std::optional<double> stored);

template <typename Field>
struct Fault
{
    Field field;
    QString message;
};

// --- Meals -------------------------------------------------------------------------------------

enum class MealField { Client, Food, Amount, Units };

// The largest amount of a meal.
inline constexpr double largestAmount = 100000;

// The check made when the focus leaves the amount box: "Amount must be numeric" (an empty box
// included), "Amount must be >= 0!", "Amount must be at most 100,000"; none when the amount
// passes (0 does).
std::optional<QString> amountFault(const QString &text);

struct MealTexts
{
    QString client;
    QString food;
    QString amount;
    QString units;
};

struct MealCheck
{
    enum class Outcome {
        Pass,
        Fault,      // show message, focus on field
        OfferFood,  // the food is not in the catalogue: offer to define it (message)
        OfferUnits, // the food has no entry in these units: offer to define one (message)
    };
    Outcome outcome = Outcome::Pass;
    MealField field = MealField::Client;
    QString message;
};

// The first thing that stops a meal from being saved. foods are the catalogue's food names,
// unitsOfFood the units the typed food has entries in.
MealCheck checkMeal(const MealTexts &meal, const QStringList &foods, const QStringList &unitsOfFood);

// The moment of a meal: the date picked, at the time of day picked, to whole seconds.
QDateTime joinDateAndTime(QDate date, QTime time);

// The named meal times offered beside the time of a meal, in the order shown.
struct StandardTime
{
    QString name;
    QTime time;
};
const std::vector<StandardTime> &standardMealTimes();

// --- Foods -------------------------------------------------------------------------------------

enum class FoodField { Food, Calories, Units, Vegetables, Fruits };

struct FoodTexts
{
    QString food;
    QString calories;
    QString units;
    QString vegetables;
    QString fruits;
};

// The first fault of a catalogue entry, before the duplicate check, which needs the catalogue.
// validUnits are the names of the Units table. A text is empty only when it is exactly empty.
std::optional<Fault<FoodField>> checkFood(const FoodTexts &entry, const QStringList &validUnits);

// The message for an entry whose food and units the catalogue holds already.
QString alreadyDefined(const QString &food, const QString &units);

// --- Clients -----------------------------------------------------------------------------------

enum class ClientField { Name, Budget };

// The longest name a client may have, in characters, and the largest daily calorie budget.
inline constexpr int clientNameLength = 100;
inline constexpr double largestCalorieBudget = 20000;

struct ClientTexts
{
    QString name;
    QString budget;
};

// A client as typed, ready to be saved: the name without the blanks around it, the budget read.
struct ClientEntry
{
    QString name;
    double calorieBudget = 0;
};

// The client typed, or its first fault: no name, a name too long, the name of one of
// otherClients (compared as sameName does), no budget, or a budget that is not a plain number
// above 0 and at most largestCalorieBudget.
std::variant<ClientEntry, Fault<ClientField>> checkClient(const ClientTexts &client, const QStringList &otherClients);

// The message for a client whose name another client has already.
QString clientExists(const QString &existing);

// A budget as the client dialog shows it for typing: a plain number that readDecimal reads back
// as the same value.
QString budgetText(double budget);

} // namespace EntryChecks
