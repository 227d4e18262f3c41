#include "controls/OnlineBinding.h"

#include "controls/ControlServices.h"

namespace tavrel {

OnlineBinding::OnlineBinding(Setter setter, QObject* parent) : QObject(parent), m_setter(std::move(setter))
{
    connect(OnlineState::instance(), &OnlineState::onlineChanged, this,
            [this](bool online) { m_setter(online); });
    m_setter(isOnline());
}

OnlineBinding::~OnlineBinding() = default;

bool OnlineBinding::isOnline()
{
    return OnlineState::instance()->isOnline();
}

} // namespace tavrel
