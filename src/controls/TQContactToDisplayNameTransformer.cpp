#include "controls/TQContactToDisplayNameTransformer.h"

#include "controls/TQFileItemToImageTransformer.h"
#include "model/Mail.h"
#include "platform/ui/StringTable.h"

namespace tavrel {

QVariant TQContactToDisplayNameTransformer::transformedValue(const QVariant& value) const
{
    const auto mail = std::dynamic_pointer_cast<Mail>(value.value<ManagedObjectPtr>());
    if (!mail)
        return {};
    QString name = mail->displayName();
    if (mail->address() == TQFileItemToImageTransformer::currentUserAddress())
        name += StringTable::text(QStringLiteral("ME"));
    return name;
}

} // namespace tavrel
