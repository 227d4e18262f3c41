#include "platform/gdata/GDataXMLDocument.h"

#include "platform/gdata/GDataConstants.h"

#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavrel {

const char* const GDataXMLDocument::kNoNamespacePrefix = "_nons";

namespace {

struct KnownNamespace
{
    const QString* uri;
    const char* prefix;
};

const std::vector<KnownNamespace>& knownNamespaces()
{
    static const std::vector<KnownNamespace> table = {
        {&kGDataNamespaceAtom, ""},       {&kGDataNamespaceAtomPub, "app"},
        {&kGDataNamespaceGData, "gd"},    {&kGDataNamespaceDocuments, "docs"},
        {&kGDataNamespaceBatch, "batch"}, {&kGDataNamespaceOpenSearch, "openSearch"},
        {&kGDataNamespaceACL, "gAcl"},    {&kGDataNamespaceContact, "gContact"},
        {&kGDataNamespaceXML, "xml"},
    };
    return table;
}

std::pair<QString, QString> splitName(const char* name)
{
    const QString qname = QString::fromUtf8(name);
    const int colon = qname.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return {QString(), qname};
    return {qname.left(colon), qname.mid(colon + 1)};
}

QString joinName(const QString& prefix, const QString& local)
{
    return prefix.isEmpty() ? local : prefix + QLatin1Char(':') + local;
}

// Visits every element below and including `start`, depth first, without recursion (hostile input may
// nest deeply). `enter` runs on the way down, `leave` on the way up.
template <class Enter, class Leave> void walkElements(pugi::xml_node start, Enter enter, Leave leave)
{
    pugi::xml_node node = start;
    while (node) {
        enter(node);
        pugi::xml_node child = node.first_child();
        while (child && child.type() != pugi::node_element)
            child = child.next_sibling();
        if (child) {
            node = child;
            continue;
        }
        while (node) {
            leave(node);
            if (node == start)
                return;
            pugi::xml_node next = node.next_sibling();
            while (next && next.type() != pugi::node_element)
                next = next.next_sibling();
            if (next) {
                node = next;
                break;
            }
            node = node.parent();
        }
    }
}

// A name the writer can write back as it was read: a local name, or one prefix and a local name, each
// starting with a character a name may start with. The parser lets "a:b:c", ":a" or "a:.x" through.
bool isQualifiedName(const char* name)
{
    const auto startsName = [](const char* part) {
        const char c = *part;
        return c != '\0' && c != ':' && c != '.' && c != '-' && !(c >= '0' && c <= '9');
    };
    const char* colon = std::strchr(name, ':');
    if (!colon)
        return startsName(name);
    return colon != name && startsName(name) && startsName(colon + 1) && !std::strchr(colon + 1, ':');
}

// Remembers the prefix of a qualified name once; documents use few distinct prefixes.
void notePrefix(std::vector<std::string>& prefixes, const char* name)
{
    const char* colon = std::strchr(name, ':');
    const std::string_view prefix = colon ? std::string_view(name, size_t(colon - name)) : std::string_view();
    for (const std::string& known : prefixes) {
        if (known == prefix)
            return;
    }
    prefixes.emplace_back(prefix);
}

struct ByteArrayWriter : pugi::xml_writer
{
    explicit ByteArrayWriter(QByteArray& bytes) : m_bytes(bytes) {}
    void write(const void* data, size_t size) override
    {
        m_bytes.append(static_cast<const char*>(data), qsizetype(size));
    }
    QByteArray& m_bytes;
};

} // namespace

GDataXMLDocument::GDataXMLDocument()
{
    for (const auto& known : knownNamespaces()) {
        m_prefixToURI.insert(QString::fromLatin1(known.prefix), *known.uri);
        m_uriToPrefix.insert(*known.uri, QString::fromLatin1(known.prefix));
    }
    m_prefixToURI.insert(QString::fromLatin1(kNoNamespacePrefix), QString());
    m_uriToPrefix.insert(QString(), QString::fromLatin1(kNoNamespacePrefix));
}

