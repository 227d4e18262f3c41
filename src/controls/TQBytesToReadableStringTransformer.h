#pragma once

#include "controls/ValueTransformer.h"

namespace tavrel {

// A byte count as a readable size in decimal units, not localised: "999 B", "1.0 KB", "1.5 MB",
// "2.5 GB"; nil is 0.
class TQBytesToReadableStringTransformer : public ValueTransformer
{
public:
    QVariant transformedValue(const QVariant& value) const override;
};

} // namespace tavrel
