#pragma once

#include <QString>
#include <QVariant>
#include <memory>

namespace tavrel {

class GeneralACLPermissionAdapter;

// A document's general access ("default" or "domain"; "none", "reader", "commenter" or "writer"; with
// or without the link), as a record or detached. hasLink may be absent (an invalid QVariant). The
// service entry built from it (gdataEntry) joins this interface with the feed client's access-list
// entry class.
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
};

} // namespace tavrel
