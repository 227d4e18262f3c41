#pragma once

#include <QString>
#include <memory>

namespace tavrel {

class ContactAdapter;

// An address-book entry, as a record or detached. The rebuilt service entry (gdataEntry) joins this
// interface with the feed client's contact entry class.
class IContact
{
public:
    virtual ~IContact() = default;
    virtual std::shared_ptr<ContactAdapter> adapterObject() const = 0;
    virtual QString name() const = 0;
    virtual void setName(const QString& name) = 0;
    virtual QString xml() const = 0;
    virtual void setXml(const QString& xml) = 0;
};

} // namespace tavrel
