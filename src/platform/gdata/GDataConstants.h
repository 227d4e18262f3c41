#pragma once

#include <QString>

// Names of the feed protocol: namespaces, link relations, categories, labels, batch operations, the error
// domains and the user-info keys of the errors the client reports.
namespace tavrel {

// Namespace URIs. Elements are matched by these, never by the prefix a sender chose.
extern const QString kGDataNamespaceAtom;       // "http://www.w3.org/2005/Atom"
extern const QString kGDataNamespaceAtomPub;    // "http://www.w3.org/2007/app"
extern const QString kGDataNamespaceGData;      // "http://schemas.google.com/g/2005"
extern const QString kGDataNamespaceDocuments;  // "http://schemas.google.com/docs/2007"
extern const QString kGDataNamespaceBatch;      // "http://schemas.google.com/gdata/batch"
extern const QString kGDataNamespaceOpenSearch; // "http://a9.com/-/spec/opensearch/1.1/"
extern const QString kGDataNamespaceACL;        // "http://schemas.google.com/acl/2007"
extern const QString kGDataNamespaceContact;    // "http://schemas.google.com/contact/2008"
extern const QString kGDataNamespaceXML;        // "http://www.w3.org/XML/1998/namespace"

// Categories.
extern const QString kGDataCategoryScheme;      // scheme of kind categories
extern const QString kGDataCategoryLabelScheme; // scheme of label categories
extern const QString kGDataCategoryStandardDoc;
extern const QString kGDataCategorySpreadsheetDoc;
extern const QString kGDataCategoryPresentationDoc;
extern const QString kGDataCategoryDrawingDoc;
extern const QString kGDataCategoryFormDoc;
extern const QString kGDataCategoryPDFDoc;
extern const QString kGDataCategoryFileDoc;
extern const QString kGDataCategoryFolderDoc;
extern const QString kGDataCategoryDocItem;     // kind of the documents-list feed itself
extern const QString kGDataCategoryDocMetadata; // kind of the metadata entry
extern const QString kGDataCategoryDocChange;   // kind of the changes feed
extern const QString kGDataCategoryACL;         // kind of access-list entries
extern const QString kGDataCategoryContact;     // kind of contact entries

// Label categories (the term; the label attribute is the part after '#').
extern const QString kGDataCategoryLabelStarred;
extern const QString kGDataCategoryLabelTrashed;
extern const QString kGDataCategoryLabelViewed;
extern const QString kGDataCategoryLabelHidden;

// Link relations.
extern const QString kGDataLinkRelAlternate;       // "alternate"
extern const QString kGDataLinkRelEdit;            // "edit"
extern const QString kGDataLinkRelNext;            // "next"
extern const QString kGDataLinkRelFeed;            // ".../g/2005#feed"
extern const QString kGDataLinkRelPost;            // ".../g/2005#post"
extern const QString kGDataLinkRelBatch;           // ".../g/2005#batch"
extern const QString kGDataLinkRelResumableCreate; // ".../g/2005#resumable-create-media"
extern const QString kGDataLinkRelResumableEdit;   // ".../g/2005#resumable-edit-media"
extern const QString kGDataLinkRelParent;          // ".../docs/2007#parent"
extern const QString kGDataLinkRelThumbnail;       // ".../docs/2007/thumbnail"
extern const QString kGDataLinkRelACL;             // feed link of the access list
extern const QString kGDataLinkRelRevisions;       // feed link of the revisions
extern const QString kGDataLinkRelContactPhoto;    // ".../contacts/2008/rel#photo"
extern const QString kGDataLinkRelIANAPrefix;      // "http://www.iana.org/assignments/relation/"

// Batch operations.
extern const QString kGDataBatchOperationInsert;
extern const QString kGDataBatchOperationUpdate;
extern const QString kGDataBatchOperationDelete;
extern const QString kGDataBatchOperationQuery;

// Documents-list projection that expands the access list of every entry inline.
extern const QString kGDataGoogleDocsProjectionExpandACL; // "expandAcl"
extern const QString kGDataGoogleDocsProjectionFull;      // "full"
extern const QString kGDataGoogleDocsVisibilityPrivate;   // "private"
extern const QString kGDataGoogleDocsDefaultUserID;       // "default"

// Mail-address relations of contacts.
extern const QString kGDataEmailWork;
extern const QString kGDataEmailOther;

// Errors. HTTP failures of service calls are errors of kGDataServiceErrorDomain whose code is the HTTP
// status; the answer body is in the user info. Failures below HTTP (reset, refused, time-out) are errors of
// kGTMHTTPFetcherErrorDomain with the network error as code. The download fetcher reports HTTP statuses in
// kGTMHTTPFetcherStatusDomain.
extern const QString kGDataServiceErrorDomain;    // "GDataServiceDomain"
extern const QString kGTMHTTPFetcherErrorDomain;  // "GTMHTTPFetcherErrorDomain"
extern const QString kGTMHTTPFetcherStatusDomain; // "GTMHTTPFetcherStatusDomain"
extern const QString kGDataServerErrorStringKey;  // "error": the answer body as text
extern const QString kGDataHTTPStatusDataKey;     // "data": the answer body as bytes
extern const QString kGDataHTTPURLKey;            // "URL": the address that failed

// Codes of kGDataServiceErrorDomain that are not HTTP statuses.
constexpr qint64 kGDataServiceErrorParse = -1;        // the answer is no well-formed feed or entry
constexpr qint64 kGDataServiceErrorUpload = -2;       // the resumable upload protocol broke
constexpr qint64 kGDataServiceErrorInvalidInput = -3; // nothing to send (no entry, no upload data)

// Codes of kGTMHTTPFetcherErrorDomain that are no network errors of Qt.
constexpr qint64 kGTMHTTPFetcherErrorBodyTooLarge = -10; // the answer went past the size it may have
constexpr qint64 kGTMHTTPFetcherErrorTimeLimit = -11;    // the whole exchange took longer than allowed
constexpr qint64 kGTMHTTPFetcherErrorBodyMismatch = -12; // the body's size or MD5 is not the expected one
constexpr qint64 kGTMHTTPFetcherErrorRedirect = -13;     // too many redirects, or one to a less safe scheme

} // namespace tavrel
