#include "platform/gdata/GDataEntryACL.h"

namespace tavrel {

GDataEntryACLPtr GDataEntryACL::ACLEntry()
{
    auto document = GDataXMLDocument::createWithRoot(QStringLiteral("entry"));
    auto entry = std::make_shared<GDataEntryACL>(document, document->root());
    entry->addCategory(GDataCategory(kGDataCategoryScheme, kGDataCategoryACL));
    return entry;
}

GDataEntryACLPtr GDataEntryACL::ACLEntryWithScope(const GDataACLScope& scope, const GDataACLRole& role)
{
    auto entry = ACLEntry();
    entry->setRole(role);
    entry->setScope(scope);
    return entry;
}

QMap<QString, QString> GDataEntryACL::ACLNamespaces()
{
    return {{QString(), kGDataNamespaceAtom},
            {QStringLiteral("gAcl"), kGDataNamespaceACL},
            {QStringLiteral("gd"), kGDataNamespaceGData},
            {QStringLiteral("batch"), kGDataNamespaceBatch}};
}

std::optional<GDataACLScope> GDataEntryACL::scope() const
{
    pugi::xml_node node = childElement("gAcl:scope");
    if (!node)
        return std::nullopt;
    return GDataACLScope(attributeOf(node, "type"), attributeOf(node, "value"));
}

void GDataEntryACL::setScope(const std::optional<GDataACLScope>& scope)
{
    if (!scope) {
        removeChildElements("gAcl:scope");
        return;
    }
    pugi::xml_node node = ensureChildElement("gAcl:scope");
    setAttributeOf(node, "type", scope->type());
    setAttributeOf(node, "value", scope->value().isEmpty() ? QString() : scope->value());
}

std::optional<GDataACLRole> GDataEntryACL::role() const
{
    pugi::xml_node node = childElement("gAcl:role");
    if (!node)
        return std::nullopt;
    return GDataACLRole(attributeOf(node, "value"));
}

void GDataEntryACL::setRole(const std::optional<GDataACLRole>& role)
{
    if (!role) {
        removeChildElements("gAcl:role");
        return;
    }
    setAttributeOf(ensureChildElement("gAcl:role"), "value", role->value());
}

std::optional<GDataACLKeyedRole> GDataEntryACL::keyedRole() const
{
    pugi::xml_node node = childElement("gAcl:withKey");
    if (!node)
        return std::nullopt;
    QList<GDataACLAdditionalRole> additional;
    for (pugi::xml_node role = node.child("gAcl:additionalRole"); role;
         role = role.next_sibling("gAcl:additionalRole"))
        additional << GDataACLAdditionalRole(attributeOf(role, "value"));
    return GDataACLKeyedRole(attributeOf(node, "key"),
                             GDataACLRole(attributeOf(node.child("gAcl:role"), "value")), additional);
}

void GDataEntryACL::setKeyedRole(const std::optional<GDataACLKeyedRole>& keyedRole)
{
    removeChildElements("gAcl:withKey");
    if (!keyedRole)
        return;
    pugi::xml_node node = appendChildElement("gAcl:withKey");
    setAttributeOf(node, "key", keyedRole->key());
    setAttributeOf(node.append_child("gAcl:role"), "value", keyedRole->role().value());
    for (const GDataACLAdditionalRole& role : keyedRole->additionalRoles())
        setAttributeOf(node.append_child("gAcl:additionalRole"), "value", role.value());
}

QList<GDataACLAdditionalRole> GDataEntryACL::additionalRoles() const
{
    QList<GDataACLAdditionalRole> list;
    for (pugi::xml_node node : childElements("gAcl:additionalRole"))
        list << GDataACLAdditionalRole(attributeOf(node, "value"));
    return list;
}

void GDataEntryACL::setAdditionalRoles(const QList<GDataACLAdditionalRole>& roles)
{
    removeChildElements("gAcl:additionalRole");
    for (const GDataACLAdditionalRole& role : roles)
        setAttributeOf(appendChildElement("gAcl:additionalRole"), "value", role.value());
}

} // namespace tavrel
