#pragma once

#include <QString>

namespace tavrel {

// The parameter and result keys of the transfer actions (uploads, downloads, revisions, opening,
// thumbnails and photos).
class TransferKeys
{
public:
    static inline const QString kFileURL = QStringLiteral("fileURL");
    static inline const QString kFileURLs = QStringLiteral("fileURLs");
    static inline const QString kFolderURL = QStringLiteral("folderURL");
    static inline const QString kFilePath = QStringLiteral("filePath");
    static inline const QString kCollectionEntity = QStringLiteral("collectionEntity");
    static inline const QString kDocumentEntity = QStringLiteral("documentEntity");
    static inline const QString kDocumentEntities = QStringLiteral("documentEntities");
    static inline const QString kShouldConvert = QStringLiteral("shouldConvert");
    static inline const QString kIsStarred = QStringLiteral("isStarred");
    static inline const QString kIsTrashed = QStringLiteral("isTrashed");
    static inline const QString kProgressID = QStringLiteral("progressID");
    static inline const QString kACLEntries = QStringLiteral("ACLEntries");
    static inline const QString kGeneralACLPermission = QStringLiteral("generalACLPermission");
    static inline const QString kExportFormat = QStringLiteral("exportFormat");
    static inline const QString kCachedFileURL = QStringLiteral("cachedFileURL");
    static inline const QString kRootFolderURL = QStringLiteral("rootFolderURL");
    static inline const QString kApplicationURL = QStringLiteral("applicationURL");
    static inline const QString kOpenDocumentInvocation = QStringLiteral("openDocumentInvocation");
    static inline const QString kNewName = QStringLiteral("newName");
    static inline const QString kType = QStringLiteral("type");
    static inline const QString kContactEntity = QStringLiteral("contactEntity");
    static inline const QString kContact = QStringLiteral("contact");
    static inline const QString kImage = QStringLiteral("image");
    static inline const QString kImageURL = QStringLiteral("imageURL");
    static inline const QString kCachedImageURL = QStringLiteral("cachedImageURL");

    // Whether a parameter is a boolean or number equal to YES.
    static bool isYes(const QVariant& value);
    // Whether it is a number (a boolean counts).
    static bool isNumber(const QVariant& value);
};

} // namespace tavrel
