#include "model/MailAdapter.h"

#include "model/RecordValue.h"

namespace tavrel {

void MailAdapter::setFavorite(const QVariant& favorite)
{
    m_favorite = recordvalue::boolOrNil(favorite);
}

void MailAdapter::setVisible(const QVariant& visible)
{
    m_visible = recordvalue::boolOrNil(visible);
}

} // namespace tavrel
