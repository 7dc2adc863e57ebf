#include "Units.h"

#include "Connection.h"

Result<QStringList> Units::names() const
{
    return m_connection.statement(QStringLiteral("SELECT Units FROM Units ORDER BY Units")).texts();
}
