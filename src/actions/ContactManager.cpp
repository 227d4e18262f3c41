#include "actions/ContactManager.h"

namespace tavrel {

std::unique_ptr<ContactManager> ContactManager::managerWithSession(TQSessionProtocol* session)
{
    if (!session)
        return {};
    return std::make_unique<ContactManager>(session);
}

ContactManager::ContactManager(TQSessionProtocol* session, QObject* parent)
    : VUvodozuManager(session, parent),
      m_gdataManager(GDataContactManager::gdataManagerWithAuthentication(authentication()))
{}

ContactManager::~ContactManager() = default;

QString ContactManager::handlerPrefix() const
{
    return QStringLiteral("cmh");
}

void ContactManager::setGdataManager(std::unique_ptr<GDataContactManager> manager)
{
    m_gdataManager = std::move(manager);
}

} // namespace tavrel
