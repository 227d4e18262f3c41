#include "model/FileList.h"

#include "model/ContextFetch.h"
#include "model/FileEntryAbstract.h"
#include "model/RecordValue.h"
#include "platform/store/ManagedObjectContext.h"

namespace tavrel {

QString FileList::batchLinkAddress() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("batchLinkAddress")));
}

void FileList::setBatchLinkAddress(const QString& address)
{
    setValueForKey(QStringLiteral("batchLinkAddress"), recordvalue::stringOrNil(address));
}

QList<std::shared_ptr<FileEntryAbstract>> FileList::files() const
{
    return toMany<FileEntryAbstract>(QStringLiteral("files"));
}

void FileList::fillWithGDataEntry(const GDataFeedPtr& feed)
{
    if (!feed)
        return;
    setETag(feed->ETag());
    const GDataLink batch = feed->batchLink();
    setBatchLinkAddress(batch.isNull() ? QString() : batch.URL().toString(QUrl::FullyEncoded));
    // The text of the feed itself: a copy of the whole page tree would say the same.
    setXml(feed->stringValue());
}

std::shared_ptr<FileList> FileList::fileListFromContext(ManagedObjectContext* context)
{
    if (!context)
        return {};
    FetchRequest request("FileList");
    request.setFetchLimit(1);
    if (auto found = ContextFetch::firstRecord<FileList>(context, request))
        return found;
    return context->insertNewObject<FileList>(QStringLiteral("FileList"));
}

} // namespace tavrel
