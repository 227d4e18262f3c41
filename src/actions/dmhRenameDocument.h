#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "RenameDocument", store side. Parameters: "newName" (string), "documentEntity" (a FileEntryAbstract
// record), "statusID", "progressConsumer". The requester receives the record with its new title (of
// its own context), or an error: 701 for bad parameters, 702/703 for service failures, and 703 when
// the renamed record is no longer in the store.
class dmhRenameDocument : public DocumentManagerHandler
{
    Q_OBJECT
public:
    static inline const QString kNewNameKey = QStringLiteral("newName");
    static inline const QString kDocumentEntityKey = QStringLiteral("documentEntity");

    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    // Applies the updated entry to the master context through the store updater, then answers the
    // master's record.
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
