#pragma once

#include <QByteArray>
#include <QMap>
#include <QSet>
#include <QString>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

namespace tavrel {

// A pugixml document whose element and attribute names were rewritten at parse time to one fixed prefix per
// namespace URI (Atom unprefixed, "gd", "docs", "batch", "gAcl", "gContact", ...; other namespaces keep the
// sender's prefix unless it clashes). Declarations are taken out of the tree and kept in this prefix table,
// so code finds "gd:resourceId" whatever prefix the sender used, and the writer declares every namespace a
// written element uses. Elements in no namespace carry the internal prefix kNoNamespacePrefix.
class GDataXMLDocument
{
public:
    static const char* const kNoNamespacePrefix;

    GDataXMLDocument();

    // Parses and resolves; answers null with a reason when the bytes are not well-formed XML, use an
    // undeclared prefix or a name that is no qualified name ("a:b:c", "a:.x").
    static std::shared_ptr<GDataXMLDocument> parse(const QByteArray& data, QString* error);
    // A document holding one new element named `qualifiedName` (canonical prefixes) as its root.
    static std::shared_ptr<GDataXMLDocument> createWithRoot(const QString& qualifiedName);

    pugi::xml_document& document() { return m_document; }
    pugi::xml_node root() const { return m_document.document_element(); }

    // The prefix used in this document for a namespace URI; registers the URI when unknown.
    QString prefixForURI(const QString& uri, const QString& preferredPrefix = {});
    QString uriForPrefix(const QString& prefix) const;

    // Copies `source` (an element of `sourceDocument`) as the last child of `parent` (or before `before`
    // when given), renaming prefixes of namespaces that the two documents name differently.
    pugi::xml_node importNode(const GDataXMLDocument& sourceDocument, pugi::xml_node source,
                              pugi::xml_node parent, pugi::xml_node before = {});
    // A new document holding a copy of `element` as root, with the same prefix table.
    std::shared_ptr<GDataXMLDocument> copyElement(pugi::xml_node element) const;

    // The element as XML text declaring every namespace it uses plus `extraURIs`.
    QByteArray serialize(pugi::xml_node element, const QSet<QString>& extraURIs = {},
                         bool withDeclaration = false) const;
    // The URIs used by the element and its descendants.
    QSet<QString> usedNamespaceURIs(pugi::xml_node element) const;

private:
    bool resolve(QString* error);
    // True when every prefix of `other` names the same URI here.
    bool namesNamespacesAlike(const GDataXMLDocument& other) const;
    QSet<QString> urisOfPrefixes(const std::vector<std::string>& prefixes) const;

    pugi::xml_document m_document;
    QMap<QString, QString> m_prefixToURI;
    QMap<QString, QString> m_uriToPrefix;
};

} // namespace tavrel
