#pragma once

#include "platform/gdata/GDataEntryDocBase.h"
#include "platform/gdata/GDataFeedBase.h"

namespace tavrel {

// The documents list (and a collection's contents): entries of the documents-list classes.
class GDataFeedDocList : public GDataFeedBase
{
    TAVREL_GDATA_OBJECT(GDataFeedDocList, GDataFeedBase)

    static std::shared_ptr<GDataFeedDocList> documentFeed() { return feed<GDataFeedDocList>(); }
    // The largest changestamp, when the service gives one (the changes feed does).
    std::optional<qint64> largestChangestamp() const
    {
        bool ok = false;
        const qint64 value = childAttribute("docs:largestChangestamp").trimmed().toLongLong(&ok);
        return ok ? std::optional<qint64>(value) : std::nullopt;
    }
};

} // namespace tavrel