std::shared_ptr<GDataXMLDocument> GDataXMLDocument::parse(const QByteArray& data, QString* error)
{
    auto doc = std::make_shared<GDataXMLDocument>();
    const pugi::xml_parse_result result = doc->m_document.load_buffer(
        data.constData(), size_t(data.size()), pugi::parse_default, pugi::encoding_auto);
    if (!result) {
        if (error)
            *error = QStringLiteral("%1 at offset %2")
                         .arg(QString::fromUtf8(result.description()))
                         .arg(result.offset);
        return nullptr;
    }
    if (!doc->root()) {
        if (error)
            *error = QStringLiteral("no root element");
        return nullptr;
    }
    if (!doc->resolve(error))
        return nullptr;
    return doc;
}

std::shared_ptr<GDataXMLDocument> GDataXMLDocument::createWithRoot(const QString& qualifiedName)
{
    auto doc = std::make_shared<GDataXMLDocument>();
    doc->m_document.append_child(qualifiedName.toUtf8().constData());
    return doc;
}

QString GDataXMLDocument::prefixForURI(const QString& uri, const QString& preferredPrefix)
{
    auto it = m_uriToPrefix.constFind(uri);
    if (it != m_uriToPrefix.constEnd())
        return it.value();
    QString prefix = preferredPrefix;
    if (prefix.isEmpty() || m_prefixToURI.contains(prefix)) {
        int n = 1;
        do {
            prefix = QStringLiteral("ns%1").arg(n++);
        } while (m_prefixToURI.contains(prefix));
    }
    m_prefixToURI.insert(prefix, uri);
    m_uriToPrefix.insert(uri, prefix);
    return prefix;
}

QString GDataXMLDocument::uriForPrefix(const QString& prefix) const
{
    return m_prefixToURI.value(prefix);
}

bool GDataXMLDocument::resolve(QString* error)
{
    // In-scope declarations as a stack; the mark per element tells where its own begin. Each declaration
    // resolves its canonical prefix once, on first use, so the walk stays linear and allocation-free for
    // names that keep their prefix.
    struct Declaration
    {
        Declaration(std::string declaredPrefix, QString declaredURI)
            : prefix(std::move(declaredPrefix)), uri(std::move(declaredURI))
        {}
        std::string prefix;
        QString uri;
        bool resolved = false;
        std::string canonical;
    };
    std::vector<Declaration> scope;
    std::vector<size_t> marks;
    Declaration xmlDeclaration{"xml", kGDataNamespaceXML};
    Declaration noDefault{"", QString()};
    QString failure;

    auto lookup = [&](std::string_view prefix) -> Declaration* {
        if (prefix == "xml")
            return &xmlDeclaration;
        for (auto it = scope.rbegin(); it != scope.rend(); ++it) {
            if (it->prefix == prefix)
                return &*it;
        }
        return prefix.empty() ? &noDefault : nullptr; // no default declaration: no namespace
    };
    auto canonical = [&](Declaration* decl) -> const std::string& {
        if (!decl->resolved) {
            decl->canonical = prefixForURI(decl->uri, QString::fromUtf8(decl->prefix)).toStdString();
            decl->resolved = true;
        }
        return decl->canonical;
    };
    std::string renamed;
    auto rename = [&](const std::string& prefix, const char* local) -> const char* {
        renamed = prefix;
        if (!renamed.empty())
            renamed += ':';
        renamed += local;
        return renamed.c_str();
    };

    walkElements(
        root(),
        [&](pugi::xml_node element) {
            marks.push_back(scope.size());
            if (!failure.isEmpty())
                return;
            for (pugi::xml_attribute attr = element.first_attribute(); attr;) {
                pugi::xml_attribute next = attr.next_attribute();
                const char* name = attr.name();
                if (!isQualifiedName(name)) {
                    failure = QStringLiteral("malformed attribute name \"%1\"").arg(QString::fromUtf8(name));
                    return;
                }
                if (std::strcmp(name, "xmlns") == 0) {
                    scope.emplace_back(std::string(), QString::fromUtf8(attr.value()));
                    element.remove_attribute(attr);
                } else if (std::strncmp(name, "xmlns:", 6) == 0) {
                    scope.emplace_back(std::string(name + 6), QString::fromUtf8(attr.value()));
                    element.remove_attribute(attr);
                }
                attr = next;
            }
            const char* name = element.name();
            if (!isQualifiedName(name)) {
                failure = QStringLiteral("malformed element name \"%1\"").arg(QString::fromUtf8(name));
                return;
            }
            const char* colon = std::strchr(name, ':');
            const std::string_view prefix =
                colon ? std::string_view(name, size_t(colon - name)) : std::string_view();
            const char* local = colon ? colon + 1 : name;
            Declaration* decl = lookup(prefix);
            if (!decl) {
                failure = QStringLiteral("undeclared namespace prefix \"%1\"")
                              .arg(QString::fromUtf8(prefix.data(), qsizetype(prefix.size())));
                return;
            }
            const std::string& elementPrefix = canonical(decl);
            if (elementPrefix != prefix)
                element.set_name(rename(elementPrefix, local));
            for (pugi::xml_attribute attr = element.first_attribute(); attr; attr = attr.next_attribute()) {
                const char* attrName = attr.name();
                const char* attrColon = std::strchr(attrName, ':');
                if (!attrColon)
                    continue; // unprefixed attributes are in no namespace
                const std::string_view attrPrefix(attrName, size_t(attrColon - attrName));
                Declaration* attrDecl = lookup(attrPrefix);
                if (!attrDecl || attrDecl->uri.isEmpty()) {
                    failure = QStringLiteral("undeclared namespace prefix \"%1\"")
                                  .arg(QString::fromUtf8(attrPrefix.data(), qsizetype(attrPrefix.size())));
                    return;
                }
                const std::string& mine = canonical(attrDecl);
                if (mine != attrPrefix)
                    attr.set_name(rename(mine, attrColon + 1));
            }
        },
        [&](pugi::xml_node) {
            scope.erase(scope.begin() + std::ptrdiff_t(marks.back()), scope.end());
            marks.pop_back();
        });

    if (!failure.isEmpty()) {
        if (error)
            *error = failure;
        return false;
    }
    return true;
}

