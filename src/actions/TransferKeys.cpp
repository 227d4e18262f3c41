#include "actions/TransferKeys.h"

#include <QVariant>

namespace tavrel {

bool TransferKeys::isNumber(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool TransferKeys::isYes(const QVariant& value)
{
    return isNumber(value) && value.toDouble() == 1.0;
}

} // namespace tavrel
