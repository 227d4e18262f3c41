#include "platform/gdata/GDataEntryContact.h"

namespace tavrel {

GDataEntryContactPtr GDataEntryContact::contactEntryWithFullNameString(const QString& fullName)
{
    auto document = GDataXMLDocument::createWithRoot(QStringLiteral("entry"));
    auto entry = std::make_shared<GDataEntryContact>(document, document->root());
    entry->addCategory(GDataCategory(kGDataCategoryScheme, kGDataCategoryContact));
    entry->setTitleWithString(fullName);
    entry->setName(fullName);
    return entry;
}

QMap<QString, QString> GDataEntryContact::contactNamespaces()
{
    return {{QString(), kGDataNamespaceAtom},
            {QStringLiteral("gd"), kGDataNamespaceGData},
            {QStringLiteral("gContact"), kGDataNamespaceContact},
            {QStringLiteral("batch"), kGDataNamespaceBatch}};
}

QString GDataEntryContact::nameText(const char* part) const
{
    pugi::xml_node name = childElement("gd:name");
    return name ? text(name.child(part)) : QString();
}

void GDataEntryContact::setName(const QString& fullName, const QString& givenName, const QString& familyName)
{
    removeChildElements("gd:name");
    pugi::xml_node name = appendChildElement("gd:name");
    if (!fullName.isEmpty())
        setText(name.append_child("gd:fullName"), fullName);
    if (!givenName.isEmpty())
        setText(name.append_child("gd:givenName"), givenName);
    if (!familyName.isEmpty())
        setText(name.append_child("gd:familyName"), familyName);
}

QList<GDataEmail> GDataEntryContact::emailAddresses() const
{
    QList<GDataEmail> list;
    for (pugi::xml_node node : childElements("gd:email")) {
        list << GDataEmail(attributeOf(node, "address"), attributeOf(node, "rel"), attributeOf(node, "label"),
                           attributeOf(node, "primary") == QLatin1String("true"),
                           attributeOf(node, "displayName"));
    }
    return list;
}

std::optional<GDataEmail> GDataEntryContact::primaryEmailAddress() const
{
    for (const GDataEmail& email : emailAddresses()) {
        if (email.isPrimary())
            return email;
    }
    return std::nullopt;
}

void GDataEntryContact::addEmailAddress(const GDataEmail& email)
{
    pugi::xml_node last;
    for (pugi::xml_node node : childElements("gd:email"))
        last = node;
    pugi::xml_node node =
        last ? m_element.insert_child_after("gd:email", last) : appendChildElement("gd:email");
    // The service wants either a relation or a label; "other" when the caller gave neither.
    if (!email.rel().isEmpty() || email.label().isEmpty())
        setAttributeOf(node, "rel", email.rel().isEmpty() ? kGDataEmailOther : email.rel());
    if (!email.label().isEmpty())
        setAttributeOf(node, "label", email.label());
    setAttributeOf(node, "address", email.address());
    if (email.isPrimary())
        setAttributeOf(node, "primary", QStringLiteral("true"));
    if (!email.displayName().isEmpty())
        setAttributeOf(node, "displayName", email.displayName());
}

void GDataEntryContact::removeEmailAddress(const QString& address)
{
    for (pugi::xml_node node : childElements("gd:email")) {
        if (attributeOf(node, "address") == address)
            m_element.remove_child(node);
    }
}

} // namespace tavrel