pugi::xml_node GDataXMLDocument::importNode(const GDataXMLDocument& sourceDocument, pugi::xml_node source,
                                            pugi::xml_node parent, pugi::xml_node before)
{
    pugi::xml_node copy = before ? parent.insert_copy_before(source, before) : parent.append_copy(source);
    if (&sourceDocument == this || namesNamespacesAlike(sourceDocument))
        return copy;
    auto rename = [&](const char* name) -> QString {
        auto [prefix, local] = splitName(name);
        const QString uri = sourceDocument.uriForPrefix(prefix);
        const QString mine = prefixForURI(uri, prefix);
        if (mine == prefix)
            return QString();
        return joinName(mine, local);
    };
    walkElements(
        copy,
        [&](pugi::xml_node element) {
            const QString name = rename(element.name());
            if (!name.isNull())
                element.set_name(name.toUtf8().constData());
            for (pugi::xml_attribute attr = element.first_attribute(); attr; attr = attr.next_attribute()) {
                if (!std::strchr(attr.name(), ':'))
                    continue;
                const QString attrName = rename(attr.name());
                if (!attrName.isNull())
                    attr.set_name(attrName.toUtf8().constData());
            }
        },
        [](pugi::xml_node) {});
    return copy;
}

bool GDataXMLDocument::namesNamespacesAlike(const GDataXMLDocument& other) const
{
    // Pages of one service share their prefix table: then no name needs renaming.
    if (other.m_prefixToURI.size() > m_prefixToURI.size())
        return false;
    for (auto it = other.m_prefixToURI.constBegin(); it != other.m_prefixToURI.constEnd(); ++it) {
        auto mine = m_prefixToURI.constFind(it.key());
        if (mine == m_prefixToURI.constEnd() || mine.value() != it.value())
            return false;
    }
    return true;
}

std::shared_ptr<GDataXMLDocument> GDataXMLDocument::copyElement(pugi::xml_node element) const
{
    auto doc = std::make_shared<GDataXMLDocument>();
    doc->m_prefixToURI = m_prefixToURI;
    doc->m_uriToPrefix = m_uriToPrefix;
    doc->m_document.append_copy(element);
    return doc;
}

