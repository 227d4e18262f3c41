#pragma once

#include "actions/gddmhTrashDocuments.h"

namespace tavrel {

// "DeleteDocuments", service side: the trash batch, posted with "delete=true" so that the documents
// are deleted for good.
class gddmhDeleteDocuments : public gddmhTrashDocuments
{
    Q_OBJECT

protected:
    bool deletesForGood() const override { return true; }
};

} // namespace tavrel
