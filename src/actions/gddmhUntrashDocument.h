#pragma once

#include "actions/gddmhTrashDocument.h"

namespace tavrel {

// "UntrashDocument", service side: the entry without the trashed label, forced as for trashing.
class gddmhUntrashDocument : public gddmhTrashDocument
{
    Q_OBJECT

protected:
    bool trashes() const override { return false; }
};

} // namespace tavrel
