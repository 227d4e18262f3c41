#pragma once

#include "platform/gdata/GDataEntryACL.h"
#include "platform/gdata/GDataFeedBase.h"

namespace tavrel {

// A document's access list. Its entries are access-list entries whether or not they carry the kind.
class GDataFeedACL : public GDataFeedBase
{
    TAVREL_GDATA_OBJECT(GDataFeedACL, GDataFeedBase)

    static std::shared_ptr<GDataFeedACL> ACLFeed() { return feed<GDataFeedACL>(); }

protected:
    GDataEntryPtr entryForElement(pugi::xml_node element) const override
    {
        return std::make_shared<GDataEntryACL>(m_document, element);
    }
};

} // namespace tavrel
