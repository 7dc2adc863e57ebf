#include "CommandParameters.h"

#include "Schema.h"

#include <QSqlQuery>

CommandParameters::CommandParameters(std::initializer_list<std::pair<QString, QMetaType::Type>> declared)
{
    m_parameters.reserve(declared.size());
    for (const auto &[name, type] : declared)
        m_parameters.push_back({name, type, QVariant()});
}

int CommandParameters::indexOf(QStringView name) const
{
    for (size_t i = 0; i < m_parameters.size(); ++i)
        if (QStringView(m_parameters[i].name).compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

bool CommandParameters::set(QStringView name, const QVariant &value)
{
    const int index = indexOf(name);
    if (index < 0)
        return false;
    m_parameters[static_cast<size_t>(index)].value = value;
    return true;
}

QVariant CommandParameters::value(QStringView name) const
{
    const int index = indexOf(name);
    return index < 0 ? QVariant() : m_parameters[static_cast<size_t>(index)].value;
}

void CommandParameters::bindTo(QSqlQuery &query) const
{
    for (size_t i = 0; i < m_parameters.size(); ++i) {
        const Parameter &parameter = m_parameters[i];
        QVariant bound = parameter.value;
        if (parameter.type == QMetaType::QDateTime)
            bound = Schema::whenText(parameter.value.toDateTime());
        else if (parameter.type == QMetaType::QString)
            bound = parameter.value.toString();
        query.bindValue(static_cast<int>(i), bound);
    }
}
