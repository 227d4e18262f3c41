#pragma once

#include "model/IGeneralACLPermission.h"

namespace tavrel {

// A document's general access detached from any context, with the account whose domain a "domain"
// scope names.
class GeneralACLPermissionAdapter : public IGeneralACLPermission
{
public:
    GeneralACLPermissionAdapter() = default;
    explicit GeneralACLPermissionAdapter(QString username) : m_username(std::move(username)) {}
    static std::shared_ptr<GeneralACLPermissionAdapter>
    generalACLPermissionAdapterWithUsername(const QString& username)
    {
        return std::make_shared<GeneralACLPermissionAdapter>(username);
    }

    QString username() const { return m_username; }
    void setUsername(const QString& username) { m_username = username; }

    // A copy under the receiver's own user name; the argument is not used.
    std::shared_ptr<GeneralACLPermissionAdapter>
    adapterObjectForUsername(const QString& username) const override;
    QString type() const override { return m_type; }
    void setType(const QString& type) override { m_type = type; }
    QString role() const override { return m_role; }
    void setRole(const QString& role) override { m_role = role; }
    QVariant hasLink() const override { return m_hasLink; }
    void setHasLink(const QVariant& hasLink) override;
    QString xml() const override { return m_xml; }
    void setXml(const QString& xml) override { m_xml = xml; }
    // A new entry to send: scope "default", or "domain" naming the domain of the user name; a commenter
    // is a reader with the additional role "commenter"; with the link the role is keyed "with link".
    GDataEntryACLPtr gdataEntry() const override;

private:
    QString m_username;
    QString m_type;
    QString m_role;
    QVariant m_hasLink;
    QString m_xml;
};

} // namespace tavrel
