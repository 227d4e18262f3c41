#pragma once

#include "controls/ValueTransformer.h"

namespace tavrel {

// A mail record to the localised "OnlyME" for the signed-in user, else to its contact's display
// name, else to its address. Any other value passes unchanged.
class TQMailToDisplayNameTransformer : public ValueTransformer
{
public:
    QVariant transformedValue(const QVariant& value) const override;
};

} // namespace tavrel
