#include "platform/gdata/GDataEntryDocBase.h"

namespace tavrel {

GDataEntryDocPtr GDataEntryDocBase::documentEntry()
{
    auto document = GDataXMLDocument::createWithRoot(QStringLiteral("entry"));
    return std::make_shared<GDataEntryDocBase>(document, document->root());
}

QMap<QString, QString> GDataEntryDocBase::baseDocumentNamespaces()
{
    return {{QString(), kGDataNamespaceAtom},
            {QStringLiteral("gd"), kGDataNamespaceGData},
            {QStringLiteral("docs"), kGDataNamespaceDocuments},
            {QStringLiteral("batch"), kGDataNamespaceBatch},
            {QStringLiteral("app"), kGDataNamespaceAtomPub}};
}

QString GDataEntryDocBase::kind() const
{
    const GDataCategory category = kindCategory();
    if (category.isNull())
        return {};
    const QString& term = category.term();
    const int hash = term.lastIndexOf(QLatin1Char('#'));
    return hash < 0 ? term : term.mid(hash + 1);
}

std::optional<GDataPerson> GDataEntryDocBase::lastModifiedBy() const
{
    pugi::xml_node node = childElement("gd:lastModifiedBy");
    if (!node)
        return std::nullopt;
    return GDataPerson(text(node.child("name")), text(node.child("email")));
}

QList<GDataLink> GDataEntryDocBase::parentLinks() const
{
    QList<GDataLink> list;
    for (const GDataLink& link : links()) {
        if (link.rel() == kGDataLinkRelParent)
            list << link;
    }
    return list;
}

GDataFeedLinkPtr GDataEntryDocBase::ACLFeedLink() const
{
    for (pugi::xml_node node : childElements("gd:feedLink")) {
        if (attributeOf(node, "rel") == kGDataLinkRelACL)
            return std::make_shared<GDataFeedLink>(m_document, node);
    }
    return nullptr;
}

std::optional<qint64> GDataEntryDocBase::number(const QString& text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

std::optional<bool> GDataEntryDocBase::flag(const char* qualifiedName) const
{
    pugi::xml_node node = childElement(qualifiedName);
    if (!node)
        return std::nullopt;
    return attributeOf(node, "value").trimmed().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

void GDataEntryDocBase::setLabel(const QString& term, bool on)
{
    const GDataCategory label = GDataCategory::categoryWithLabelTerm(term);
    if (on)
        addCategory(label);
    else
        removeCategory(GDataCategory(QString(), term));
}

} // namespace tavrel
