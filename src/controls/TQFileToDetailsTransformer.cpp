#include "controls/TQFileToDetailsTransformer.h"

#include "model/Category.h"
#include "model/File.h"

namespace tavrel {

QVariant TQFileToDetailsTransformer::transformedValue(const QVariant& value) const
{
    const auto file = std::dynamic_pointer_cast<File>(value.value<ManagedObjectPtr>());
    if (!file)
        return {};
    QStringList titles;
    for (const auto& category : file->categories())
        if (category)
            titles.append(category->title());
    if (titles.isEmpty())
        return {};
    return titles.join(QStringLiteral(", "));
}

} // namespace tavrel
