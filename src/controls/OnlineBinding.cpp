#include "controls/OnlineBinding.h"

#include "session/ApplicationServices.h"
#include "session/ConnectionStatus.h"

namespace tavrel {

OnlineBinding::OnlineBinding(Setter setter, QObject* parent) : QObject(parent), m_setter(std::move(setter))
{
    connect(ApplicationServices::instance(), &ApplicationServices::connectionStatusChanged, this,
            &OnlineBinding::follow);
    follow();
}

OnlineBinding::~OnlineBinding() = default;

bool OnlineBinding::isOnline()
{
    const ConnectionStatus* status = ApplicationServices::instance()->connectionStatus();
    return status && status->isOnline();
}

void OnlineBinding::follow()
{
    disconnect(m_statusConnection);
    if (ConnectionStatus* status = ApplicationServices::instance()->connectionStatus())
        m_statusConnection = connect(status, &ConnectionStatus::onlineChanged, this,
                                     [this](bool, bool online) { m_setter(online); });
    m_setter(isOnline());
}

} // namespace tavrel
