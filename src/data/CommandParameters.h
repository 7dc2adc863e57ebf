#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>

#include <initializer_list>
#include <vector>

class QSqlQuery;

// The named input parameters of a command, in the order of the command's "?" markers.
// Names are looked up without regard to case: "EndTIme" finds EndTime.
class CommandParameters
{
public:
    struct Parameter
    {
        QString name;
        QMetaType::Type type;
        QVariant value;
    };

    CommandParameters(std::initializer_list<std::pair<QString, QMetaType::Type>> declared);

    // Sets a parameter by name; false, and nothing set, when the command has no such parameter.
    bool set(QStringView name, const QVariant &value);
    QVariant value(QStringView name) const;
    // -1 when the command has no such parameter.
    int indexOf(QStringView name) const;
    const std::vector<Parameter> &list() const { return m_parameters; }

    // Binds every parameter to its marker, in order; date-times in the stored "When" form.
    void bindTo(QSqlQuery &query) const;

private:
    std::vector<Parameter> m_parameters;
};
