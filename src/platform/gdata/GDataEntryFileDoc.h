#pragma once

#include "platform/gdata/GDataEntryDocBase.h"

namespace tavrel {

// Any other stored file, kept as uploaded.
class GDataEntryFileDoc : public GDataEntryDocBase
{
    TAVREL_GDATA_OBJECT(GDataEntryFileDoc, GDataEntryDocBase)

    static std::shared_ptr<GDataEntryFileDoc> documentEntry()
    {
        return entryOfKind<GDataEntryFileDoc>(kGDataCategoryFileDoc);
    }
};

} // namespace tavrel
