#pragma once

#include "Status.h"

#include <QStringList>

class Connection;

// The Units table: the units of measure a food entry may be counted in.
class Units
{
public:
    explicit Units(Connection &connection) : m_connection(connection) {}

    // Every unit's name, sorted.
    Result<QStringList> names() const;

private:
    Connection &m_connection;
};
