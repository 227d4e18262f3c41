#pragma once

#include "actions/GDataDocumentHandler.h"

namespace tavrel {

// "StarredDocuments", service side: one batch of "update" entries, each a document's whole stored entry
// (with its own entity tag, its identifier as batch identifier) with the starred flag set, posted to
// "batchURL". An update replaces the entry, so a bare one would lose the title; a stale entry is refused
// for that document (603) rather than overwriting a change made elsewhere.
class gddmhStarredDocuments : public GDataDocumentHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
