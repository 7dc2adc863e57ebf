#pragma once

#include "Status.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class Connection;

// One row of the Clients table. The name is the client's only identity.
struct Client
{
    QString who;
    // Calories a day; none when the row holds no number.
    std::optional<double> calorieBudget;

    friend bool operator==(const Client &, const Client &) = default;
};

// A client with the time of their last meal, as the diary holds it (the greatest "When"; empty
// when they have no meals).
struct ClientLastMeal
{
    Client client;
    QString lastMeal;

    friend bool operator==(const ClientLastMeal &, const ClientLastMeal &) = default;
};

// The Clients table. Names compare as the database compares them (without regard to case).
// Each write is one transaction (or part of the caller's) and changes exactly the client it
// names.
class Clients
{
public:
    explicit Clients(Connection &connection) : m_connection(connection) {}

    // Every client, in the order the table gives them.
    Result<std::vector<Client>> list() const;
    // The distinct names, sorted.
    Result<QStringList> names() const;
    // The client with this name; none when there is no such client.
    Result<std::optional<Client>> find(const QString &who) const;
    // The number of meals recorded for the client.
    Result<qint64> mealCount(const QString &who) const;
    // Every client with their last meal, sorted by name, read in one query: one step into the
    // index on Meals (Who, When) a client, however many meals they have.
    Result<std::vector<ClientLastMeal>> listWithLastMeal() const;

    // Adds a client; refused when another client has the same name.
    Status add(const Client &client);
    // Gives the client asRead a new name and budget; the client's meals move to the new name. A
    // name another client has is refused; one that differs from the old only in case is not. The
    // row must still hold asRead, the client as the caller read it: one another program or user
    // changed meanwhile is not written over (Status::isChanged), nor one deleted or renamed
    // meanwhile (Status::isMissing).
    Status change(const Client &asRead, const Client &changed);
    // Removes the client and every meal of theirs if they have exactly that many meals, counted
    // and removed in one transaction. Gives the number they have: meals when they were removed;
    // another number (a meal added or removed meanwhile) when nothing changed.
    Result<qint64> remove(const QString &who, qint64 meals);

private:
    Connection &m_connection;
};