QSet<QString> GDataXMLDocument::usedNamespaceURIs(pugi::xml_node element) const
{
    std::vector<std::string> prefixes;
    walkElements(
        element,
        [&](pugi::xml_node node) {
            notePrefix(prefixes, node.name());
            for (pugi::xml_attribute attr = node.first_attribute(); attr; attr = attr.next_attribute()) {
                if (std::strchr(attr.name(), ':'))
                    notePrefix(prefixes, attr.name());
            }
        },
        [](pugi::xml_node) {});
    return urisOfPrefixes(prefixes);
}

QSet<QString> GDataXMLDocument::urisOfPrefixes(const std::vector<std::string>& prefixes) const
{
    QSet<QString> uris;
    for (const std::string& prefix : prefixes)
        uris.insert(uriForPrefix(QString::fromUtf8(prefix.data(), qsizetype(prefix.size()))));
    uris.remove(QString());
    return uris;
}

QByteArray GDataXMLDocument::serialize(pugi::xml_node element, const QSet<QString>& extraURIs,
                                       bool withDeclaration) const
{
    if (!element)
        return {};
    pugi::xml_document out;
    pugi::xml_node root = out.append_copy(element);

    // Default namespace handling: Atom elements are unprefixed and rely on a default declaration; elements
    // in no namespace need the default undeclared wherever Atom is the default around them.
    const QString noNamespace = QString::fromLatin1(kNoNamespacePrefix);
    const QByteArray atomURI = kGDataNamespaceAtom.toUtf8();
    const size_t noNamespaceLength = std::strlen(kNoNamespacePrefix);
    std::vector<std::string> usedPrefixes;
    std::vector<bool> atomDefault; // per open element: is Atom the default namespace inside it
    walkElements(
        root,
        [&](pugi::xml_node node) {
            const bool outer = atomDefault.empty() ? false : atomDefault.back();
            const char* name = node.name();
            // The used namespaces are gathered in this same walk, before any renaming below.
            notePrefix(usedPrefixes, name);
            for (pugi::xml_attribute attr = node.first_attribute(); attr; attr = attr.next_attribute()) {
                if (std::strchr(attr.name(), ':'))
                    notePrefix(usedPrefixes, attr.name());
            }
            const char* colon = std::strchr(name, ':');
            bool inner = outer;
            if (!colon && !outer) {
                node.prepend_attribute("xmlns").set_value(atomURI.constData());
                inner = true;
            } else if (colon && size_t(colon - name) == noNamespaceLength &&
                       std::strncmp(name, kNoNamespacePrefix, noNamespaceLength) == 0) {
                const std::string local(colon + 1);
                node.set_name(local.c_str());
                if (outer) {
                    node.prepend_attribute("xmlns").set_value("");
                    inner = false;
                }
            }
            atomDefault.push_back(inner);
        },
        [&](pugi::xml_node) { atomDefault.pop_back(); });

    QSet<QString> uris = urisOfPrefixes(usedPrefixes);
    uris.unite(extraURIs);
    uris.remove(QString());
    uris.remove(kGDataNamespaceXML);

    // Prefixed declarations on the root, in a stable order; the root's own default declaration stays first.
    QStringList prefixes;
    for (const QString& uri : uris) {
        const QString prefix = m_uriToPrefix.value(uri);
        if (!prefix.isEmpty() && prefix != noNamespace)
            prefixes << prefix;
    }
    prefixes.sort();
    pugi::xml_attribute after = root.attribute("xmlns");
    for (const QString& prefix : prefixes) {
        const QByteArray name = "xmlns:" + prefix.toUtf8();
        pugi::xml_attribute attr = after ? root.insert_attribute_after(name.constData(), after)
                                         : root.prepend_attribute(name.constData());
        attr.set_value(m_prefixToURI.value(prefix).toUtf8().constData());
        after = attr;
    }
    // No default declaration is added to the root afterwards: an Atom root has one from the walk, and an
    // unprefixed root without one is in no namespace (a default here would move it and every unprefixed
    // element below it into Atom).

    QByteArray bytes = withDeclaration ? QByteArray("<?xml version='1.0' encoding='UTF-8'?>") : QByteArray();
    ByteArrayWriter writer(bytes);
    out.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return bytes;
}

} // namespace tavrel
