#include "actions/GDataServiceTicketAdapter.h"

namespace tavrel {

GDataServiceTicketAdapter::GDataServiceTicketAdapter(GDataServiceTicketPtr ticket)
    : m_ticket(std::move(ticket))
{}

QVariant GDataServiceTicketAdapter::propertyForKey(const QString& key) const
{
    return m_ticket ? m_ticket->propertyForKey(key) : QVariant();
}

void GDataServiceTicketAdapter::setProperty(const QString& key, const QVariant& value)
{
    if (m_ticket)
        m_ticket->setProperty(key, value);
}

QVariantMap GDataServiceTicketAdapter::properties() const
{
    return m_ticket ? m_ticket->properties() : QVariantMap();
}

QVariant GDataServiceTicketAdapter::ticketValue() const
{
    return m_ticket ? QVariant::fromValue(m_ticket) : QVariant();
}

} // namespace tavrel
