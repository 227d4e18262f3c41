#include "controls/TQMailToDisplayNameTransformer.h"

#include "controls/TQFileItemToImageTransformer.h"
#include "model/Mail.h"
#include "platform/ui/StringTable.h"

namespace tavrel {

QVariant TQMailToDisplayNameTransformer::transformedValue(const QVariant& value) const
{
    const auto mail = std::dynamic_pointer_cast<Mail>(value.value<ManagedObjectPtr>());
    if (!mail)
        return value;
    if (mail->address() == TQFileItemToImageTransformer::currentUserAddress())
        return StringTable::text(QStringLiteral("OnlyME"));
    if (mail->contact())
        return mail->displayName();
    return mail->address();
}

} // namespace tavrel
