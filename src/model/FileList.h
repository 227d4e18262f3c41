#pragma once

#include "model/GoogleObject.h"
#include "platform/gdata/GDataFeedBase.h"

namespace tavrel {

class FileEntryAbstract;
class ManagedObjectContext;

// The document-list feed as a whole: one record per store.
class FileList : public GoogleObject
{
public:
    QString batchLinkAddress() const;
    void setBatchLinkAddress(const QString& address);
    QList<std::shared_ptr<FileEntryAbstract>> files() const;
    // eTag, batchLinkAddress (the batch link's absolute address) and the feed copy's text content.
    void fillWithGDataEntry(const GDataFeedPtr& feed);
    // The store's record, inserted into the context when there is none yet.
    static std::shared_ptr<FileList> fileListFromContext(ManagedObjectContext* context);
};

} // namespace tavrel
