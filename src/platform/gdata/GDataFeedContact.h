#pragma once

#include "platform/gdata/GDataEntryContact.h"
#include "platform/gdata/GDataFeedBase.h"

namespace tavrel {

// The contacts feed. Its entries are contacts whether or not they carry the kind.
class GDataFeedContact : public GDataFeedBase
{
    TAVREL_GDATA_OBJECT(GDataFeedContact, GDataFeedBase)

    static std::shared_ptr<GDataFeedContact> contactFeed() { return feed<GDataFeedContact>(); }

protected:
    GDataEntryPtr entryForElement(pugi::xml_node element) const override
    {
        return std::make_shared<GDataEntryContact>(m_document, element);
    }
};

} // namespace tavrel
