#pragma once

#include "platform/gdata/GDataEntryDocBase.h"

namespace tavrel {

// A folder (collection).
class GDataEntryFolderDoc : public GDataEntryDocBase
{
    TAVREL_GDATA_OBJECT(GDataEntryFolderDoc, GDataEntryDocBase)

    static std::shared_ptr<GDataEntryFolderDoc> documentEntry()
    {
        return entryOfKind<GDataEntryFolderDoc>(kGDataCategoryFolderDoc);
    }
};

} // namespace tavrel
