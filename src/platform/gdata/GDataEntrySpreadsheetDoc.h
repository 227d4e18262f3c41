#pragma once

#include "platform/gdata/GDataEntryDocBase.h"

namespace tavrel {

// A spreadsheet.
class GDataEntrySpreadsheetDoc : public GDataEntryDocBase
{
    TAVREL_GDATA_OBJECT(GDataEntrySpreadsheetDoc, GDataEntryDocBase)

    static std::shared_ptr<GDataEntrySpreadsheetDoc> documentEntry()
    {
        return entryOfKind<GDataEntrySpreadsheetDoc>(kGDataCategorySpreadsheetDoc);
    }
};

} // namespace tavrel
