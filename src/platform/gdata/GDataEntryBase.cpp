#include "platform/gdata/GDataEntryBase.h"

namespace tavrel {

GDataEntryPtr GDataEntryBase::entry()
{
    auto document = GDataXMLDocument::createWithRoot(QStringLiteral("entry"));
    return std::make_shared<GDataEntryBase>(document, document->root());
}

void GDataEntryBase::setTitleWithString(const QString& title)
{
    pugi::xml_node node = ensureChildElement("title");
    setText(node, title);
    if (!node.attribute("type"))
        setAttributeOf(node, "type", QStringLiteral("text"));
}

GDataEntryContent GDataEntryBase::content() const
{
    pugi::xml_node node = childElement("content");
    if (!node)
        return {};
    return GDataEntryContent(attributeOf(node, "type"), attributeOf(node, "src"), text(node));
}

QList<GDataPerson> GDataEntryBase::authors() const
{
    QList<GDataPerson> people;
    for (pugi::xml_node node : childElements("author"))
        people << GDataPerson(text(node.child("name")), text(node.child("email")));
    return people;
}

QString GDataEntryBase::normalizedRel(const QString& rel)
{
    if (rel.startsWith(kGDataLinkRelIANAPrefix))
        return rel.mid(kGDataLinkRelIANAPrefix.size());
    return rel;
}

GDataLink GDataEntryBase::linkFromNode(pugi::xml_node node)
{
    return GDataLink(normalizedRel(attributeOf(node, "rel")), attributeOf(node, "type"),
                     attributeOf(node, "href"), attributeOf(node, "title"), attributeOf(node, "gd:etag"));
}

void GDataEntryBase::writeLinkToNode(pugi::xml_node node, const GDataLink& link)
{
    setAttributeOf(node, "rel", link.rel());
    if (!link.type().isEmpty())
        setAttributeOf(node, "type", link.type());
    setAttributeOf(node, "href", link.href());
    if (!link.title().isEmpty())
        setAttributeOf(node, "title", link.title());
    if (!link.ETag().isEmpty())
        setAttributeOf(node, "gd:etag", link.ETag());
}

QList<GDataLink> GDataEntryBase::links() const
{
    QList<GDataLink> list;
    for (pugi::xml_node node : childElements("link"))
        list << linkFromNode(node);
    return list;
}

void GDataEntryBase::addLink(const GDataLink& link)
{
    // Links go together, after the last one, so that written entries read naturally.
    pugi::xml_node last;
    for (pugi::xml_node node : childElements("link"))
        last = node;
    pugi::xml_node node = last ? m_element.insert_child_after("link", last) : appendChildElement("link");
    writeLinkToNode(node, link);
}

void GDataEntryBase::removeLinksWithRel(const QString& rel)
{
    const QString wanted = normalizedRel(rel);
    for (pugi::xml_node node : childElements("link")) {
        if (normalizedRel(attributeOf(node, "rel")) == wanted)
            m_element.remove_child(node);
    }
}

GDataLink GDataEntryBase::linkWithRelAttributeValue(const QString& rel) const
{
    const QString wanted = normalizedRel(rel);
    for (pugi::xml_node node : childElements("link")) {
        if (normalizedRel(attributeOf(node, "rel")) == wanted)
            return linkFromNode(node);
    }
    return {};
}

QList<GDataCategory> GDataEntryBase::categories() const
{
    QList<GDataCategory> list;
    for (pugi::xml_node node : childElements("category"))
        list << GDataCategory(attributeOf(node, "scheme"), attributeOf(node, "term"),
                              attributeOf(node, "label"));
    return list;
}

void GDataEntryBase::setCategories(const QList<GDataCategory>& categories)
{
    removeChildElements("category");
    for (const GDataCategory& category : categories)
        addCategory(category);
}

void GDataEntryBase::addCategory(const GDataCategory& category)
{
    for (const GDataCategory& existing : categories()) {
        if (existing.term() == category.term() && existing.scheme() == category.scheme())
            return;
    }
    pugi::xml_node last;
    for (pugi::xml_node node : childElements("category"))
        last = node;
    pugi::xml_node node =
        last ? m_element.insert_child_after("category", last) : appendChildElement("category");
    if (!category.scheme().isEmpty())
        setAttributeOf(node, "scheme", category.scheme());
    setAttributeOf(node, "term", category.term());
    if (!category.label().isEmpty())
        setAttributeOf(node, "label", category.label());
}

void GDataEntryBase::removeCategory(const GDataCategory& category)
{
    for (pugi::xml_node node : childElements("category")) {
        if (attributeOf(node, "term") != category.term())
            continue;
        if (!category.scheme().isEmpty() && attributeOf(node, "scheme") != category.scheme())
            continue;
        m_element.remove_child(node);
    }
}

bool GDataEntryBase::hasCategoryWithTerm(const QString& term) const
{
    for (pugi::xml_node node : childElements("category")) {
        if (attributeOf(node, "term") == term)
            return true;
    }
    return false;
}

GDataCategory GDataEntryBase::kindCategory() const
{
    for (const GDataCategory& category : categories()) {
        if (category.scheme() == kGDataCategoryScheme)
            return category;
    }
    return {};
}

std::optional<GDataBatchStatus> GDataEntryBase::batchStatus() const
{
    pugi::xml_node node = childElement("batch:status");
    if (!node)
        return std::nullopt;
    return GDataBatchStatus(attributeOf(node, "code").toInt(), attributeOf(node, "reason"),
                            attributeOf(node, "content-type"));
}

std::optional<GDataBatchInterrupted> GDataEntryBase::batchInterrupted() const
{
    pugi::xml_node node = childElement("batch:interrupted");
    if (!node)
        return std::nullopt;
    return GDataBatchInterrupted(attributeOf(node, "reason"), attributeOf(node, "parsed").toInt(),
                                 attributeOf(node, "success").toInt(), attributeOf(node, "failures").toInt());
}

void GDataEntryBase::setUploadData(const QByteArray& data)
{
    m_uploadData = data;
    m_uploadDevice.reset();
    m_hasUploadData = true;
}

void GDataEntryBase::setUploadFileHandle(std::shared_ptr<QIODevice> device)
{
    m_uploadDevice = std::move(device);
    m_uploadData.clear();
    m_hasUploadData = bool(m_uploadDevice);
}

} // namespace tavrel
