#include "AtomText.h"

#include <QSet>
#include <QUrl>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace tavrel::localservice {

QByteArray AtomText::namespaces()
{
    return QByteArrayLiteral(
        " xmlns='http://www.w3.org/2005/Atom' xmlns:openSearch='http://a9.com/-/spec/opensearch/1.1/'"
        " xmlns:docs='http://schemas.google.com/docs/2007' "
        "xmlns:batch='http://schemas.google.com/gdata/batch'"
        " xmlns:gd='http://schemas.google.com/g/2005' xmlns:gAcl='http://schemas.google.com/acl/2007'"
        " xmlns:gContact='http://schemas.google.com/contact/2008' xmlns:app='http://www.w3.org/2007/app'");
}

QByteArray AtomText::escape(const QString& text)
{
    return escape(text.toUtf8());
}

QByteArray AtomText::escape(const QByteArray& utf8)
{
    QByteArray out;
    out.reserve(utf8.size() + 8);
    for (char c : utf8) {
        switch (c) {
        case '&':
            out.append("&amp;");
            break;
        case '<':
            out.append("&lt;");
            break;
        case '>':
            out.append("&gt;");
            break;
        case '\'':
            out.append("&apos;");
            break;
        case '"':
            out.append("&quot;");
            break;
        default:
            // Control characters cannot stand in XML as they are; as references a reader like pugixml
            // still takes them (and nothing is lost).
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
                out.append("&#" + QByteArray::number(int(c)) + ';');
            else
                out.append(c);
        }
    }
    return out;
}

QString AtomText::isoTime(const QDateTime& time)
{
    return QString::fromLatin1(isoBytes(time));
}

QByteArray AtomText::isoBytes(const QDateTime& time)
{
    // By hand: QDateTime::toString with a format is slow, and feeds write several times per entry.
    const QDateTime utc = time.timeSpec() == Qt::UTC ? time : time.toUTC();
    const QDate d = utc.date();
    const QTime t = utc.time();
    char buffer[40];
    const int n = std::snprintf(buffer, sizeof(buffer), "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", d.year(),
                                d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec());
    return QByteArray(buffer, n);
}

QDateTime AtomText::parseTime(const QString& text)
{
    QDateTime t = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!t.isValid())
        t = QDateTime::fromString(text, Qt::ISODate);
    return t.toUTC();
}

QByteArray AtomText::percent(const QString& text)
{
    return QUrl::toPercentEncoding(text);
}

QString AtomText::lastSegment(const QString& url)
{
    QString s = url;
    const int q = s.indexOf(QLatin1Char('?'));
    if (q >= 0)
        s.truncate(q);
    while (s.endsWith(QLatin1Char('/')))
        s.chop(1);
    return QUrl::fromPercentEncoding(s.section(QLatin1Char('/'), -1).toUtf8());
}

QString AtomText::localName(const char* name)
{
    const char* colon = std::strchr(name, ':');
    return QString::fromUtf8(colon ? colon + 1 : name);
}

QString AtomText::namespaceOfPrefix(const pugi::xml_node& scope, const QString& prefix)
{
    const QByteArray attr = prefix.isEmpty() ? QByteArray("xmlns") : ("xmlns:" + prefix.toUtf8());
    for (pugi::xml_node n = scope; n; n = n.parent()) {
        if (n.type() != pugi::node_element)
            continue;
        pugi::xml_attribute a = n.attribute(attr.constData());
        if (a)
            return QString::fromUtf8(a.value());
    }
    if (prefix == QLatin1String("xml"))
        return QStringLiteral("http://www.w3.org/XML/1998/namespace");
    return {};
}

QString AtomText::namespaceOf(const pugi::xml_node& node)
{
    const char* name = node.name();
    const char* colon = std::strchr(name, ':');
    const QString prefix = colon ? QString::fromUtf8(name, int(colon - name)) : QString();
    return namespaceOfPrefix(node, prefix);
}

bool AtomText::is(const pugi::xml_node& node, const char* ns, const char* local)
{
    if (node.type() != pugi::node_element)
        return false;
    const char* name = node.name();
    const char* colon = std::strchr(name, ':');
    const char* ln = colon ? colon + 1 : name;
    if (std::strcmp(ln, local) != 0)
        return false;
    return namespaceOf(node) == QLatin1String(ns);
}

pugi::xml_node AtomText::child(const pugi::xml_node& parent, const char* ns, const char* local)
{
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (is(c, ns, local))
            return c;
    }
    return {};
}

QString AtomText::text(const pugi::xml_node& parent, const char* ns, const char* local)
{
    pugi::xml_node c = child(parent, ns, local);
    return c ? QString::fromUtf8(c.text().get()) : QString();
}

QString AtomText::attribute(const pugi::xml_node& node, const char* local)
{
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        const char* name = a.name();
        const char* colon = std::strchr(name, ':');
        if (colon && std::strncmp(name, "xmlns", 5) == 0)
            continue;
        if (std::strcmp(colon ? colon + 1 : name, local) == 0)
            return QString::fromUtf8(a.value());
    }
    return {};
}

namespace {
// Every prefix used below and including `top`. Without recursion: a posted entry may nest deeply.
void collectPrefixes(const pugi::xml_node& top, QSet<QString>& prefixes)
{
    auto add = [&](const char* name) {
        const char* colon = std::strchr(name, ':');
        if (!colon) {
            return;
        }
        QString p = QString::fromUtf8(name, int(colon - name));
        if (p != QLatin1String("xmlns") && p != QLatin1String("xml"))
            prefixes.insert(p);
    };
    for (pugi::xml_node node = top; node;) {
        if (node.type() == pugi::node_element) {
            add(node.name());
            for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute())
                add(a.name());
        }
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && node != top && !node.next_sibling())
            node = node.parent();
        node = node && node != top ? node.next_sibling() : pugi::xml_node();
    }
}
} // namespace

QByteArray AtomText::serializeStandalone(const pugi::xml_node& node)
{
    pugi::xml_document doc;
    pugi::xml_node copy = doc.append_copy(node);
    QSet<QString> prefixes;
    collectPrefixes(node, prefixes);
    // The default namespace too, when the element has no prefix.
    if (!std::strchr(node.name(), ':') && !copy.attribute("xmlns")) {
        const QString ns = namespaceOfPrefix(node, {});
        if (!ns.isEmpty())
            copy.append_attribute("xmlns").set_value(ns.toUtf8().constData());
    }
    for (const QString& p : prefixes) {
        const QByteArray attr = "xmlns:" + p.toUtf8();
        if (copy.attribute(attr.constData()))
            continue;
        const QString ns = namespaceOfPrefix(node, p);
        if (!ns.isEmpty())
            copy.append_attribute(attr.constData()).set_value(ns.toUtf8().constData());
    }
    std::ostringstream out;
    copy.print(out, "", pugi::format_raw);
    return QByteArray::fromStdString(out.str());
}

} // namespace tavrel::localservice
