#pragma once

#include "actions/GDataDocumentHandler.h"
#include "platform/gdata/GDataEntryDocBase.h"

namespace tavrel {

// "UploadFile", service side: sends one local file as a new entry, through the resumable protocol and in
// chunks read from the file (never the whole file in memory), to the access-list-expanding upload
// address or a collection's resumable-create address. The ticket carries "invocation", "parameter"
// and "progressID" (the byte progress goes to the parameters' "progressConsumer").
class gddmhUploadFile : public GDataDocumentHandler
{
    Q_OBJECT
public:
    static inline const QString kUploadFileErrorDomain =
        QStringLiteral("GdataDocumentManager/UploadFileError");
    static inline const QString kFileNotFoundException = QStringLiteral("FileNotFoundException");

    // The MIME type and entry class name for a file-name extension (compared lower-cased, first row of the
    // table wins); both null when the extension is not in the table.
    static void getMIMETypeAndEntryClassForExtension(const QString& extension, QString* MIMEType,
                                                     QString* entryClass);
    // The MIME type and a new entry for a file: the table's, else the type derived from the name
    // ("application/octet-stream" when none) with a plain file entry.
    static GDataEntryDocPtr newEntryForFileAtPath(const QString& path, QString* MIMEType);

    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
