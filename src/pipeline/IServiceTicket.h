#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace tavrel {

// What the service-side callbacks use of a service call's ticket: its named properties and the
// ticket itself as a value. The service client's ticket is wrapped in one of these.
class IServiceTicket
{
public:
    virtual ~IServiceTicket() = default;
    virtual QVariant propertyForKey(const QString& key) const = 0;
    // An invalid value removes the property.
    virtual void setProperty(const QString& key, const QVariant& value) = 0;
    virtual QVariantMap properties() const = 0;
    // The ticket as it travels in a result dictionary under "ticket".
    virtual QVariant ticketValue() const = 0;
};

} // namespace tavrel
