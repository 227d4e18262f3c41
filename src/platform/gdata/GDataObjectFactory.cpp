#include "platform/gdata/GDataObjectFactory.h"

#include "platform/gdata/GDataConstants.h"
#include "platform/gdata/GDataEntryACL.h"
#include "platform/gdata/GDataEntryContact.h"
#include "platform/gdata/GDataEntryDocListMetadata.h"
#include "platform/gdata/GDataEntryDrawingDoc.h"
#include "platform/gdata/GDataEntryFileDoc.h"
#include "platform/gdata/GDataEntryFolderDoc.h"
#include "platform/gdata/GDataEntryFormDoc.h"
#include "platform/gdata/GDataEntryPDFDoc.h"
#include "platform/gdata/GDataEntryPresentationDoc.h"
#include "platform/gdata/GDataEntrySpreadsheetDoc.h"
#include "platform/gdata/GDataEntryStandardDoc.h"
#include "platform/gdata/GDataFeedACL.h"
#include "platform/gdata/GDataFeedContact.h"
#include "platform/gdata/GDataFeedDocChange.h"
#include "platform/gdata/GDataFeedDocList.h"

#include <QUrl>

namespace tavrel {

namespace {

QString kindTerm(pugi::xml_node element)
{
    for (pugi::xml_node node = element.child("category"); node; node = node.next_sibling("category")) {
        if (QString::fromUtf8(node.attribute("scheme").value()) == kGDataCategoryScheme)
            return QString::fromUtf8(node.attribute("term").value());
    }
    return {};
}

template <class T>
GDataEntryPtr make(const std::shared_ptr<GDataXMLDocument>& document, pugi::xml_node element)
{
    return std::make_shared<T>(document, element);
}

bool isDocumentsElement(pugi::xml_node element)
{
    return element.child("gd:resourceId") || element.child("docs:changestamp") ||
           element.child("docs:removed");
}

} // namespace

GDataEntryPtr GDataObjectFactory::entryForElement(const std::shared_ptr<GDataXMLDocument>& document,
                                                  pugi::xml_node element, FeedHint hint)
{
    const QString term = kindTerm(element);
    if (term == kGDataCategoryStandardDoc)
        return make<GDataEntryStandardDoc>(document, element);
    if (term == kGDataCategorySpreadsheetDoc)
        return make<GDataEntrySpreadsheetDoc>(document, element);
    if (term == kGDataCategoryPresentationDoc)
        return make<GDataEntryPresentationDoc>(document, element);
    if (term == kGDataCategoryDrawingDoc)
        return make<GDataEntryDrawingDoc>(document, element);
    if (term == kGDataCategoryFormDoc)
        return make<GDataEntryFormDoc>(document, element);
    if (term == kGDataCategoryPDFDoc)
        return make<GDataEntryPDFDoc>(document, element);
    if (term == kGDataCategoryFileDoc)
        return make<GDataEntryFileDoc>(document, element);
    if (term == kGDataCategoryFolderDoc)
        return make<GDataEntryFolderDoc>(document, element);
    if (term == kGDataCategoryACL)
        return make<GDataEntryACL>(document, element);
    if (term == kGDataCategoryContact)
        return make<GDataEntryContact>(document, element);
    if (term == kGDataCategoryDocMetadata || element.child("docs:largestChangestamp"))
        return make<GDataEntryDocListMetadata>(document, element);
    if (element.child("gAcl:scope") || element.child("gAcl:role") || hint == FeedHint::ACL)
        return make<GDataEntryACL>(document, element);
    if (element.child("gd:name") || element.child("gd:email") || hint == FeedHint::Contacts)
        return make<GDataEntryContact>(document, element);
    if (isDocumentsElement(element) || hint == FeedHint::Documents ||
        term.startsWith(kGDataNamespaceDocuments))
        return make<GDataEntryDocBase>(document, element);
    return make<GDataEntryBase>(document, element);
}

GDataFeedPtr GDataObjectFactory::feedForElement(const std::shared_ptr<GDataXMLDocument>& document,
                                                pugi::xml_node element, FeedHint hint)
{
    const QString term = kindTerm(element);
    if (term == kGDataCategoryACL || hint == FeedHint::ACL)
        return std::make_shared<GDataFeedACL>(document, element);
    if (term == kGDataCategoryContact || hint == FeedHint::Contacts)
        return std::make_shared<GDataFeedContact>(document, element);
    if (term == kGDataCategoryDocChange || element.child("docs:largestChangestamp"))
        return std::make_shared<GDataFeedDocChange>(document, element);
    if (term == kGDataCategoryDocItem)
        return std::make_shared<GDataFeedDocList>(document, element);
    // No kind on the feed: look at its first entry.
    pugi::xml_node first = element.child("entry");
    if (first) {
        GDataEntryPtr entry = entryForElement(document, first);
        if (std::dynamic_pointer_cast<GDataEntryACL>(entry))
            return std::make_shared<GDataFeedACL>(document, element);
        if (std::dynamic_pointer_cast<GDataEntryContact>(entry))
            return std::make_shared<GDataFeedContact>(document, element);
        if (std::dynamic_pointer_cast<GDataEntryDocBase>(entry))
            return first.child("docs:changestamp") ? std::make_shared<GDataFeedDocChange>(document, element)
                                                   : std::make_shared<GDataFeedDocList>(document, element);
    }
    if (hint == FeedHint::Documents)
        return std::make_shared<GDataFeedDocList>(document, element);
    return std::make_shared<GDataFeedBase>(document, element);
}

GDataObjectPtr GDataObjectFactory::objectWithXMLData(const QByteArray& data, Error* error, FeedHint hint)
{
    QString reason;
    auto document = GDataXMLDocument::parse(data, &reason);
    if (document) {
        const QByteArray name = document->root().name();
        if (name == "feed")
            return feedForElement(document, document->root(), hint);
        if (name == "entry")
            return entryForElement(document, document->root(), hint);
        reason = QStringLiteral("the answer is no Atom feed or entry (root element \"%1\")")
                     .arg(QString::fromUtf8(name));
    }
    if (error) {
        *error = Error(
            kGDataServiceErrorDomain, kGDataServiceErrorParse,
            {{Error::kLocalizedDescriptionKey, QStringLiteral("The service's answer could not be read.")},
             {Error::kLocalizedFailureReasonKey, reason},
             {kGDataHTTPStatusDataKey, data}});
    }
    return nullptr;
}

GDataEntryPtr GDataObjectFactory::entryWithXMLString(const QString& xml)
{
    if (xml.isEmpty())
        return nullptr;
    auto document = GDataXMLDocument::parse(xml.toUtf8(), nullptr);
    if (!document || QByteArray(document->root().name()) != "entry")
        return nullptr;
    return entryForElement(document, document->root());
}

GDataObjectFactory::FeedHint GDataObjectFactory::hintForURL(const QUrl& url, FeedHint serviceDefault)
{
    const QString path = url.path();
    if (path.endsWith(QLatin1String("/acl")) || path.endsWith(QLatin1String("/acl/")))
        return FeedHint::ACL;
    return serviceDefault;
}

} // namespace tavrel
