#pragma once

#include "model/IContact.h"

namespace tavrel {

// A contact detached from any context; name and xml start as empty strings.
class ContactAdapter : public IContact
{
public:
    ContactAdapter() = default;

    std::shared_ptr<ContactAdapter> adapterObject() const override
    {
        return std::make_shared<ContactAdapter>(*this);
    }
    // The stored entry when xml parses; otherwise a new entry named by name (a contact being created).
    GDataEntryContactPtr gdataEntry() const override;
    QString name() const override { return m_name; }
    void setName(const QString& name) override { m_name = name; }
    QString xml() const override { return m_xml; }
    void setXml(const QString& xml) override { m_xml = xml; }

private:
    QString m_name = QLatin1String("");
    QString m_xml = QLatin1String("");
};

} // namespace tavrel
