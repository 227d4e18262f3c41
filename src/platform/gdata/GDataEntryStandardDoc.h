#pragma once

#include "platform/gdata/GDataEntryDocBase.h"

namespace tavrel {

// A text document.
class GDataEntryStandardDoc : public GDataEntryDocBase
{
    TAVREL_GDATA_OBJECT(GDataEntryStandardDoc, GDataEntryDocBase)

    static std::shared_ptr<GDataEntryStandardDoc> documentEntry()
    {
        return entryOfKind<GDataEntryStandardDoc>(kGDataCategoryStandardDoc);
    }
};

} // namespace tavrel
