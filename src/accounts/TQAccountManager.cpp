#include "accounts/TQAccountManager.h"

#include "accounts/TQAccount.h"

namespace tavrel {

WXGMultiAccountManager* TQAccountManager::instance()
{
    return sharedInstance([] { return new TQAccountManager; });
}

void TQAccountManager::registerManager()
{
    instance();
    WXGMultiAccountManager::registerManager();
}

void TQAccountManager::registerWithDataManager(std::shared_ptr<WXGMultiAccountDataManager> dataManager)
{
    instance();
    WXGMultiAccountManager::registerWithDataManager(std::move(dataManager));
}

std::shared_ptr<WXAccount>
TQAccountManager::makeAccount(std::shared_ptr<OAuth2Authentication> authToken) const
{
    return TQAccount::accountWithAuthToken(std::move(authToken));
}

} // namespace tavrel
