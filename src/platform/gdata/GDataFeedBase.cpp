#include "platform/gdata/GDataFeedBase.h"

#include "platform/gdata/GDataObjectFactory.h"

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
