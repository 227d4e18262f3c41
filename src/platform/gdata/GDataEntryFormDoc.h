#pragma once

#include "platform/gdata/GDataEntryDocBase.h"

namespace tavrel {

// A form.
class GDataEntryFormDoc : public GDataEntryDocBase
{
    TAVREL_GDATA_OBJECT(GDataEntryFormDoc, GDataEntryDocBase)

    static std::shared_ptr<GDataEntryFormDoc> documentEntry()
    {
        return entryOfKind<GDataEntryFormDoc>(kGDataCategoryFormDoc);
    }
};

} // namespace tavrel
