#include "controls/TQMailToImageTransformer.h"

#include "model/Contact.h"
#include "model/Mail.h"

namespace tavrel {

QVariant TQMailToImageTransformer::transformedValue(const QVariant& value) const
{
    const auto mail = std::dynamic_pointer_cast<Mail>(value.value<ManagedObjectPtr>());
    const auto contact = mail ? mail->contact() : nullptr;
    return TQAvatarPathToImageTransformer::transformedValue(contact ? contact->avatar() : QString());
}

} // namespace tavrel
