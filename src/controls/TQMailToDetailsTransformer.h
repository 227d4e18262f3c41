#pragma once

#include "controls/ValueTransformer.h"

namespace tavrel {

// A mail record to its address, or to nil when its name shown already is the address (a stranger
// without a contact). Any other value gives nil.
class TQMailToDetailsTransformer : public ValueTransformer
{
public:
    QVariant transformedValue(const QVariant& value) const override;
};

} // namespace tavrel
