#pragma once

#include <QString>
#include <QVariant>
#include <memory>

namespace tavrel {

// A one-way conversion from a record (or a value) to what a row shows of it: a picture or a text.
// Views find shared ones by name; the others are made where needed. Records travel as
// ManagedObjectPtr inside the QVariant, pictures as QPixmap. Main thread only.
class ValueTransformer
{
public:
    virtual ~ValueTransformer() = default;

    virtual QVariant transformedValue(const QVariant& value) const = 0;
    static bool allowsReverseTransformation() { return false; }

    // The registry of named transformers.
    static void setValueTransformer(const std::shared_ptr<ValueTransformer>& transformer,
                                    const QString& name);
    static std::shared_ptr<ValueTransformer> valueTransformerForName(const QString& name);
};

} // namespace tavrel
