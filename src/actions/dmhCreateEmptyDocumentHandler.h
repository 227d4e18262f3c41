#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "CreateEmptyDocumentHandler", store side of creating an empty item: "type" must be "document",
// "spreadsheet", "presentation", "drawing" or "folder" and a present "isTrashed" a number (else 701);
// "newName" defaults per kind ("Untitled Document" ...). The answer is the new record.
class dmhCreateEmptyDocumentHandler : public DocumentManagerHandler
{
    Q_OBJECT
public:
    // The title of a new item of the kind when none is given.
    static QString defaultTitleForType(const QString& type);

    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
