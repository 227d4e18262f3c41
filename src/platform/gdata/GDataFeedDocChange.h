#pragma once

#include "platform/gdata/GDataFeedDocList.h"

namespace tavrel {

// The changes feed: documents-list entries with changestamps; removed ones carry docs:removed.
class GDataFeedDocChange : public GDataFeedDocList
{
    TAVREL_GDATA_OBJECT(GDataFeedDocChange, GDataFeedDocList)
};

} // namespace tavrel
