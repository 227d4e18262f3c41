#include "controls/ValueTransformer.h"

#include <QHash>

namespace tavrel {

namespace {
QHash<QString, std::shared_ptr<ValueTransformer>>& registry()
{
    static QHash<QString, std::shared_ptr<ValueTransformer>> transformers;
    return transformers;
}
} // namespace

void ValueTransformer::setValueTransformer(const std::shared_ptr<ValueTransformer>& transformer,
                                           const QString& name)
{
    if (transformer)
        registry().insert(name, transformer);
    else
        registry().remove(name);
}

std::shared_ptr<ValueTransformer> ValueTransformer::valueTransformerForName(const QString& name)
{
    return registry().value(name);
}

} // namespace tavrel
