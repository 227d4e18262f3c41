#pragma once

#include "pipeline/TQOperation.h"
#include "platform/runtime/Error.h"

#include <QSize>

namespace tavrel {

// "GenerateThumbnail": a small picture of a document's local copy ("fileURL") for "documentEntity", made
// here (an image scaled, a PDF's first page) and kept in the document's thumbnail cache. Never talks to
// the service. An existing cached thumbnail is reused. The requester receives the arguments with
// "fileURL" = the thumbnail and "error"; errors are in the domain "TQdmhGenerateThumbnailOperation":
// -1001 bad arguments, -1002 nothing to make a picture of, -1003 the picture cannot be encoded. The
// store updater hears every outcome. Light; it does its work in one go and finishes itself.
class TQdmhGenerateThumbnailOperation : public TQOperation
{
    Q_OBJECT
public:
    static inline const QString kErrorDomain = QStringLiteral("TQdmhGenerateThumbnailOperation");
    static constexpr QSize kThumbnailSize{72, 72};

    void performOperation() override;

private:
    void finishWith(const QVariantMap& arguments, const QUrl& thumbnail, const Error& error);
};

} // namespace tavrel
