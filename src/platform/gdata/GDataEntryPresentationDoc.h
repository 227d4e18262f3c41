#pragma once

#include "platform/gdata/GDataEntryDocBase.h"

namespace tavrel {

// A presentation.
class GDataEntryPresentationDoc : public GDataEntryDocBase
{
    TAVREL_GDATA_OBJECT(GDataEntryPresentationDoc, GDataEntryDocBase)

    static std::shared_ptr<GDataEntryPresentationDoc> documentEntry()
    {
        return entryOfKind<GDataEntryPresentationDoc>(kGDataCategoryPresentationDoc);
    }
};

} // namespace tavrel
