#include "platform/gdata/GDataConstants.h"

namespace tavrel {

const QString kGDataNamespaceAtom = QStringLiteral("http://www.w3.org/2005/Atom");
const QString kGDataNamespaceAtomPub = QStringLiteral("http://www.w3.org/2007/app");
const QString kGDataNamespaceGData = QStringLiteral("http://schemas.google.com/g/2005");
const QString kGDataNamespaceDocuments = QStringLiteral("http://schemas.google.com/docs/2007");
const QString kGDataNamespaceBatch = QStringLiteral("http://schemas.google.com/gdata/batch");
const QString kGDataNamespaceOpenSearch = QStringLiteral("http://a9.com/-/spec/opensearch/1.1/");
const QString kGDataNamespaceACL = QStringLiteral("http://schemas.google.com/acl/2007");
const QString kGDataNamespaceContact = QStringLiteral("http://schemas.google.com/contact/2008");
const QString kGDataNamespaceXML = QStringLiteral("http://www.w3.org/XML/1998/namespace");

const QString kGDataCategoryScheme = QStringLiteral("http://schemas.google.com/g/2005#kind");
const QString kGDataCategoryLabelScheme = QStringLiteral("http://schemas.google.com/g/2005/labels");
const QString kGDataCategoryStandardDoc = QStringLiteral("http://schemas.google.com/docs/2007#document");
const QString kGDataCategorySpreadsheetDoc =
    QStringLiteral("http://schemas.google.com/docs/2007#spreadsheet");
const QString kGDataCategoryPresentationDoc =
    QStringLiteral("http://schemas.google.com/docs/2007#presentation");
const QString kGDataCategoryDrawingDoc = QStringLiteral("http://schemas.google.com/docs/2007#drawing");
const QString kGDataCategoryFormDoc = QStringLiteral("http://schemas.google.com/docs/2007#form");
const QString kGDataCategoryPDFDoc = QStringLiteral("http://schemas.google.com/docs/2007#pdf");
const QString kGDataCategoryFileDoc = QStringLiteral("http://schemas.google.com/docs/2007#file");
const QString kGDataCategoryFolderDoc = QStringLiteral("http://schemas.google.com/docs/2007#folder");
const QString kGDataCategoryDocItem = QStringLiteral("http://schemas.google.com/docs/2007#item");
const QString kGDataCategoryDocMetadata = QStringLiteral("http://schemas.google.com/docs/2007#metadata");
const QString kGDataCategoryDocChange = QStringLiteral("http://schemas.google.com/docs/2007#change");
const QString kGDataCategoryACL = QStringLiteral("http://schemas.google.com/acl/2007#accessRule");
const QString kGDataCategoryContact = QStringLiteral("http://schemas.google.com/contact/2008#contact");

const QString kGDataCategoryLabelStarred = QStringLiteral("http://schemas.google.com/g/2005/labels#starred");
const QString kGDataCategoryLabelTrashed = QStringLiteral("http://schemas.google.com/g/2005/labels#trashed");
const QString kGDataCategoryLabelViewed = QStringLiteral("http://schemas.google.com/g/2005/labels#viewed");
const QString kGDataCategoryLabelHidden = QStringLiteral("http://schemas.google.com/g/2005/labels#hidden");

const QString kGDataLinkRelAlternate = QStringLiteral("alternate");
const QString kGDataLinkRelEdit = QStringLiteral("edit");
const QString kGDataLinkRelNext = QStringLiteral("next");
const QString kGDataLinkRelFeed = QStringLiteral("http://schemas.google.com/g/2005#feed");
const QString kGDataLinkRelPost = QStringLiteral("http://schemas.google.com/g/2005#post");
const QString kGDataLinkRelBatch = QStringLiteral("http://schemas.google.com/g/2005#batch");
const QString kGDataLinkRelResumableCreate =
    QStringLiteral("http://schemas.google.com/g/2005#resumable-create-media");
const QString kGDataLinkRelResumableEdit =
    QStringLiteral("http://schemas.google.com/g/2005#resumable-edit-media");
const QString kGDataLinkRelParent = QStringLiteral("http://schemas.google.com/docs/2007#parent");
const QString kGDataLinkRelThumbnail = QStringLiteral("http://schemas.google.com/docs/2007/thumbnail");
const QString kGDataLinkRelACL = QStringLiteral("http://schemas.google.com/acl/2007#accessControlList");
const QString kGDataLinkRelRevisions = QStringLiteral("http://schemas.google.com/docs/2007/revisions");
const QString kGDataLinkRelContactPhoto = QStringLiteral("http://schemas.google.com/contacts/2008/rel#photo");
const QString kGDataLinkRelIANAPrefix = QStringLiteral("http://www.iana.org/assignments/relation/");

const QString kGDataBatchOperationInsert = QStringLiteral("insert");
const QString kGDataBatchOperationUpdate = QStringLiteral("update");
const QString kGDataBatchOperationDelete = QStringLiteral("delete");
const QString kGDataBatchOperationQuery = QStringLiteral("query");

const QString kGDataGoogleDocsProjectionExpandACL = QStringLiteral("expandAcl");
const QString kGDataGoogleDocsProjectionFull = QStringLiteral("full");
const QString kGDataGoogleDocsVisibilityPrivate = QStringLiteral("private");
const QString kGDataGoogleDocsDefaultUserID = QStringLiteral("default");

const QString kGDataEmailWork = QStringLiteral("http://schemas.google.com/g/2005#work");
const QString kGDataEmailOther = QStringLiteral("http://schemas.google.com/g/2005#other");

const QString kGDataServiceErrorDomain = QStringLiteral("GDataServiceDomain");
const QString kGTMHTTPFetcherErrorDomain = QStringLiteral("GTMHTTPFetcherErrorDomain");
const QString kGTMHTTPFetcherStatusDomain = QStringLiteral("GTMHTTPFetcherStatusDomain");
const QString kGDataServerErrorStringKey = QStringLiteral("error");
const QString kGDataHTTPStatusDataKey = QStringLiteral("data");
const QString kGDataHTTPURLKey = QStringLiteral("URL");

} // namespace tavrel
