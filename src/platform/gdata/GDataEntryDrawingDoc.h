#pragma once

#include "platform/gdata/GDataEntryDocBase.h"

namespace tavrel {

// A drawing.
class GDataEntryDrawingDoc : public GDataEntryDocBase
{
    TAVREL_GDATA_OBJECT(GDataEntryDrawingDoc, GDataEntryDocBase)

    static std::shared_ptr<GDataEntryDrawingDoc> documentEntry()
    {
        return entryOfKind<GDataEntryDrawingDoc>(kGDataCategoryDrawingDoc);
    }
};

} // namespace tavrel
