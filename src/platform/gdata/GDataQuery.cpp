#include "platform/gdata/GDataQuery.h"

namespace tavrel {

void GDataQuery::setParameter(const QString& name, const QString& value)
{
    for (auto& parameter : m_parameters) {
        if (parameter.first == name) {
            parameter.second = value;
            return;
        }
    }
    m_parameters.append({name, value});
}

QString GDataQuery::valueForParameterWithName(const QString& name) const
{
    for (const auto& parameter : m_parameters) {
        if (parameter.first == name)
            return parameter.second;
    }
    return {};
}

std::optional<qint64> GDataQuery::number(const QString& name) const
{
    bool ok = false;
    const qint64 value = valueForParameterWithName(name).toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

QUrl GDataQuery::URL() const
{
    if (m_parameters.isEmpty())
        return m_feedURL;
    QByteArray query = m_feedURL.query(QUrl::FullyEncoded).toUtf8();
    for (const auto& parameter : m_parameters) {
        if (!query.isEmpty())
            query += '&';
        query += QUrl::toPercentEncoding(parameter.first) + '=' + QUrl::toPercentEncoding(parameter.second);
    }
    QUrl url = m_feedURL;
    url.setQuery(QString::fromLatin1(query), QUrl::StrictMode);
    return url;
}

} // namespace tavrel
