#include "platform/gdata/GDataFeedLink.h"

#include "platform/gdata/GDataObjectFactory.h"

namespace tavrel {

GDataFeedPtr GDataFeedLink::feed() const
{
    pugi::xml_node node = childElement("feed");
    if (!node)
        return nullptr;
    const auto hint =
        rel() == kGDataLinkRelACL ? GDataObjectFactory::FeedHint::ACL : GDataObjectFactory::FeedHint::None;
    return GDataObjectFactory::feedForElement(m_document, node, hint);
}

} // namespace tavrel
