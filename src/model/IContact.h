#pragma once

#include "platform/gdata/GDataEntryContact.h"

#include <QString>
#include <memory>

namespace tavrel {

class ContactAdapter;

// An address-book entry, as a record or detached.
class IContact
{
public:
    virtual ~IContact() = default;
    virtual std::shared_ptr<ContactAdapter> adapterObject() const = 0;
    // The service entry: the one stored as xml, when it parses.
    virtual GDataEntryContactPtr gdataEntry() const = 0;
    virtual QString name() const = 0;
    virtual void setName(const QString& name) = 0;
    virtual QString xml() const = 0;
    virtual void setXml(const QString& xml) = 0;
};

} // namespace tavrel
