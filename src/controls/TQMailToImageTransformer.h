#pragma once

#include "controls/TQAvatarPathToImageTransformer.h"

namespace tavrel {

// A person's mail record to the photo of its contact at the transformer's edge; a record without a
// contact or photo, or anything else, to the placeholder.
class TQMailToImageTransformer : public TQAvatarPathToImageTransformer
{
public:
    explicit TQMailToImageTransformer(qint64 edge = 0) : TQAvatarPathToImageTransformer(edge) {}
    QVariant transformedValue(const QVariant& value) const override;
};

} // namespace tavrel
