#pragma once

#include "platform/gdata/GDataEntryDocBase.h"

namespace tavrel {

// A PDF file.
class GDataEntryPDFDoc : public GDataEntryDocBase
{
    TAVREL_GDATA_OBJECT(GDataEntryPDFDoc, GDataEntryDocBase)

    static std::shared_ptr<GDataEntryPDFDoc> documentEntry()
    {
        return entryOfKind<GDataEntryPDFDoc>(kGDataCategoryPDFDoc);
    }
};

} // namespace tavrel
