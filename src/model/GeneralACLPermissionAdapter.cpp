#include "model/GeneralACLPermissionAdapter.h"

#include "model/RecordValue.h"

namespace tavrel {

std::shared_ptr<GeneralACLPermissionAdapter>
GeneralACLPermissionAdapter::adapterObjectForUsername(const QString& /*username*/) const
{
    return std::make_shared<GeneralACLPermissionAdapter>(*this);
}

void GeneralACLPermissionAdapter::setHasLink(const QVariant& hasLink)
{
    m_hasLink = recordvalue::boolOrNil(hasLink);
}

} // namespace tavrel
