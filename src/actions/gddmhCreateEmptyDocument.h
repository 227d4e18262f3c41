#pragma once

#include "actions/GDataDocumentHandler.h"
#include "platform/gdata/GDataEntryDocBase.h"

namespace tavrel {

// "CreateEmptyDocument", service side: inserts a new empty entry of the kind "type" titled "newName"
// into the document list with expanded access lists, or into the collection "collectionEntity" (its
// content feed, else its resumable-create address); in the trash when "isTrashed" is YES.
class gddmhCreateEmptyDocument : public GDataDocumentHandler
{
    Q_OBJECT
public:
    // A new entry of the kind ("document", "spreadsheet", "presentation", "drawing", "folder");
    // nothing for another kind.
    static GDataEntryDocPtr entryForType(const QString& type);

    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
