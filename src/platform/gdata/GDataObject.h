#pragma once

#include "platform/gdata/GDataXMLDocument.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QMetaType>
#include <QSet>
#include <QString>
#include <memory>

namespace tavrel {

class GDataObject;
using GDataObjectPtr = std::shared_ptr<GDataObject>;

// Base of every feed-protocol object: a view on one element of a GDataXMLDocument. Accessors read and
// write that element directly, so whatever the client does not model (unknown elements and attributes)
// stays in place and is written back unchanged. Objects taken from a feed (its entries) share the feed's
// document: changing them changes the feed. Names used by the accessors are canonical
// ("gd:resourceId"), which the document's namespace resolution made equivalent to matching by URI.
class GDataObject
{
public:
    GDataObject(std::shared_ptr<GDataXMLDocument> document, pugi::xml_node element);
    virtual ~GDataObject();
    GDataObject(const GDataObject&) = delete;
    GDataObject& operator=(const GDataObject&) = delete;

    pugi::xml_node XMLElement() const { return m_element; }
    const std::shared_ptr<GDataXMLDocument>& XMLDocument() const { return m_document; }

    // The element's XML text, declaring every namespace it uses and those added with addNamespaces().
    QString XMLString() const;
    // The same as a UTF-8 document with an XML declaration, as sent over the wire.
    QByteArray XMLData() const;
    // The concatenated text content of the element and its descendants.
    QString stringValue() const;

    // Namespaces declared when the object is written: prefix to URI. completeNamespaces() are those the
    // element uses plus the added ones; setNamespaces() replaces the added ones.
    QMap<QString, QString> namespaces() const;
    QMap<QString, QString> completeNamespaces() const;
    void setNamespaces(const QMap<QString, QString>& namespaces);
    void addNamespaces(const QMap<QString, QString>& namespaces);

    // A deep copy in a document of its own, of the same class.
    GDataObjectPtr copyObject() const;
    template <class T> std::shared_ptr<T> copyAs() const
    {
        return std::dynamic_pointer_cast<T>(copyObject());
    }

    // RFC 3339 dates as the service writes them.
    static QDateTime dateFromString(const QString& text);
    static QString stringFromDate(const QDateTime& date);

protected:
    virtual GDataObjectPtr instantiate(std::shared_ptr<GDataXMLDocument> document,
                                       pugi::xml_node element) const;

    // Child elements by canonical qualified name.
    pugi::xml_node childElement(const char* qualifiedName) const;
    QList<pugi::xml_node> childElements(const char* qualifiedName) const;
    pugi::xml_node ensureChildElement(const char* qualifiedName);
    pugi::xml_node appendChildElement(const char* qualifiedName);
    void removeChildElements(const char* qualifiedName);

    // Text of a child element; a null text removes the child.
    QString childText(const char* qualifiedName) const;
    void setChildText(const char* qualifiedName, const QString& text);
    // An attribute of a child element ("value" by default); a null value removes the child.
    QString childAttribute(const char* qualifiedName, const char* attribute = "value") const;
    void setChildAttribute(const char* qualifiedName, const QString& value, const char* attribute = "value");
    bool hasChild(const char* qualifiedName) const { return bool(childElement(qualifiedName)); }

    QString attribute(const char* name) const;
    void setAttribute(const char* name, const QString& value); // null removes

    static QString text(pugi::xml_node node);
    static QString attributeOf(pugi::xml_node node, const char* name);
    static void setAttributeOf(pugi::xml_node node, const char* name, const QString& value);
    static void setText(pugi::xml_node node, const QString& text);

    std::shared_ptr<GDataXMLDocument> m_document;
    pugi::xml_node m_element;

private:
    QSet<QString> m_addedURIs;
};

// Declares the constructor and the copy hook of a concrete object class.
#define TAVREL_GDATA_OBJECT(Class, Base)                                                                     \
public:                                                                                                      \
    using Base::Base;                                                                                        \
                                                                                                             \
protected:                                                                                                   \
    GDataObjectPtr instantiate(std::shared_ptr<GDataXMLDocument> document, pugi::xml_node element)           \
        const override                                                                                       \
    {                                                                                                        \
        return std::make_shared<Class>(std::move(document), element);                                        \
    }                                                                                                        \
                                                                                                             \
public:

} // namespace tavrel

Q_DECLARE_METATYPE(tavrel::GDataObjectPtr)
