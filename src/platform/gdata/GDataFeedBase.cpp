#include "platform/gdata/GDataFeedBase.h"

#include "platform/gdata/GDataObjectFactory.h"

#include <cstring>

namespace tavrel {

GDataEntryPtr GDataFeedBase::entryForElement(pugi::xml_node element) const
{
    return GDataObjectFactory::entryForElement(m_document, element);
}

QList<GDataEntryPtr> GDataFeedBase::entries() const
{
    QList<GDataEntryPtr> list;
    for (pugi::xml_node node : childElements("entry"))
        list << entryForElement(node);
    return list;
}

qsizetype GDataFeedBase::entryCount() const
{
    qsizetype count = 0;
    for (pugi::xml_node node = m_element.child("entry"); node; node = node.next_sibling("entry"))
        ++count;
    return count;
}

GDataEntryPtr GDataFeedBase::addEntry(const GDataEntryBase& entry)
{
    pugi::xml_node copy = m_document->importNode(*entry.XMLDocument(), entry.XMLElement(), m_element);
    GDataEntryPtr added = entryForElement(copy);
    return added;
}

void GDataFeedBase::appendEntriesOfFeed(const GDataFeedBase& other)
{
    for (pugi::xml_node node = other.XMLElement().child("entry"); node; node = node.next_sibling("entry"))
        m_document->importNode(*other.XMLDocument(), node, m_element);
}

std::shared_ptr<GDataFeedBase> GDataFeedBase::copyWithoutEntries() const
{
    auto document = GDataXMLDocument::createWithRoot(QString::fromUtf8(m_element.name()));
    pugi::xml_node root = document->root();
    for (pugi::xml_attribute attr = m_element.first_attribute(); attr; attr = attr.next_attribute()) {
        // A prefixed attribute takes the copy's prefix of its namespace.
        QByteArray name = attr.name();
        if (const qsizetype colon = name.indexOf(':'); colon > 0) {
            const QString uri = m_document->uriForPrefix(QString::fromUtf8(name.left(colon)));
            name =
                document->prefixForURI(uri, QString::fromUtf8(name.left(colon))).toUtf8() + name.mid(colon);
        }
        root.append_attribute(name.constData()).set_value(attr.value());
    }
    for (pugi::xml_node child = m_element.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element && std::strcmp(child.name(), "entry") == 0)
            continue;
        document->importNode(*m_document, child, root);
    }
    return std::dynamic_pointer_cast<GDataFeedBase>(instantiate(document, root));
}

namespace {
std::optional<qint64> number(const QString& text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}
} // namespace

std::optional<qint64> GDataFeedBase::totalResults() const
{
    return number(childText("openSearch:totalResults"));
}

std::optional<qint64> GDataFeedBase::startIndex() const
{
    return number(childText("openSearch:startIndex"));
}

std::optional<qint64> GDataFeedBase::itemsPerPage() const
{
    return number(childText("openSearch:itemsPerPage"));
}

} // namespace tavrel
