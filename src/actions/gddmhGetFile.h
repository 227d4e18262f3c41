#pragma once

#include "actions/GDataDocumentHandler.h"
#include "platform/runtime/Timing.h"

namespace tavrel {

// "GetFile", service side: fetches a document's content (its export in "exportFormat" for the service's
// own kinds) and streams it into a file in a new unique temporary folder, named after the title made safe
// as a file name with the kind's extension. The file appears under that name only once the whole answer
// arrived. An export is then named with the extension the answer gives (its Content-Disposition file name,
// else its content type), since the service may send another format than the one asked for. Byte progress
// goes to the parameters' "progressConsumer" while the answer has a Content-Length. The answer is the
// parameters plus "fileURL", "feed" (null) and "error".
//
// A stored file's answer must have the size and MD5 checksum its entry gives; a larger one is cut off as
// soon as it goes past. An export, whose size no entry gives, may have at most kMaximumExportBytes. The
// whole download ends at kDownloadTimeLimit plus the time its size takes at kMinimumBytesPerSecond, so
// an answer that trickles ends too. A failed download is logged with its cause and leaves nothing.
class gddmhGetFile : public GDataDocumentHandler
{
    Q_OBJECT
public:
    static inline const QString kInvalidParametersException =
        QStringLiteral("gddmhRevisionFetchInvalidParameters");
    static inline const QString kInvalidDocumentException =
        QStringLiteral("gddmhRevisionFetchInvalidDocument");

    // The export format and the file-name extension of a resource identifier's kind: "doc", "ppt", "xls"
    // or "pdf" for documents, presentations, spreadsheets and drawings; null for other kinds.
    static QString exportFormatForResourceID(const QString& resourceID);
    // The file-name extension an answer gives its body: that of the Content-Disposition's file name
    // (filename* before filename), else the one of a known content type; empty when neither says.
    static QString extensionOfAnswer(const QByteArray& contentDisposition, const QByteArray& contentType);

    static inline const Timing kDownloadTimeLimit{"downloadTimeLimit", 10 * 60 * 1000};
    static constexpr qint64 kMinimumBytesPerSecond = 64 * 1024;
    static constexpr qint64 kMaximumExportBytes = qint64(1) << 30;

    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
