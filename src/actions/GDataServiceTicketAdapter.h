#pragma once

#include "pipeline/IServiceTicket.h"
#include "platform/gdata/GDataServiceTicket.h"

namespace tavrel {

// The service client's ticket as the pipeline's callbacks see it: its named properties, and the
// ticket itself (a GDataServiceTicketPtr) as the value under "ticket".
class GDataServiceTicketAdapter : public IServiceTicket
{
public:
    explicit GDataServiceTicketAdapter(GDataServiceTicketPtr ticket);

    const GDataServiceTicketPtr& ticket() const { return m_ticket; }

    QVariant propertyForKey(const QString& key) const override;
    void setProperty(const QString& key, const QVariant& value) override;
    QVariantMap properties() const override;
    QVariant ticketValue() const override;

private:
    GDataServiceTicketPtr m_ticket;
};

} // namespace tavrel
