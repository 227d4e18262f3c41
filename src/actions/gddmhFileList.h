#pragma once

#include "actions/GDataDocumentHandler.h"

namespace tavrel {

// "FileList", service side: the whole document list with expanded access lists, fetched in pages that the
// service joins into one feed. "showFolders" and "showTrashed" (boolean numbers) add collections and trashed
// entries. With "feedPageHandler" (an invocation), each page goes to it as it arrives instead (see
// GDataTicketParking::handPagesTo) and the answer is the feed without entries; "ListContacts" takes it too.
class gddmhFileList : public GDataDocumentHandler
{
    Q_OBJECT
public:
    // Entries per page of the long feeds.
    static constexpr int kPageSize = 500;
    static inline const QString kFeedPageHandlerKey = QStringLiteral("feedPageHandler");

    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
