#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstring>
#include <pugixml.hpp>

namespace tavrel::localservice {

// Small helpers for writing Atom text by hand (fast, and the output looks like the real service's:
// single-quoted attributes) and for reading incoming XML by namespace URI, whatever prefixes the
// sender chose.
class AtomText
{
public:
    static constexpr const char* kAtom = "http://www.w3.org/2005/Atom";
    static constexpr const char* kApp = "http://www.w3.org/2007/app";
    static constexpr const char* kGd = "http://schemas.google.com/g/2005";
    static constexpr const char* kDocs = "http://schemas.google.com/docs/2007";
    static constexpr const char* kBatch = "http://schemas.google.com/gdata/batch";
    static constexpr const char* kAcl = "http://schemas.google.com/acl/2007";
    static constexpr const char* kOpenSearch = "http://a9.com/-/spec/opensearch/1.1/";
    static constexpr const char* kContact = "http://schemas.google.com/contact/2008";

    // The namespace declarations every answer carries on its root element.
    static QByteArray namespaces();

    static QByteArray escape(const QString& text);
    static QByteArray escape(const QByteArray& utf8);
    static QString isoTime(const QDateTime& time); // 2013-07-30T14:51:55.336Z
    static QByteArray isoBytes(const QDateTime& time);
    static QDateTime parseTime(const QString& text);
    static QByteArray percent(const QString& text); // "document:x" -> "document%3Ax"
    // The id an entry URL ends in: "https://host/feeds/id/document%3Aabc" -> "document:abc".
    static QString lastSegment(const QString& url);

    // Namespace URI and local name of an element or attribute name, resolved against the node's scope.
    static QString namespaceOf(const pugi::xml_node& node);
    static QString namespaceOfPrefix(const pugi::xml_node& scope, const QString& prefix);
    static QString localName(const char* name);
    static bool is(const pugi::xml_node& node, const char* ns, const char* local);
    static pugi::xml_node child(const pugi::xml_node& parent, const char* ns, const char* local);
    static QString text(const pugi::xml_node& parent, const char* ns, const char* local);
    // Attribute by local name, with or without a prefix ("gd:etag" or "etag").
    static QString attribute(const pugi::xml_node& node, const char* local);
    // The element as self-contained XML: every prefix it uses is declared on it.
    static QByteArray serializeStandalone(const pugi::xml_node& node);
};

} // namespace tavrel::localservice
