#include "platform/gdata/GDataObject.h"

#include <QTimeZone>

namespace tavrel {

GDataObject::GDataObject(std::shared_ptr<GDataXMLDocument> document, pugi::xml_node element)
    : m_document(std::move(document)), m_element(element)
{}

GDataObject::~GDataObject() = default;

QString GDataObject::XMLString() const
{
    return QString::fromUtf8(m_document->serialize(m_element, m_addedURIs, false));
}

QByteArray GDataObject::XMLData() const
{
    return m_document->serialize(m_element, m_addedURIs, true);
}

QString GDataObject::stringValue() const
{
    struct Walker : pugi::xml_tree_walker
    {
        QString all;
        bool for_each(pugi::xml_node& node) override
        {
            if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
                all += QString::fromUtf8(node.value());
            return true;
        }
    } walker;
    pugi::xml_node(m_element).traverse(walker);
    return walker.all;
}

QMap<QString, QString> GDataObject::namespaces() const
{
    QMap<QString, QString> map;
    for (const QString& uri : m_addedURIs)
        map.insert(m_document->prefixForURI(uri), uri);
    return map;
}

QMap<QString, QString> GDataObject::completeNamespaces() const
{
    QMap<QString, QString> map = namespaces();
    for (const QString& uri : m_document->usedNamespaceURIs(m_element))
        map.insert(m_document->prefixForURI(uri), uri);
    return map;
}

void GDataObject::setNamespaces(const QMap<QString, QString>& namespaces)
{
    m_addedURIs.clear();
    addNamespaces(namespaces);
}

void GDataObject::addNamespaces(const QMap<QString, QString>& namespaces)
{
    for (auto it = namespaces.begin(); it != namespaces.end(); ++it) {
        m_document->prefixForURI(it.value(), it.key());
        m_addedURIs.insert(it.value());
    }
}

GDataObjectPtr GDataObject::copyObject() const
{
    auto document = m_document->copyElement(m_element);
    GDataObjectPtr copy = instantiate(document, document->root());
    copy->m_addedURIs = m_addedURIs;
    return copy;
}

GDataObjectPtr GDataObject::instantiate(std::shared_ptr<GDataXMLDocument> document,
                                        pugi::xml_node element) const
{
    return std::make_shared<GDataObject>(std::move(document), element);
}

QDateTime GDataObject::dateFromString(const QString& text)
{
    if (text.isEmpty())
        return {};
    QDateTime date = QDateTime::fromString(text.trimmed(), Qt::ISODateWithMs);
    if (!date.isValid())
        date = QDateTime::fromString(text.trimmed(), Qt::ISODate);
    if (!date.isValid())
        return {};
    return date.toUTC();
}

QString GDataObject::stringFromDate(const QDateTime& date)
{
    if (!date.isValid())
        return {};
    return date.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

pugi::xml_node GDataObject::childElement(const char* qualifiedName) const
{
    return m_element.child(qualifiedName);
}

QList<pugi::xml_node> GDataObject::childElements(const char* qualifiedName) const
{
    QList<pugi::xml_node> nodes;
    for (pugi::xml_node node = m_element.child(qualifiedName); node; node = node.next_sibling(qualifiedName))
        nodes << node;
    return nodes;
}

pugi::xml_node GDataObject::ensureChildElement(const char* qualifiedName)
{
    pugi::xml_node node = m_element.child(qualifiedName);
    return node ? node : m_element.append_child(qualifiedName);
}

pugi::xml_node GDataObject::appendChildElement(const char* qualifiedName)
{
    return m_element.append_child(qualifiedName);
}

void GDataObject::removeChildElements(const char* qualifiedName)
{
    while (pugi::xml_node node = m_element.child(qualifiedName))
        m_element.remove_child(node);
}

QString GDataObject::childText(const char* qualifiedName) const
{
    pugi::xml_node node = childElement(qualifiedName);
    return node ? text(node) : QString();
}

void GDataObject::setChildText(const char* qualifiedName, const QString& value)
{
    if (value.isNull()) {
        removeChildElements(qualifiedName);
        return;
    }
    setText(ensureChildElement(qualifiedName), value);
}

QString GDataObject::childAttribute(const char* qualifiedName, const char* attr) const
{
    pugi::xml_node node = childElement(qualifiedName);
    return node ? attributeOf(node, attr) : QString();
}

void GDataObject::setChildAttribute(const char* qualifiedName, const QString& value, const char* attr)
{
    if (value.isNull()) {
        removeChildElements(qualifiedName);
        return;
    }
    setAttributeOf(ensureChildElement(qualifiedName), attr, value);
}

QString GDataObject::attribute(const char* name) const
{
    return attributeOf(m_element, name);
}

void GDataObject::setAttribute(const char* name, const QString& value)
{
    setAttributeOf(m_element, name, value);
}

QString GDataObject::text(pugi::xml_node node)
{
    QString all;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            all += QString::fromUtf8(child.value());
    }
    return all;
}

QString GDataObject::attributeOf(pugi::xml_node node, const char* name)
{
    pugi::xml_attribute attr = node.attribute(name);
    return attr ? QString::fromUtf8(attr.value()) : QString();
}

void GDataObject::setAttributeOf(pugi::xml_node node, const char* name, const QString& value)
{
    if (value.isNull()) {
        node.remove_attribute(name);
        return;
    }
    pugi::xml_attribute attr = node.attribute(name);
    if (!attr)
        attr = node.append_attribute(name);
    attr.set_value(value.toUtf8().constData());
}

void GDataObject::setText(pugi::xml_node node, const QString& value)
{
    for (pugi::xml_node child = node.first_child(); child;) {
        pugi::xml_node next = child.next_sibling();
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            node.remove_child(child);
        child = next;
    }
    if (!value.isEmpty())
        node.prepend_child(pugi::node_pcdata).set_value(value.toUtf8().constData());
}

} // namespace tavrel
