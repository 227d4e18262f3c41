#pragma once

#include "controls/ValueTransformer.h"

namespace tavrel {

// A document to the titles of its collections joined by ", "; nil when it is in none or is not a
// document.
class TQFileToDetailsTransformer : public ValueTransformer
{
public:
    QVariant transformedValue(const QVariant& value) const override;
};

} // namespace tavrel
