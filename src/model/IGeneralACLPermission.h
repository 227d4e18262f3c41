#pragma once

#include "platform/gdata/GDataEntryACL.h"

#include <QString>
#include <QVariant>
#include <memory>

namespace tavrel {

class GeneralACLPermissionAdapter;

// A document's general access ("default" or "domain"; "none", "reader", "commenter" or "writer"; with
// or without the link), as a record or detached. hasLink may be absent (an invalid QVariant).
class IGeneralACLPermission
{
public:
    virtual ~IGeneralACLPermission() = default;
    virtual std::shared_ptr<GeneralACLPermissionAdapter>
    adapterObjectForUsername(const QString& username) const = 0;
    virtual QString type() const = 0;
    virtual void setType(const QString& type) = 0;
    virtual QString role() const = 0;
    virtual void setRole(const QString& role) = 0;
    virtual QVariant hasLink() const = 0;
    virtual void setHasLink(const QVariant& hasLink) = 0;
    virtual QString xml() const = 0;
    virtual void setXml(const QString& xml) = 0;
    // The service's access-list entry: the record rebuilds the one it stored, the detached value makes
    // a new one to send.
    virtual GDataEntryACLPtr gdataEntry() const = 0;
};

} // namespace tavrel
