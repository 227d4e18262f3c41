#pragma once

#include "actions/GDataDocumentHandler.h"

namespace tavrel {

// "UploadRevision", service side: sends the saved copy at "filePath" as a new revision of the
// document "documentEntity" (If-Match "*": whatever the service holds is overwritten), through the
// resumable protocol in chunks read from the file, to the entry's resumable-edit address in the
// access-list-expanding projection. Documents of the service's own kinds are converted.
class gddmhUploadRevision : public GDataDocumentHandler
{
    Q_OBJECT
public:
    static inline const QString kInvalidInputParameterException = QStringLiteral("InvalidInputParameter");
    static inline const QString kFileNotFoundException = QStringLiteral("FileNotFound");

    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
