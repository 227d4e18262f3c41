#pragma once

#include "controls/ValueTransformer.h"

namespace tavrel {

// A mail record to its display name, followed by the localised "ME" for the signed-in user.
class TQContactToDisplayNameTransformer : public ValueTransformer
{
public:
    QVariant transformedValue(const QVariant& value) const override;
};

} // namespace tavrel
