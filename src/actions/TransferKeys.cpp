#include "actions/TransferKeys.h"

#include "actions/DocumentActionSupport.h"

#include <QVariant>

namespace tavrel {

bool TransferKeys::isNumber(const QVariant& value)
{
    return DocumentActionSupport::isNumber(value);
}

bool TransferKeys::isYes(const QVariant& value)
{
    return isNumber(value) && value.toDouble() == 1.0;
}

} // namespace tavrel
