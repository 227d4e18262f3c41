#include "model/ContactAdapter.h"

#include "platform/gdata/GDataObjectFactory.h"

namespace tavrel {

GDataEntryContactPtr ContactAdapter::gdataEntry() const
{
    if (const GDataEntryPtr parsed = GDataObjectFactory::entryWithXMLString(m_xml)) {
        if (auto contact = std::dynamic_pointer_cast<GDataEntryContact>(parsed))
            return contact;
        return std::make_shared<GDataEntryContact>(parsed->XMLDocument(), parsed->XMLElement());
    }
    return GDataEntryContact::contactEntryWithFullNameString(m_name);
}

} // namespace tavrel
