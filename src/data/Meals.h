#pragma once

#include "DateSpan.h"
#include "Status.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

class Connection;

// One row of the Meals table.
struct Meal
{
    qint64 id = 0;
    QString who;
    QDateTime when; // wall-clock time (see DateSpan.h), to the second
    QString food;
    double amount = 0;
    QString units;
    // "When" as the table holds it, which another program may have written in another form, or
    // not as a time at all. A write stores it as it is while it is set; clear it to store when.
    QString whenAsStored;

    friend bool operator==(const Meal &, const Meal &) = default;
};

// The Meals table: every food each client ate. Each write is one transaction (or part of the
// caller's) and changes exactly the row it names.
class Meals
{
public:
    explicit Meals(Connection &connection) : m_connection(connection) {}

    // The meal with this ID; none when there is no such meal.
    Result<std::optional<Meal>> byId(qint64 id) const;
    // Adds the meal (its id is ignored); gives the ID the database gave it.
    Result<qint64> insert(const Meal &meal);
    // Writes every field but the ID to the meal with that ID, provided the row still holds
    // asRead, the meal as the caller read it: a meal another program or user changed meanwhile is
    // not written over (Status::isChanged), nor one deleted meanwhile (Status::isMissing).
    Status update(const Meal &meal, const Meal &asRead);
    Status remove(qint64 id);
    // Copies the meals with these IDs to day, each at its own time of day, for the client who
    // (their own client when who is empty), in one transaction: all of them, or none when one is
    // gone or cannot be written. Gives the IDs of the copies, in the order of ids.
    Result<QList<qint64>> copyTo(const QList<qint64> &ids, QDate day, const QString &who);

    // How many meals of each food the client ate in the span, one (food, meals) pair a food,
    // the foods in no particular order.
    Result<std::vector<std::pair<QString, qint64>>> mealsPerFood(const QString &client, const DateSpan &span) const;

    // The texts the stored "When" of the meals of a span lies between, as the span queries
    // compare them: begin <= When < end, as text.
    static std::pair<QString, QString> whenRange(const DateSpan &span);

private:
    Connection &m_connection;
};
