#pragma once

#include "model/GoogleObject.h"
#include "model/IGeneralACLPermission.h"

namespace tavrel {

class FileEntryAbstract;

// The general access of one document-list entry. A refresh links a new record; the entry deletes the
// one it replaces.
class GeneralACLPermission : public GoogleObject, public IGeneralACLPermission
{
public:
    QString type() const override;
    void setType(const QString& type) override;
    QString role() const override;
    void setRole(const QString& role) override;
    QVariant hasLink() const override;
    void setHasLink(const QVariant& hasLink) override;
    QString xml() const override { return GoogleObject::xml(); }
    void setXml(const QString& xml) override { GoogleObject::setXml(xml); }
    std::shared_ptr<FileEntryAbstract> entry() const;

    std::shared_ptr<GeneralACLPermissionAdapter>
    adapterObjectForUsername(const QString& username) const override;

    // Type, role, hasLink and the entry's text from a service access-list entry; anything else is
    // ignored.
    void fillAttributeFromGDataEntry(const GDataEntryPtr& entry);
    // The entry rebuilt from the stored text; nothing when there is none or it does not parse.
    GDataEntryACLPtr gdataEntry() const override;

    // "none" with a keyed role takes the keyed role's role; a keyed "reader" with the additional role
    // "commenter" is "commenter". Nothing for an entry without a role.
    static QString generalACLRoleForGDataEntryACL(const GDataEntryACL& entry);
};

} // namespace tavrel
