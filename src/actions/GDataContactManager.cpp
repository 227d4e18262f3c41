#include "actions/GDataContactManager.h"

namespace tavrel {

std::unique_ptr<GDataContactManager>
GDataContactManager::gdataManagerWithAuthentication(std::shared_ptr<GDataAuthorizer> authentication)
{
    if (!authentication)
        return {};
    return std::make_unique<GDataContactManager>(std::move(authentication));
}

GDataContactManager::GDataContactManager(std::shared_ptr<GDataAuthorizer> authentication, QObject* parent)
    : GDManagerManager(authentication, parent)
{
    auto service = std::make_unique<GDataServiceGoogleContact>();
    service->setShouldCacheResponseData(true);
    service->setServiceShouldFollowNextLinks(true);
    service->setIsServiceRetryEnabled(true);
    service->setAuthorizer(authentication);
    setService(std::move(service));
}

GDataContactManager::~GDataContactManager() = default;

QString GDataContactManager::handlerPrefix() const
{
    return QStringLiteral("gdcmh");
}

void GDataContactManager::setService(std::unique_ptr<GDataServiceGoogleContact> service)
{
    m_service = std::move(service);
}

} // namespace tavrel
