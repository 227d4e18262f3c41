#include "controls/TQMailToDetailsTransformer.h"

#include "controls/TQFileItemToImageTransformer.h"
#include "model/Mail.h"

namespace tavrel {

QVariant TQMailToDetailsTransformer::transformedValue(const QVariant& value) const
{
    const auto mail = std::dynamic_pointer_cast<Mail>(value.value<ManagedObjectPtr>());
    if (!mail)
        return {};
    if (mail->address() != TQFileItemToImageTransformer::currentUserAddress() && !mail->contact())
        return {};
    return mail->address();
}

} // namespace tavrel
